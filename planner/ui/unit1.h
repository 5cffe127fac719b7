// The wizard's first page: channel, service, mounting, antenna family and polarization. It
// writes every choice into the station and antenna objects at once, sets the antenna's
// maximum input power for the family and service, and limits the families to what the
// channel allows.
#pragma once

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "planner/controls/FSpin.h"
#include "planner/ui/AutoNb.h"
#include "ui_frm1.h"

class Tfrm1 : public TChildForm, public Ui::frm1 {
public:
    explicit Tfrm1(QWidget* owner = nullptr);

    void PageShown() override;

    void USTVChange(QObject* Sender);
    void RadioGroup1Click(QObject* Sender);
    void RadioGroup2Click(QObject* Sender);
    void RadioButton0Click(QObject* Sender);
    void RadioButton1Click(QObject* Sender);
    void RadioButton2Click(QObject* Sender);
    void RadioButton3Click(QObject* Sender);
    void RadioButton6Click(QObject* Sender);
    void RadioButton4Click(QObject* Sender);
    void RadioButton5Click(QObject* Sender);
    void FSpinEdit1Change(QObject* Sender);

    void SetAntPower();
    void SetGraphic();
    void ClearImages();
    void PowerChoices();
    void Zek_E_Pol_Lock();
    void Zek_E_Pol_Unlock();

private:
    void FillChannels();
    // Checks a family button and runs its handler, whether or not the check changed.
    void ChooseFamily(TRadioButton* button, void (Tfrm1::*handler)(QObject*));
};
