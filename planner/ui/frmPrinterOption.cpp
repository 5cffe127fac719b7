#include "planner/ui/frmPrinterOption.h"

TPrinterOption* PrinterOption = nullptr;

TPrinterOption::TPrinterOption(QWidget* owner) : TForm(owner)
{
    setupUi(this);
    TStringList items;
    items.Add("Send to Printer");
    items.Add("Create PDF");
    RadioGroup1->SetItems(items);
    RadioGroup1->SetItemIndex(0);
    BitBtn1->SetKind(TBitBtnKind::bkOK);
    setFixedSize(size());
}
