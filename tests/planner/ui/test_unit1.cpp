#include "platform/ui/ScriptedUi.h"
#include "planner/engine/ProjLib.h"
#include "planner/ui/MainState.h"
#include "planner/ui/unit1.h"

#include <gtest/gtest.h>

namespace {

// The family button the user clicks.
enum TRequest { Low, Medium, MedHigh, Vhf, Other };
const char* const kRequestNames[] = {"low", "medium", "medium/high", "VHF", "other make"};

struct TChannel {
    int number;
    float low, high;  // the public channel plan
};

// What page 1 shows and writes.
struct TExpected {
    int family;
    int powerClass;  // checked only for family 0
    int checked;     // index into Buttons()
    bool enabled[5];
    bool mounting;
    float maxErp;
    float maxInput;
    int image;  // 1..4
};

std::vector<TRadioButton*> Buttons(Tfrm1& f)
{
    return {f.RadioButton0, f.RadioButton1, f.RadioButton2, f.RadioButton3, f.RadioButton6};
}

TExpected Expect(int channel, int standard, TRequest r)
{
    const bool dtv = standard == 1;
    const float uhf = dtv ? 168.0f : 240.0f;
    const float vhf = dtv ? 42.0f : 60.0f;
    TExpected e{};
    if (channel <= 6) {
        // Only another maker's antenna fits; channels 2 to 6 have their own limit.
        e = {3, 0, 4, {false, false, false, false, true}, false, dtv ? 45.0f : 100.0f, 1000.0f, 4};
    } else if (channel <= 13) {
        const float erp = dtv ? 100.0f : 316.0f;
        if (r == Other)
            e = {3, 0, 4, {false, false, false, true, true}, true, erp, 1000.0f, 4};
        else
            e = {2, 0, 3, {false, false, false, true, true}, true, erp, vhf, 1};
    } else {
        const float erp = dtv ? 1000.0f : 5000.0f;
        const bool on[5] = {true, true, true, false, true};
        switch (r) {
        case Low: e = {0, 0, 0, {}, true, erp, uhf, 3}; break;  // Zek: the power carries over
        case Medium: e = {0, 1, 1, {}, true, erp, uhf, 3}; break;
        case MedHigh:
        case Vhf: e = {1, 0, 2, {}, true, erp, uhf, 1}; break;  // VHF is disabled: no change
        case Other: e = {3, 0, 4, {}, true, erp, 1000.0f, 4}; break;
        }
        std::copy(std::begin(on), std::end(on), e.enabled);
    }
    return e;
}

class Page1 : public ::testing::Test {
protected:
    void SetUp() override
    {
        scope_ = std::make_unique<TUiServicesScope>(ui);
        ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        CreateProjectObjects();
        Page1Visited = false;
    }
    void TearDown() override
    {
        EXPECT_TRUE(ui.AllUsed()) << ui.Pending() << " scripted answers left unused";
        scope_.reset();
    }

    // The user picks a channel from the list.
    static void PickChannel(Tfrm1& f, int channel)
    {
        f.USTV->SetItemIndex(channel - 2);
        emit f.USTV->activated(channel - 2);
    }

    static void Check(Tfrm1& f, const TChannel& ch, int standard, const TExpected& e)
    {
        EXPECT_EQ(f.USTV->Items().Count(), 68);
        EXPECT_EQ(f.USTV->ItemIndex(), ch.number - 2);
        EXPECT_EQ(Sys().GetChannel(), ch.number);
        EXPECT_FLOAT_EQ(Sys().LowFreq, ch.low);
        EXPECT_FLOAT_EQ(Sys().HighFreq, ch.high);
        EXPECT_FLOAT_EQ(Sys().CenterFreq, (ch.low + ch.high) / 2);
        EXPECT_EQ(Sys().Standard, standard);
        EXPECT_EQ(f.RadioGroup2->ItemIndex(), standard);
        EXPECT_EQ(Sys().Family, e.family);
        if (e.family == 0) {
            EXPECT_EQ(Sys().PowerClass, e.powerClass);
        }
        const auto buttons = Buttons(f);
        for (int i = 0; i < 5; ++i) {
            SCOPED_TRACE(buttons[i]->objectName().toStdString());
            EXPECT_EQ(buttons[i]->isEnabled(), e.enabled[i]);
            EXPECT_EQ(buttons[i]->Checked(), i == e.checked);
        }
        EXPECT_EQ(f.RadioGroup1->isEnabled(), e.mounting);
        EXPECT_NEAR(Sys().MaxERP, e.maxErp, 1e-3);
        EXPECT_NEAR(Ant().MaxInputPower, e.maxInput, 1e-3);
        const QLabel* images[] = {f.Image1, f.Image2, f.Image3, f.Image4};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(!images[i]->isHidden(), i + 1 == e.image) << "Image" << i + 1;
    }

    TScriptedUiServices ui;
    std::unique_ptr<TUiServicesScope> scope_;
};

}  // namespace

TEST_F(Page1, FreshShowingHasTheDefaults)
{
    Tfrm1 f;
    f.PageShown();
    EXPECT_TRUE(Page1Visited);
    EXPECT_EQ(f.USTV->Items()[0], "2 = 54-60 MHz");
    EXPECT_EQ(f.USTV->Items()[67], "69 = 800-806 MHz");
    EXPECT_EQ(f.RadioGroup1->ItemIndex(), 1);
    EXPECT_EQ(Sys().GetMounting(), 1);
    EXPECT_TRUE(f.RadioButton4->Checked());
    EXPECT_TRUE(f.FSpinEdit1->isHidden());
    EXPECT_EQ(Ant().Elliptical, 0);
    Check(f, {32, 578, 584}, 0, Expect(32, 0, MedHigh));
}

TEST_F(Page1, ChannelServiceAndFamilyOnAFreshFormAndOnARevisit)
{
    const TChannel channels[] = {{2, 54, 60},    {5, 76, 82},    {6, 82, 88},    {7, 174, 180}, {10, 192, 198},
                                 {13, 210, 216}, {14, 470, 476}, {32, 578, 584}, {69, 800, 806}};
    for (const TChannel& ch : channels)
        for (int standard : {0, 1})
            for (TRequest r : {Low, Medium, MedHigh, Vhf, Other}) {
                SCOPED_TRACE("channel " + std::to_string(ch.number) + (standard ? " DTV " : " NTSC ") +
                             kRequestNames[r]);
                CreateProjectObjects();
                Page1Visited = false;
                const TExpected e = Expect(ch.number, standard, r);
                {
                    Tfrm1 f;
                    f.PageShown();
                    f.RadioGroup2->SetItemIndex(standard);
                    PickChannel(f, ch.number);
                    Buttons(f)[r]->click();  // a disabled button takes no click
                    {
                        SCOPED_TRACE("fresh");
                        Check(f, ch, standard, e);
                    }
                    f.PageShown();
                    SCOPED_TRACE("back to the page");
                    Check(f, ch, standard, e);
                }
                Tfrm1 again;  // the next wizard run
                again.PageShown();
                SCOPED_TRACE("a later wizard run");
                Check(again, ch, standard, e);
            }
}

TEST_F(Page1, ChannelChangesKeepWhatTheBandAllows)
{
    struct Step {
        int channel;  // 0: click the request instead
        TRequest request;
        int family;
    };
    const Step steps[] = {
        {10, MedHigh, 2},
        {40, MedHigh, 1},  // back to UHF from VHF: medium/high power
        {0, Low, 0},
        {20, MedHigh, 0},  // a Zek choice stays on UHF
        {8, MedHigh, 2},
        {50, MedHigh, 1},  // ... but not after the VHF band
        {0, Other, 3},
        {11, MedHigh, 3},  // another maker's antenna stays on every band
        {45, MedHigh, 3},
        {3, MedHigh, 3},
        {60, MedHigh, 3},
        {0, MedHigh, 1},
    };
    Tfrm1 f;
    f.PageShown();
    for (const Step& s : steps) {
        SCOPED_TRACE(std::to_string(s.channel) + " " + kRequestNames[s.request]);
        if (s.channel)
            PickChannel(f, s.channel);
        else
            Buttons(f)[s.request]->click();
        EXPECT_EQ(Sys().Family, s.family);
        EXPECT_EQ(Sys().GetChannel(), s.channel ? s.channel : Sys().GetChannel());
    }
}

TEST_F(Page1, TopMountTakesNoZekAntenna)
{
    Tfrm1 f;
    f.PageShown();
    f.RadioButton1->click();
    ASSERT_EQ(Sys().Family, 0);
    ui.ExpectMessage(IDOK, "UHF low/medium power antennas are not available in top mounted configurations.  Your "
                           "choice of antenna will be changed to UHF medium/high power.");
    f.RadioGroup1->SetItemIndex(0);
    EXPECT_EQ(Sys().GetMounting(), 0);
    EXPECT_EQ(Sys().Family, 1);
    EXPECT_TRUE(f.RadioButton2->Checked());
    EXPECT_FALSE(f.Image2->isHidden());

    // Channel changes while top mounted keep the Zek buttons off.
    for (int channel : {40, 10, 55, 33}) {
        SCOPED_TRACE(channel);
        PickChannel(f, channel);
        EXPECT_FALSE(f.RadioButton0->isEnabled());
        EXPECT_FALSE(f.RadioButton1->isEnabled());
    }
    f.RadioGroup1->SetItemIndex(1);
    EXPECT_EQ(Sys().GetMounting(), 1);
    EXPECT_TRUE(f.RadioButton0->isEnabled());
    EXPECT_TRUE(f.RadioButton1->isEnabled());
    EXPECT_FALSE(f.Image1->isHidden());

    // Side mount on a VHF channel enables no Zek antenna either, whatever the family.
    f.RadioButton6->click();
    PickChannel(f, 9);
    f.RadioGroup1->SetItemIndex(0);
    EXPECT_FALSE(f.Image4->isHidden()) << "another maker's picture, top or side";
    f.RadioGroup1->SetItemIndex(1);
    EXPECT_FALSE(f.RadioButton0->isEnabled());
    EXPECT_FALSE(f.RadioButton1->isEnabled());
    EXPECT_FALSE(f.Image4->isHidden());
}

TEST_F(Page1, EllipticalPolarization)
{
    Tfrm1 f;
    f.PageShown();
    Ant().VerticalPercent = 30;
    f.RadioButton5->click();
    EXPECT_EQ(Ant().Elliptical, 1);
    EXPECT_FALSE(f.FSpinEdit1->isHidden());
    EXPECT_FALSE(f.Label3->isHidden());
    EXPECT_EQ(f.FSpinEdit1->Text(), "30.0");
    EXPECT_FALSE(f.FSpinEdit1->ReadOnly());
    f.FSpinEdit1->UpClick();
    EXPECT_EQ(Ant().VerticalPercent, 31);

    struct Case {
        TRequest request;
        bool readOnly;
        int percent;
    };
    const Case cases[] = {
        {Low, true, 100},      // the Zek antennas are circular
        {MedHigh, false, 100}, // writable again; the value stays
        {Medium, true, 100},
        {Other, false, 100},   // another maker's: the user's to set
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(kRequestNames[c.request]);
        Buttons(f)[c.request]->click();
        EXPECT_EQ(f.FSpinEdit1->ReadOnly(), c.readOnly);
        EXPECT_EQ(Ant().VerticalPercent, c.percent);
    }
    f.FSpinEdit1->DownClick();
    EXPECT_EQ(Ant().VerticalPercent, 99);

    // A later run shows the elliptical choice with its percentage.
    {
        Tfrm1 again;
        again.PageShown();
        EXPECT_TRUE(again.RadioButton5->Checked());
        EXPECT_FALSE(again.FSpinEdit1->isHidden());
        EXPECT_EQ(again.FSpinEdit1->Text(), "99.0");
        EXPECT_EQ(Ant().VerticalPercent, 99);
    }
    f.RadioButton4->click();
    EXPECT_EQ(Ant().Elliptical, 0);
    EXPECT_EQ(Ant().VerticalPercent, 0);
    EXPECT_TRUE(f.FSpinEdit1->isHidden());
    EXPECT_TRUE(f.Label4->isHidden());
}

TEST_F(Page1, ServiceSetsTheInputPowerOfTheFamily)
{
    struct Case {
        TRequest request;
        int channel;
        float ntsc, dtv;
    };
    const Case cases[] = {
        {MedHigh, 32, 240, 168},
        {Vhf, 10, 60, 42},
        {Other, 32, 1000, 1000},
        {Other, 4, 1000, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(kRequestNames[c.request]);
        CreateProjectObjects();
        Page1Visited = false;
        Tfrm1 f;
        f.PageShown();
        PickChannel(f, c.channel);
        Buttons(f)[c.request]->click();
        for (int standard : {1, 0, 1}) {
            f.RadioGroup2->SetItemIndex(standard);
            EXPECT_NEAR(Ant().MaxInputPower, standard ? c.dtv : c.ntsc, 1e-3) << standard;
        }
    }
}
