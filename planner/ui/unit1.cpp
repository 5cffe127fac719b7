#include "planner/ui/unit1.h"

#include "platform/runtime/NumText.h"
#include "platform/runtime/StrTable.h"
#include "platform/ui/Dialogs.h"
#include "planner/engine/ProjLib.h"
#include "planner/resources/glyphs/AntennaPictures.h"
#include "planner/ui/MainState.h"

namespace {

// Base maximum input power of a family, kW, as an NTSC peak value.
constexpr float kUhfBasePower = 240.0f;
constexpr float kVhfBasePower = 60.0f;
// An antenna of another maker: the page does not know its rating.
constexpr float kOtherMakePower = 1000.0f;

bool ZekChannel(int channel) { return channel >= 14 && channel <= 69; }

}  // namespace

Tfrm1::Tfrm1(QWidget* owner) : TChildForm(owner)
{
    setupUi(this);
    TStringList mounting;
    mounting.Add("Top mount");
    mounting.Add("Side mount");
    RadioGroup1->SetItems(mounting);
    RadioGroup1->SetItemIndex(1);
    TStringList service;
    service.Add("Analog (NTSC)");
    service.Add("Digital (DTV)");
    RadioGroup2->SetItems(service);
    RadioGroup2->SetItemIndex(0);

    FSpinEdit1->SetIncrement(1);
    FSpinEdit1->SetMaxValue(100);
    FSpinEdit1->SetMinValue(0);
    FSpinEdit1->SetPrecision(1);
    FSpinEdit1->SetEditorEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{Label3, Label4, FSpinEdit1}) w->hide();

    const std::pair<QLabel*, TAntennaPicture> pictures[] = {
        {Image1, TAntennaPicture::SideMountedHighPower},
        {Image2, TAntennaPicture::TopMounted},
        {Image3, TAntennaPicture::SideMountedLowPower},
        {Image4, TAntennaPicture::OtherMake},
    };
    for (const auto& [image, picture] : pictures) image->setPixmap(AntennaPicture(picture, image->size()));

    auto on = [this](void (Tfrm1::*handler)(QObject*)) {
        return [this, handler](QObject* sender) { (this->*handler)(sender); };
    };
    USTV->OnChange = on(&Tfrm1::USTVChange);
    RadioGroup1->OnClick = on(&Tfrm1::RadioGroup1Click);
    RadioGroup2->OnClick = on(&Tfrm1::RadioGroup2Click);
    RadioButton0->OnClick = on(&Tfrm1::RadioButton0Click);
    RadioButton1->OnClick = on(&Tfrm1::RadioButton1Click);
    RadioButton2->OnClick = on(&Tfrm1::RadioButton2Click);
    RadioButton3->OnClick = on(&Tfrm1::RadioButton3Click);
    RadioButton6->OnClick = on(&Tfrm1::RadioButton6Click);
    RadioButton4->OnClick = on(&Tfrm1::RadioButton4Click);
    RadioButton5->OnClick = on(&Tfrm1::RadioButton5Click);
    FSpinEdit1->OnChange = on(&Tfrm1::FSpinEdit1Change);
}

// --- Showing the page ------------------------------------------------------------------

void Tfrm1::FillChannels()
{
    // The list is replaced, never added to: the page shows again on every visit.
    TStringList channels;
    const int32_t last = LastRecordId(kChannelTable);
    for (int32_t id = kChannelTable + 1; id <= last; ++id) channels.Add(GetDelimitedField(0, LoadStr(id), '|'));
    USTV->SetItems(channels);
}

void Tfrm1::PageShown()
{
    FillChannels();
    ClearImages();
    Image2->show();
    TSysObj& sys = Sys();
    if (Page1Visited) {
        USTV->SetItemIndex(sys.GetChannel() - 2);
        switch (sys.Family) {
        case 0: (sys.PowerClass == 1 ? RadioButton1 : RadioButton0)->SetChecked(true); break;
        case 1: RadioButton2->SetChecked(true); break;
        case 2: RadioButton3->SetChecked(true); break;
        case 3: RadioButton6->SetChecked(true); break;
        default: break;
        }
        if (Ant().Elliptical)
            RadioButton5Click(RadioButton5);
        else
            RadioButton4Click(RadioButton4);
        RadioGroup2->SetItemIndex(sys.Standard);
        RadioGroup1->SetItemIndex(sys.GetMounting());
    } else {
        Page1Visited = true;
        USTV->SetItemIndex(30);  // channel 32
        RadioButton2Click(RadioButton2);
        RadioGroup2Click(RadioGroup2);
        RadioButton4Click(RadioButton4);
        // The mounting carries over from the last design: show it, not the group's default.
        RadioGroup1->SetItemIndex(sys.GetMounting());
    }
    USTVChange(USTV);
    // A choice that was already checked ran no handler: the picture must still match it.
    SetGraphic();
}

// --- Channel, service, mounting ----------------------------------------------------------

void Tfrm1::USTVChange(QObject*)
{
    const int entry = USTV->ItemIndex();
    if (entry < 0) return;
    TSysObj& sys = Sys();
    // Another maker's antenna fits every band; the VHF band must not take that choice away.
    const bool otherMake = sys.Family == 3;
    sys.SetChannel(entry + 2);
    if (otherMake) sys.Family = 3;
    const std::string row = LoadStr(kChannelTable + 1 + entry);
    sys.LowFreq = static_cast<float>(StrToFloat(GetDelimitedField(1, row, '|')));
    sys.HighFreq = static_cast<float>(StrToFloat(GetDelimitedField(2, row, '|')));
    sys.CenterFreq = (sys.LowFreq + sys.HighFreq) * 0.5f;
    PowerChoices();
}

void Tfrm1::ChooseFamily(TRadioButton* button, void (Tfrm1::*handler)(QObject*))
{
    button->SetChecked(true);
    (this->*handler)(button);
}

void Tfrm1::PowerChoices()
{
    TSysObj& sys = Sys();
    const int channel = sys.GetChannel();
    if (channel >= 2 && channel <= 6) {
        RadioGroup1->setEnabled(false);
        for (TRadioButton* b : {RadioButton0, RadioButton1, RadioButton2, RadioButton3}) b->setEnabled(false);
        RadioButton6->SetChecked(true);
    } else if (channel >= 7 && channel <= 13) {
        RadioGroup1->setEnabled(true);
        for (TRadioButton* b : {RadioButton0, RadioButton1, RadioButton2}) b->setEnabled(false);
        RadioButton3->setEnabled(true);
        if (sys.Family == 3) {
            ChooseFamily(RadioButton6, &Tfrm1::RadioButton6Click);
        } else {
            sys.Family = 2;
            RadioButton3->SetChecked(true);
        }
    } else if (ZekChannel(channel)) {
        // The Zek antennas are side mounted only.
        const bool zek = sys.GetMounting() != 0;
        RadioGroup1->setEnabled(true);
        RadioButton0->setEnabled(zek);
        RadioButton1->setEnabled(zek);
        RadioButton2->setEnabled(true);
        RadioButton3->setEnabled(false);
        if (sys.Family == 3)
            ChooseFamily(RadioButton6, &Tfrm1::RadioButton6Click);
        else if (sys.Family != 0 || !zek)
            ChooseFamily(RadioButton2, &Tfrm1::RadioButton2Click);
        else if (sys.PowerClass == 1)
            ChooseFamily(RadioButton1, &Tfrm1::RadioButton1Click);
        else
            ChooseFamily(RadioButton0, &Tfrm1::RadioButton0Click);
    }
}

void Tfrm1::RadioGroup1Click(QObject*)
{
    TSysObj& sys = Sys();
    if (RadioGroup1->ItemIndex() == 0) {
        sys.SetMounting(0);
        if (RadioButton0->Checked() || RadioButton1->Checked()) {
            ShowMessage("UHF low/medium power antennas are not available in top mounted configurations.  Your choice "
                        "of antenna will be changed to UHF medium/high power.");
            RadioButton2->SetChecked(true);
        }
        RadioButton0->setEnabled(false);
        RadioButton1->setEnabled(false);
    } else if (RadioGroup1->ItemIndex() == 1) {
        sys.SetMounting(1);
        // Only the UHF channels take a Zek antenna.
        if (ZekChannel(sys.GetChannel())) {
            RadioButton0->setEnabled(true);
            RadioButton1->setEnabled(true);
        }
    }
    SetGraphic();
}

void Tfrm1::RadioGroup2Click(QObject*)
{
    const int service = RadioGroup2->ItemIndex();
    if (service == 0) Sys().SetStandard(0);
    if (service == 1) Sys().SetStandard(1);
    SetAntPower();
}

// --- Family ------------------------------------------------------------------------------

void Tfrm1::RadioButton0Click(QObject*)
{
    Sys().Family = 0;
    Sys().PowerClass = 0;
    SetAntPower();
    SetGraphic();
    if (RadioButton5->Checked()) Zek_E_Pol_Lock();
}

void Tfrm1::RadioButton1Click(QObject*)
{
    Sys().Family = 0;
    Sys().PowerClass = 1;
    SetAntPower();
    SetGraphic();
    if (RadioButton5->Checked()) Zek_E_Pol_Lock();
}

void Tfrm1::RadioButton2Click(QObject*)
{
    Sys().Family = 1;
    SetAntPower();
    SetGraphic();
    Zek_E_Pol_Unlock();
}

void Tfrm1::RadioButton3Click(QObject*)
{
    Sys().Family = 2;
    SetAntPower();
    SetGraphic();
    if (RadioButton5->Checked()) Zek_E_Pol_Unlock();
}

void Tfrm1::RadioButton6Click(QObject*)
{
    Sys().Family = 3;
    SetAntPower();
    SetGraphic();
    // The vertical component is the user's again once a Zek antenna is no longer chosen.
    Zek_E_Pol_Unlock();
}

void Tfrm1::SetAntPower()
{
    const TSysObj& sys = Sys();
    float base = 0;
    switch (sys.Family) {
    case 1: base = kUhfBasePower; break;
    case 2: base = kVhfBasePower; break;
    case 3: Ant().SetMaxInputPower(kOtherMakePower); return;
    default: return;  // the Zek antennas take theirs from their elevation catalog
    }
    Ant().SetMaxInputPower(sys.Standard == 1 ? NtscAverageFromPeak(base) : base);
}

// --- Polarization ------------------------------------------------------------------------

void Tfrm1::RadioButton4Click(QObject*)
{
    RadioButton4->SetChecked(true);
    for (QWidget* w : std::initializer_list<QWidget*>{Label3, Label4, FSpinEdit1}) w->hide();
    Zek_E_Pol_Unlock();
    Ant().VerticalPercent = 0;
    Ant().Elliptical = 0;
}

void Tfrm1::RadioButton5Click(QObject*)
{
    RadioButton5->SetChecked(true);
    Label3->show();
    Label4->show();
    FSpinEdit1->SetValue(static_cast<float>(Ant().VerticalPercent));
    FSpinEdit1->show();
    if (RadioButton0->Checked() || RadioButton1->Checked()) Zek_E_Pol_Lock();
    Ant().Elliptical = 1;
}

void Tfrm1::FSpinEdit1Change(QObject*) { Ant().VerticalPercent = static_cast<int32_t>(Trunc(FSpinEdit1->Value())); }

void Tfrm1::Zek_E_Pol_Lock()
{
    // The Zek low and medium power antennas are circularly polarized when elliptical.
    FSpinEdit1->SetValue(100);
    FSpinEdit1->SetReadOnly(true);
    FSpinEdit1Change(FSpinEdit1);
}

void Tfrm1::Zek_E_Pol_Unlock() { FSpinEdit1->SetReadOnly(false); }

// --- Pictures ----------------------------------------------------------------------------

void Tfrm1::ClearImages()
{
    for (QLabel* image : {Image1, Image2, Image3, Image4}) image->hide();
}

void Tfrm1::SetGraphic()
{
    ClearImages();
    QLabel* shown = nullptr;
    if (RadioGroup1->ItemIndex() == 0)
        shown = RadioButton6->Checked() ? Image4 : Image2;
    else if (RadioButton6->Checked())
        shown = Image4;
    else if (RadioButton3->Checked() || RadioButton2->Checked())
        shown = Image1;
    else
        shown = Image3;
    shown->show();
}
