#include "planner/ui/unit12.h"

#include "planner/resources/PlannerPictures.h"

#include <QPixmap>

TfrmStopDemo* frmStopDemo = nullptr;

TfrmStopDemo::TfrmStopDemo(QWidget* owner) : TForm(owner)
{
    setupUi(this);
    if (const auto picture = LoadPlannerPicture("StopDemo")) Image1->setPixmap(QPixmap::fromImage(picture->ToImage()));
    BitBtn1->SetKind(TBitBtnKind::bkOK);
    BitBtn1->OnClick = [this](QObject* s) { BitBtn1Click(s); };
    FixBorder();
}

void TfrmStopDemo::BitBtn1Click(QObject*)
{
    if (ModalResult() == mrNone) Close();
}
