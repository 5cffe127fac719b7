#include "planner/ui/CustTLin.h"

#include "platform/ui/Dialogs.h"
#include "planner/ui/MainState.h"

TFrmCustTLine::TFrmCustTLine(QWidget* owner) : TForm(owner)
{
    setupUi(this);
    SetCaption("Customer Defined Transmission Line Parameters");
    NumEdit1->SetDecimals(2);
    NumEdit2->SetDecimals(4);
    // No limits of the edit's own: OK judges the values.
    for (TNuvNumericEdit* e : {NumEdit1, NumEdit2}) {
        e->SetMinValue(0);
        e->SetMaxValue(0);
    }
    // The line's description holds 35 characters: typing stops there rather than cut unseen.
    Edit1->setMaxLength(35);
    Edit1->SetText("Customer Defined Transmission Line");
    NumEdit1->SetValue(60);
    NumEdit2->SetValue(0.15);
    BitBtn1->SetCaption("OK");
    BitBtn1->SetDefault(true);
    BitBtn2->SetKind(TBitBtnKind::bkCancel);
    BitBtn2->SetCaption("Cancel");
    BitBtn1->OnClick = [this](QObject* sender) { BitBtn1Click(sender); };
    setFixedSize(size());
}

void TFrmCustTLine::LoadLine(const TCustomLine& line)
{
    Edit1->SetText(line.Description);
    NumEdit1->SetValue(line.MaxPower);
    NumEdit2->SetValue(line.Attenuation);
}

void TFrmCustTLine::StoreLine(TCustomLine& line) const
{
    line.Description = Edit1->Text();
    line.MaxPower = static_cast<float>(NumEdit1->Value());
    line.Attenuation = static_cast<float>(NumEdit2->Value());
}

void TFrmCustTLine::BitBtn1Click(QObject*)
{
    // A line without power or loss would give the page a rating of nothing and no loss.
    if (NumEdit1->Value() <= 0) {
        ShowMessage("The maximum average power must be greater than 0 kW.");
        NumEdit1->setFocus();
        return;
    }
    if (NumEdit2->Value() <= 0) {
        ShowMessage("The attenuation must be greater than 0 dB / 100 feet.");
        NumEdit2->setFocus();
        return;
    }
    SetModalResult(mrOk);
}
