// The notice shown before every custom recording: how to stop it.
#pragma once

#include "platform/ui/Buttons.h"
#include "platform/ui/Forms.h"
#include "ui_frmStopDemo.h"

class TfrmStopDemo : public TForm, public Ui::frmStopDemo {
public:
    explicit TfrmStopDemo(QWidget* owner = nullptr);

    void BitBtn1Click(QObject* Sender);
};

extern TfrmStopDemo* frmStopDemo;
