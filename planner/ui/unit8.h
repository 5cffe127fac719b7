// The exhibit-identifier dialog, asked before each printed or PDF exhibit. Its start-up
// instance keeps what was typed last.
#pragma once

#include "platform/ui/Buttons.h"
#include "planner/ui/AutoNb.h"
#include "planner/ui/MaskEdit.h"
#include "ui_frm8.h"

class Tfrm8 : public TChildForm, public Ui::frm8 {
public:
    explicit Tfrm8(QWidget* owner = nullptr);

    void PageShown() override;
    void BitBtn1Click(QObject* Sender);
};

extern Tfrm8* frm8;

// Makes ShowExhibitIdentifierDialog show this dialog, loaded from ExhibitId first.
void InstallExhibitIdentifierDialog(Tfrm8* dialog);
