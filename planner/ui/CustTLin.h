// The customer-defined transmission line: its description, maximum average power and
// attenuation, typed by the user. The dialog opens with the line's current values; OK
// takes only values above zero, Cancel and the close box keep the line as it was.
#pragma once

#include "platform/ui/Buttons.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "planner/controls/NuvNumericEdit.h"
#include "ui_frmCustTLine.h"

struct TCustomLine;

class TFrmCustTLine : public TForm, public Ui::FrmCustTLine {
public:
    explicit TFrmCustTLine(QWidget* owner = nullptr);

    // The fields := the line's values.
    void LoadLine(const TCustomLine& line);
    // The line := the fields (the description cut to 35 characters).
    void StoreLine(TCustomLine& line) const;

    void BitBtn1Click(QObject* Sender);
};
