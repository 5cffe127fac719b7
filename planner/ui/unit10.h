// The playback-speed dialog: a bar from slower to faster that sets MacroPlaySpeed.
#pragma once

#include "platform/ui/Buttons.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Forms.h"
#include "ui_frmPlaySpeed.h"

class TfrmPlaySpeed : public TForm, public Ui::frmPlaySpeed {
public:
    explicit TfrmPlaySpeed(QWidget* owner = nullptr);

    void FormCreate();
    void TrackBar1Change(QObject* Sender);
    void BitBtn1Click(QObject* Sender);
};

extern TfrmPlaySpeed* frmPlaySpeed;
