// The list-of-materials window. It has no content yet: only closing it does anything.
#pragma once

#include "platform/ui/Buttons.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "ui_frmLOM.h"

class TfrmLOM : public TForm, public Ui::frmLOM {
public:
    explicit TfrmLOM(QWidget* owner = nullptr);
    void sbCloseClick(QObject* Sender);
};
