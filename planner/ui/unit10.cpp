#include "planner/ui/unit10.h"

#include "planner/ui/MainState.h"

TfrmPlaySpeed* frmPlaySpeed = nullptr;

TfrmPlaySpeed::TfrmPlaySpeed(QWidget* owner) : TForm(owner)
{
    setupUi(this);
    BitBtn1->SetKind(TBitBtnKind::bkOK);
    TrackBar1->OnChange = [this](QObject* s) { TrackBar1Change(s); };
    BitBtn1->OnClick = [this](QObject* s) { BitBtn1Click(s); };
    FormCreate();
    FixBorder();
}

// The bar shows the speed as it is when the program starts; afterwards it keeps its own.
void TfrmPlaySpeed::FormCreate() { TrackBar1->SetPosition(MacroPlaySpeed); }

void TfrmPlaySpeed::TrackBar1Change(QObject*) { MacroPlaySpeed = TrackBar1->Position(); }

void TfrmPlaySpeed::BitBtn1Click(QObject*)
{
    if (ModalResult() == mrNone) Close();
}
