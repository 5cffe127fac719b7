// A whole design through the program's own windows: New, the site dialog, pages 1 to 5 and
// Finish, checked against figures worked out here from the catalog rows.
#include "ModalScript.h"
#include "platform/runtime/NumText.h"
#include "platform/runtime/StrTable.h"
#include "platform/ui/ScriptedUi.h"
#include "planner/engine/LineTable.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "planner/ui/Main.h"
#include "planner/ui/MainState.h"
#include "planner/ui/Sysinfo.h"
#include "planner/ui/Wizard.h"
#include "planner/ui/unit1.h"
#include "planner/ui/unit2.h"
#include "planner/ui/unit4.h"
#include "planner/ui/unit5.h"

#include <QKeyEvent>

#include <cmath>
#include <memory>

namespace {

double Number(int32_t id, int k) { return static_cast<double>(StrToFloat(GetDelimitedField(k, LoadStr(id), '|'))); }
// As the line table shows a number: three significant digits.
double Sig3(double v) { return static_cast<double>(StrToFloat(FloatToStrF(v, TFloatFormat::ffGeneral, 3, 4))); }
double Shown(double v, int d)
{
    const double scale = std::pow(10.0, d);
    return std::round(v * scale) / scale;
}
double Db(double ratio) { return ratio > 0 ? 10 * std::log10(ratio) : 0; }
double Ratio(double db) { return std::pow(10.0, db / 10); }

struct TDesign {
    const char* what;
    int channel;
    int standard;     // 0 NTSC, 1 DTV
    int familyButton; // 2 medium/high power UHF, 4 another make
    bool elliptical;
    int percent;
    const char* linePart;
    double typedTpo;
    int ratioClicks;  // up clicks of the ratio spin after typing
    const char* message;
    double publishedRating;  // kW at the calculation frequency from published figures, 0 = not checked
};

// Page 5 as worked out by hand.
struct TFigures {
    double tpo, tpoDb, lossKw, inputKw, inputDb, hGain, vGain, hErp, vErp;
    std::string message;
};

struct THand {
    double lossDb, ratingPeakOrAverage, maxInput, maxErp, gh, gv, hSplit;
    bool elliptical;

    TFigures FromTpo(double tpo) const
    {
        TFigures f{};
        f.tpo = Shown(tpo, 2);
        f.tpoDb = Shown(Db(f.tpo), 2);
        f.lossKw = Shown(f.tpo - Ratio(f.tpoDb - Shown(lossDb, 2)), 2);
        f.inputDb = Shown(f.tpoDb - lossDb, 2);
        f.inputKw = Shown(Ratio(f.inputDb), 2);
        f.hGain = Shown(gh * hSplit, 2);
        f.vGain = Shown(gv * (1 - hSplit), 2);
        const double hGainDb = Shown(Db(f.hGain), 2);
        f.hErp = Shown(Ratio(Shown(hGainDb + f.inputDb, 2)), 0);
        f.vErp = elliptical ? Ratio(Shown(Shown(Db(f.vGain), 2) + f.inputDb, 2)) : 0;
        return f;
    }
    // The three checks in order, each failure cutting the TPO.
    TFigures Typed(double tpo) const
    {
        TFigures f = FromTpo(tpo);
        std::string message;
        if (ratingPeakOrAverage <= f.tpo + 0.01) {
            f = FromTpo(ratingPeakOrAverage);
            message = "Transmission Line is at Maximum Input Power.";
        }
        if (f.inputKw + 0.2 >= maxInput) {
            f = FromTpo(Ratio(Db(maxInput) + lossDb));
            message = "Antenna is at Maximum Input Power.";
        }
        if (f.hErp > maxErp) {
            f = FromTpo(Ratio(Shown(Db(maxErp) - Shown(Db(f.hGain), 2) + lossDb, 2)));
            message = "ERP is at Maximum Value.";
        }
        f.message = message;
        return f;
    }
};

class DesignRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        scope_ = std::make_unique<TUiServicesScope>(ui);
        ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        CreateProjectObjects();
        WizardExhibits = {};
        frm = std::make_unique<TFrmMain>();
        TMainWindowLinks links;
        links.CreateSysInfo = [] { return std::unique_ptr<TForm>(CreateFormOnce<TfrmSysInfo>()); };
        links.CreateWizard = CreateDesignWizard;
        frm->Link(links);
        frm->show();
    }
    void TearDown() override
    {
        frm.reset();
        EXPECT_TRUE(ui.AllUsed()) << ui.Pending() << " scripted answers left unused";
        scope_.reset();
    }

    TScriptedUiServices ui;
    std::unique_ptr<TUiServicesScope> scope_;
    std::unique_ptr<TFrmMain> frm;
};

void TypeTpo(Tfrm5& p5, double value)
{
    p5.NumEdit4->SetValue(value);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_0, Qt::NoModifier, "0");
    QCoreApplication::sendEvent(p5.NumEdit4, &up);
}

}  // namespace

TEST_F(DesignRun, NewDesignThroughEveryPage)
{
    const TDesign designs[] = {
        {"NTSC, horizontal, UHF medium/high power", 32, 0, 2, false, 0, "RL50-8316", 300, 0, "Antenna is at Maximum Input Power.", 0},
        {"DTV, elliptical 30 %, UHF medium/high power", 44, 1, 2, true, 30, "AC50-400", 150, 0, "Transmission Line is at Maximum Input Power.", 0},
        {"NTSC, elliptical, another make", 20, 0, 4, true, 50, "FC50-214", 5, 2, "", 0},
        // 6-1/8 in. rigid line is rated about 190 kW at 100 MHz, falling as 1 / attenuation,
        // that is as 1 / sqrt(f): 79 kW at 581 MHz.
        {"DTV, horizontal, 6-1/8 in. rigid line", 32, 1, 2, false, 0, "RL50-618", 150, 0, "Transmission Line is at Maximum Input Power.",
         190.0 * std::sqrt(100.0 / 581.0)},
    };
    for (const auto& d : designs) {
        SCOPED_TRACE(d.what);
        bool finished = false;
        THand hand{};
        TFigures expected{};
        int32_t lineId = 0;
        WhenModal<TfrmSysInfo>([&](TfrmSysInfo& site) {
            site.CoName->SetText("Belvor Broadcast");
            site.edAuthor->SetText("A. Planner");
            site.BitBtn1->click();
            WhenModal<TfrmWizard>([&](TfrmWizard& w) {
                // Page 1: channel, service, family, polarization.
                auto* p1 = dynamic_cast<Tfrm1*>(w.nb->GetPageForm(1));
                ASSERT_NE(p1, nullptr);
                p1->USTV->SetItemIndex(d.channel - 2);
                emit p1->USTV->activated(d.channel - 2);
                p1->RadioGroup2->SetItemIndex(d.standard);
                TRadioButton* families[] = {p1->RadioButton0, p1->RadioButton1, p1->RadioButton2, p1->RadioButton3,
                                            p1->RadioButton6};
                families[d.familyButton]->click();
                if (d.elliptical) {
                    p1->RadioButton5->click();
                    p1->FSpinEdit1->SetValue(static_cast<float>(d.percent));
                }
                ASSERT_EQ(Ant().VerticalPercent, d.percent);
                // Page 2: the user looks at the vertical pattern too; page 3 as it comes.
                w.BitBtnNext->click();
                if (d.elliptical && d.familyButton != 4) {
                    auto* p2 = dynamic_cast<Tfrm2*>(w.nb->GetPageForm(2));
                    ASSERT_NE(p2, nullptr);
                    p2->TabSet1->setCurrentIndex(1);
                    ASSERT_TRUE(ShowVerticalPattern);
                }
                w.BitBtnNext->click();
                w.BitBtnNext->click();
                ASSERT_EQ(w.nb->GetPageIndex(), 4);
                auto* p4 = dynamic_cast<Tfrm4*>(w.nb->GetPageForm(4));
                ASSERT_NE(p4, nullptr);
                int row = -1;
                for (int r = 0; r < p4->SG1->RowCount(); ++r)
                    if (p4->SG1->Cells(1, r) == d.linePart) row = r;
                ASSERT_GT(row, 0) << "the line is listed";
                p4->SG1->setCurrentCell(row, 0);

                // The line from its catalog row.
                for (int32_t base : {14000, 15000, 18000})
                    for (int32_t id = base + 1; id <= base + StrToInt(LoadStr(base)); ++id)
                        if (GetDelimitedField(1, LoadStr(id), '|') == d.linePart) lineId = id;
                ASSERT_NE(lineId, 0);
                const TSysObj& sys = Sys();
                const double f = d.standard == 0 ? sys.LowFreq + 1.25 : sys.CenterFreq;
                // The engine's figures for the row; the engine is checked against published lines.
                const TLineRow catalogLine =
                    ReadLineRow(LoadStr(lineId), LineLawOfBlock(lineId / 1000 * 1000));
                const double a = LineAttenuation(catalogLine, f);
                double average = LineAverageRating(catalogLine, f);
                const double lossDb = Sig3(Sig3(a) * 11.0);  // 1000 + 100 feet
                average = Sig3(average);
                const TAntObj& ant = Ant();
                // The antenna by hand, from the rows pages 2 and 3 chose.
                double gh = 1 * 20.0, gv = 1 * 20.0, maxInput = 1000;
                if (d.familyButton == 2) {
                    const double hAz = Number(5001 + ant.HAzIndex, 1);
                    const double vAz = d.elliptical ? Number(6001 + ant.VAzIndex, 1) : 1.0;
                    const int32_t el = 10001 + ant.ElevationIndex;
                    gh = hAz * Number(el, 2);
                    gv = vAz * Number(el, 4);
                    maxInput = Number(el, 10) * (d.standard == 1 ? 0.7 : 1.0);
                } else {
                    // The other make's gains as the pages offer them: 1 in azimuth, 20 in elevation.
                    gv = d.elliptical ? 20.0 : 0.0;
                }
                EXPECT_NEAR(ant.HAzGain * ant.HElGain, gh, 1e-3);
                if (d.elliptical) {
                    EXPECT_NEAR(ant.VAzGain * ant.VElGain, gv, 1e-3);
                }
                EXPECT_NEAR(ant.MaxInputPower, maxInput, 1e-3);
                const double p = d.percent;
                const double hSplit = d.elliptical ? gv / (gh * p * 0.01 + gv) : 1.0;
                hand = THand{lossDb, d.standard == 0 ? average / 0.7 : average, maxInput,
                             d.standard == 0 ? 5000.0 : 1000.0, gh, gv, hSplit, d.elliptical};
                EXPECT_FLOAT_EQ(TLine().TotalLoss, static_cast<float>(lossDb));
                EXPECT_FLOAT_EQ(TLine().DTVRating, static_cast<float>(average));

                // Page 5: a TPO typed, the checks, the ratio spin.
                w.BitBtnNext->click();
                ASSERT_EQ(w.nb->GetPageIndex(), 5);
                auto* p5 = dynamic_cast<Tfrm5*>(w.nb->GetPageForm(5));
                ASSERT_NE(p5, nullptr);
                EXPECT_NEAR(p5->NumEdit6->Value(), Shown(std::pow(10.0, -0.1 * Shown(lossDb, 2)) * 100, 1), 0.051);
                TypeTpo(*p5, d.typedTpo);
                expected = hand.Typed(d.typedTpo);
                EXPECT_EQ(expected.message, d.message) << "the design reaches the limit it was made for";
                EXPECT_EQ(p5->Warning(), expected.message);
                EXPECT_NEAR(p5->NumEdit4->Value(), expected.tpo, 0.011);
                if (d.publishedRating > 0) {
                    EXPECT_NEAR(p5->NumEdit4->Value() / d.publishedRating, 1.0, 0.25) << "the line rating stops the TPO";
                }
                EXPECT_NEAR(p5->NumEdit5->Value(), expected.tpoDb, 0.011);
                EXPECT_NEAR(p5->NumEdit8->Value(), expected.lossKw, 0.011);
                EXPECT_NEAR(p5->NumEdit10->Value(), expected.inputKw, 0.011);
                EXPECT_NEAR(p5->NumEdit12->Value(), expected.hGain, 0.011);
                EXPECT_NEAR(p5->NumEdit14->Value(), expected.vGain, 0.011);
                EXPECT_NEAR(p5->NumEdit1->Value(), expected.hErp, 1.0);
                EXPECT_NEAR(p5->NumEdit2->Value(), Shown(expected.vErp, 0), 1.0);
                if (d.ratioClicks > 0) {
                    const double erph = p5->NumEdit1->Value();
                    for (int i = 0; i < d.ratioClicks; ++i) p5->SpinButton3->UpClick();
                    EXPECT_EQ(Ant().VerticalPercent, d.percent + d.ratioClicks);
                    EXPECT_EQ(p5->NumEdit1->Value(), erph);
                    EXPECT_EQ(p5->NumEdit2->Value(), Shown(erph * (d.percent + d.ratioClicks) / 100.0, 0));
                }
                EXPECT_EQ(p5->lblAntennaType->Caption(), Ant().PartNumber);
                EXPECT_EQ(p5->lblLine->Caption(), GetDelimitedField(0, LoadStr(lineId), '|'));
                ASSERT_EQ(w.BitBtnNext->Caption(), "&Finish");
                w.BitBtnNext->click();
                finished = true;
            });
        });
        frm->sbNew->click();
        ASSERT_TRUE(finished);
        EXPECT_TRUE(frm->sb5->isEnabled()) << "a finished design enables its steps";

        // The model as the design left it.
        const TSysObj& sys = Sys();
        const TAntObj& ant = Ant();
        const TTLineObj& line = TLine();
        EXPECT_EQ(sys.GetChannel(), d.channel);
        EXPECT_EQ(sys.Standard, d.standard);
        EXPECT_EQ(line.LineName, GetDelimitedField(0, LoadStr(lineId), '|'));
        EXPECT_EQ(line.LinePartNumber, d.linePart);
        EXPECT_EQ(line.TotalRunLength, 1100);
        EXPECT_FLOAT_EQ(line.TotalLoss, static_cast<float>(hand.lossDb));
        EXPECT_NEAR(line.GetPowerRating(), hand.ratingPeakOrAverage, 1e-3);
        if (d.ratioClicks == 0) {
            EXPECT_NEAR(ant.HSplit, hand.hSplit, 1e-5);
            EXPECT_NEAR(sys.GetPower(), expected.tpo, 0.011);
            EXPECT_NEAR(sys.ERPH, expected.hErp, 1.0);
            EXPECT_NEAR(sys.ERPV, expected.vErp, std::max(0.01, expected.vErp * 0.003));
        }
        EXPECT_EQ(sys.ERPV > 0, d.elliptical);
        if (d.familyButton == 4) {
            EXPECT_EQ(ant.PartNumber, "non-Belvor antenna");
        }
        EXPECT_EQ(CompanyName, "Belvor Broadcast");
    }
}
