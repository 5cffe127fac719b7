#include "planner/engine/PageCalc.h"
#include "planner/engine/ProjLib.h"
#include "planner/ui/Main.h"
#include "planner/ui/unit7.h"
#include "platform/runtime/NumText.h"
#include "platform/runtime/StrTable.h"
#include "platform/ui/ScriptedUi.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class BeamTiltCalc : public ::testing::Test {
protected:
    void SetUp() override
    {
        scope_ = std::make_unique<TUiServicesScope>(ui);
        ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        CreateProjectObjects();
        BeamTiltHaat = 0;
    }
    void TearDown() override
    {
        EXPECT_TRUE(ui.AllUsed());
        scope_.reset();
    }
    TScriptedUiServices ui;
    std::unique_ptr<TUiServicesScope> scope_;
};

TEST_F(BeamTiltCalc, OpensOnTheDesignAndComputesTheTilt)
{
    Sys().Family = 2;
    Ant().ElevationIndex = 40;  // from the UHF catalog: brought within the VHF one
    TfrmBTCalc calc;
    EXPECT_EQ(calc.windowTitle(), "Beam Tilt Calculator");
    EXPECT_EQ(calc.RadioGroup1->ItemIndex(), 2);
    EXPECT_EQ(calc.Catalog(), 11000);
    ASSERT_EQ(calc.ListBox1->Items().Count(), 12);
    EXPECT_EQ(calc.ListBox1->ItemIndex(), 11);
    EXPECT_EQ(Ant().ElevationIndex, 11);
    EXPECT_EQ(BeamTiltHaat, 1000);
    EXPECT_FLOAT_EQ(BeamTiltGain, static_cast<float>(StrToFloat(GetDelimitedField(2, LoadStr(11012), '|'))));

    struct Case { double haat; float gain; const char* shown; };
    for (const auto& c : {Case{1000, 25, "1"}, Case{100, 20, "0.75"}, Case{3000, 40, "1"}, Case{2500, 10, "2.25"}}) {
        SCOPED_TRACE(std::to_string(c.haat) + " ft, gain " + std::to_string(c.gain));
        BeamTiltGain = c.gain;
        calc.NumEdit1->SetValue(c.haat == 1000 ? 999 : 1000);
        calc.NumEdit1->SetValue(c.haat);
        EXPECT_EQ(calc.Edit1->Text(), c.shown);
        EXPECT_EQ(BeamTiltHaat, static_cast<int32_t>(c.haat));
    }

    // Another antenna type: the family changes, the list has no selection and the result
    // keeps following the HAAT with the gain last used until a pattern is picked.
    calc.RadioGroup1->SetItemIndex(1);
    EXPECT_EQ(Sys().Family, 1);
    EXPECT_EQ(calc.Catalog(), 10000);
    EXPECT_EQ(calc.ListBox1->ItemIndex(), -1);
    EXPECT_EQ(calc.Edit1->Text(), FloatToStrF(OptimalBeamTilt(calc.NumEdit1->Value(), BeamTiltGain),
                                              TFloatFormat::ffGeneral, 3, 4));
    calc.NumEdit1->SetValue(1500);
    EXPECT_EQ(calc.Edit1->Text(), FloatToStrF(OptimalBeamTilt(1500, BeamTiltGain), TFloatFormat::ffGeneral, 3, 4));
    calc.ListBox1->SetItemIndex(0);
    calc.ListBox1Click(calc.ListBox1);
    EXPECT_EQ(Ant().ElevationIndex, 0);
    const float gain = static_cast<float>(StrToFloat(GetDelimitedField(2, LoadStr(10001), '|')));
    EXPECT_EQ(calc.Edit1->Text(), FloatToStrF(OptimalBeamTilt(1500, gain), TFloatFormat::ffGeneral, 3, 4));

    ui.ExpectMessage(IDOK, "The HAAT must be greater than 100 and less than 3,000 feet.");
    calc.NumEdit1InvalidEntry(calc.NumEdit1);
}

TEST_F(BeamTiltCalc, RemembersTheHaatAndJoinsTheMainWindow)
{
    {
        TfrmBTCalc calc;
        calc.NumEdit1->SetValue(2000);
    }
    TfrmBTCalc again;
    EXPECT_EQ(again.NumEdit1->Text(), "2000");

    TFrmMain main;
    TMainWindowLinks links;
    links.CreateBeamTiltCalc = CreateBeamTiltCalculator;
    main.Link(links);
    EXPECT_TRUE(main.SpeedButton2->isEnabled());
    auto made = main.Links().CreateBeamTiltCalc();
    EXPECT_NE(dynamic_cast<TfrmBTCalc*>(made.get()), nullptr);
}

}  // namespace
