#include "planner/ui/unit8.h"

#include "planner/engine/ProjLib.h"

#include <QPointer>

Tfrm8* frm8 = nullptr;

Tfrm8::Tfrm8(QWidget* owner) : TChildForm(owner)
{
    setupUi(this);
    MaskEdit1->SetText(std::string(10, ' '));
    BitBtn1->SetKind(TBitBtnKind::bkOK);
    BitBtn1->OnClick = [this](QObject* s) { BitBtn1Click(s); };
    setFixedSize(size());
}

void Tfrm8::PageShown() { MaskEdit1->SetText(ExhibitId); }

void Tfrm8::BitBtn1Click(QObject*)
{
    ExhibitId = MaskEdit1->Text();
    // The button's modal result has already ended a modal run.
    if (ModalResult() == mrNone) Close();
}

void InstallExhibitIdentifierDialog(Tfrm8* dialog)
{
    QPointer<Tfrm8> d(dialog);
    ShowExhibitIdentifierDialogHook = [d] {
        if (!d) return true;
        d->PageShown();
        // The close box ends the dialog with mrCancel: no exhibit then.
        return d->ShowModal() == mrOk;
    };
}
