// The site-information dialog of a new design: company, author, site, proposal number and
// date for the exhibits' title block. Whatever way it closes, what was typed is stored.
#pragma once

#include "platform/ui/Buttons.h"
#include "platform/ui/Forms.h"
#include "ui_frmSysInfo.h"

class TfrmSysInfo : public TForm, public Ui::frmSysInfo {
public:
    explicit TfrmSysInfo(QWidget* owner = nullptr);

    void FormCreate();
    void FormClose(QObject* Sender, TCloseAction& Action);
    void BitBtn1Click(QObject* Sender);
    void BitBtn2Click(QObject* Sender);

    // The date of DateBox as days since 30 December 1899.
    double Date() const;
    void SetDate(double date);
};

extern TfrmSysInfo* frmSysInfo;
