// The printer-option dialog: printer or PDF for the system summary. Its caller reads
// RadioGroup1's item after it closes (0 printer, 1 PDF); the start-up instance keeps the
// last choice.
#pragma once

#include "platform/ui/Buttons.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "ui_frmPrinterOption.h"

class TPrinterOption : public TForm, public Ui::frmPrinterOption {
public:
    explicit TPrinterOption(QWidget* owner = nullptr);
};

extern TPrinterOption* PrinterOption;
