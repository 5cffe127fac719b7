// The custom-demos dialog: pick, delete, play or record a demonstration of one's own. Its
// choice goes to the main window through DemoFileName, PlayDemoFlag and RecordDemoFlag.
#pragma once

#include "platform/ui/Buttons.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"
#include "ui_frmMyDemos.h"

#include <string>

class TfrmMyDemos : public TForm, public Ui::frmMyDemos {
public:
    explicit TfrmMyDemos(QWidget* owner = nullptr);

    void FormActivate();
    void Button3Click(QObject* Sender);   // Select
    void Button1Click(QObject* Sender);   // Delete
    void Button2Click(QObject* Sender);   // Play
    void Button4Click(QObject* Sender);   // Record
    void BitBtn1Click(QObject* Sender);   // Cancel

    const std::string& Folder() const { return programFolder_; }

    TOpenDialog OpenDialog1;
    TSaveDialog SaveDialog1;

private:
    void SetUpFileDialog(TOpenDialog& dialog);

    std::string programFolder_;
};

extern TfrmMyDemos* frmMyDemos;
