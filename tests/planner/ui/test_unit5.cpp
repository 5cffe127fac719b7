#include "platform/runtime/NumText.h"
#include "platform/ui/ScriptedUi.h"
#include "planner/engine/Exhibits.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "planner/ui/MainState.h"
#include "planner/ui/Wizard.h"
#include "planner/ui/unit5.h"
#include "platform/printing/Printers.h"
#include "support/PopplerTools.h"
#include "support/TestFiles.h"

#include <QImage>
#include <QKeyEvent>
#include <QSet>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>

namespace {

const char* const kLine = "Transmission Line is at Maximum Input Power.";
const char* const kAnt = "Antenna is at Maximum Input Power.";
const char* const kErp = "ERP is at Maximum Value.";

// A value as a field of d decimals shows it.
double Shown(double v, int d)
{
    const double scale = std::pow(10.0, d);
    return std::round(v * scale) / scale;
}
double Db(double ratio) { return ratio > 0 ? 10 * std::log10(ratio) : 0; }
double Ratio(double db) { return std::pow(10.0, db / 10); }

// The page's figures worked out by hand from the TPO, the line loss and the antenna's gains.
struct TChain {
    double tpoDb, lossKw, inputDb, inputKw, hGain, hGainDb, vGain, vGainDb, hErpDb, hErp, vErpDb, vErp, hSplit;
};

TChain FromTpo(double tpo, double lossDb, double gh, double gv, int percent, bool elliptical)
{
    TChain c{};
    const double p = percent;
    c.hSplit = gv / (gh * p * 0.01 + gv);
    c.tpoDb = Shown(Db(tpo), 2);
    c.lossKw = Shown(tpo - Ratio(c.tpoDb - lossDb), 2);
    c.inputDb = Shown(c.tpoDb - lossDb, 2);
    c.inputKw = Shown(Ratio(c.inputDb), 2);
    c.vGain = Shown(gv * (1 - c.hSplit), 2);
    c.vGainDb = Shown(Db(c.vGain), 2);
    c.hGain = Shown(gh * c.hSplit, 2);
    c.hGainDb = Shown(Db(c.hGain), 2);
    c.hErpDb = Shown(c.hGainDb + c.inputDb, 2);
    c.hErp = Shown(Ratio(c.hErpDb), 0);
    c.vErpDb = elliptical ? Shown(c.vGainDb + c.inputDb, 2) : 0;
    c.vErp = elliptical ? Ratio(c.vErpDb) : 0;
    return c;
}

class Page5 : public ::testing::Test {
protected:
    void SetUp() override
    {
        scope_ = std::make_unique<TUiServicesScope>(ui);
        ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        CreateProjectObjects();
        Page5Visited = false;
        CompanyName = "Belvor Broadcast";
        SiteName = "Harlan Falls";
        AuthorName = "A. Planner";
        ProposalNumber = "P-118";
        ProposalDate = 0;
    }
    void TearDown() override
    {
        w.reset();
        EXPECT_TRUE(ui.AllUsed()) << ui.Pending() << " scripted answers left unused";
        scope_.reset();
    }
    // The line and antenna as pages 3 and 4 leave them.
    static void Design(double lossDb, double averageRating, float hGain, float vGain, bool elliptical, int percent)
    {
        TTLineObj& line = TLine();
        line.TotalLoss = static_cast<float>(lossDb);
        line.SetPowerRating(static_cast<float>(averageRating));
        line.LineName = "Belvor 6-1/8 in. rigid line, 50 ohm";
        TAntObj& ant = Ant();
        ant.SetHAzimuthGain(1);
        ant.SetVAzimuthGain(1);
        ant.SetHElevationGain(hGain);
        ant.SetVElevationGain(vGain);
        ant.Elliptical = elliptical;
        ant.VerticalPercent = percent;
        ant.HElName = "Rux20H3";
        ant.HAzSuffix = "C3";
    }
    Tfrm5& Open()
    {
        WizardFirstPage = 5;
        WizardLastPage = 5;
        w = std::make_unique<TfrmWizard>();
        w->nb->ActivatePage(5);
        auto* f = dynamic_cast<Tfrm5*>(w->nb->GetPageForm(5));
        EXPECT_NE(f, nullptr);
        return *f;
    }
    // The user types into a field: the value, then the key comes up.
    static void Type(TNuvNumericEdit* edit, double value)
    {
        edit->SetValue(value);
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_0, Qt::NoModifier, "0");
        QCoreApplication::sendEvent(edit, &up);
    }
    static void ExpectChain(const Tfrm5& f, const TChain& c, double tpo)
    {
        EXPECT_NEAR(f.NumEdit4->Value(), Shown(tpo, 2), 0.011);
        EXPECT_NEAR(f.NumEdit5->Value(), c.tpoDb, 0.011);
        EXPECT_NEAR(f.NumEdit8->Value(), c.lossKw, 0.011);
        EXPECT_NEAR(f.NumEdit9->Value(), c.inputDb, 0.011);
        EXPECT_NEAR(f.NumEdit10->Value(), c.inputKw, 0.011);
        EXPECT_NEAR(AntennaInputPower, c.inputKw, 0.011);
        EXPECT_NEAR(f.NumEdit12->Value(), c.hGain, 0.011);
        EXPECT_NEAR(f.NumEdit11->Value(), c.hGainDb, 0.011);
        EXPECT_NEAR(f.NumEdit14->Value(), c.vGain, 0.011);
        EXPECT_NEAR(f.NumEdit13->Value(), c.vGainDb, 0.011);
        EXPECT_NEAR(f.NumEdit15->Value(), c.hErpDb, 0.011);
        EXPECT_NEAR(f.NumEdit1->Value(), c.hErp, 1.0);
        EXPECT_NEAR(Sys().ERPH, c.hErp, 1.0);
        EXPECT_NEAR(f.NumEdit16->Value(), c.vErpDb, 0.011);
        EXPECT_NEAR(Sys().ERPV, c.vErp, std::max(0.01, c.vErp * 0.003));
        EXPECT_NEAR(f.NumEdit2->Value(), Shown(c.vErp, 0), 1.0);
        EXPECT_NEAR(Ant().HSplit, c.hSplit, 1e-5);
        EXPECT_NEAR(f.HPolSplit->Value(), Shown(c.hSplit, 2), 0.011);
    }

    TScriptedUiServices ui;
    std::unique_ptr<TUiServicesScope> scope_;
    std::unique_ptr<TfrmWizard> w;
};

}  // namespace

TEST_F(Page5, TheFirstShowingStartsFromOneKilowatt)
{
    Design(1.0, 500, 20, 18, false, 0);
    Sys().DTVPower = 42;
    Tfrm5& f = Open();
    EXPECT_TRUE(Page5Visited);
    EXPECT_EQ(f.lblCompany->Caption(), "Belvor Broadcast");
    EXPECT_EQ(f.lblSite->Caption(), "Harlan Falls");
    EXPECT_EQ(f.lblChannel->Caption(), "32");
    EXPECT_EQ(f.lblLine->Caption(), "Belvor 6-1/8 in. rigid line, 50 ohm");
    EXPECT_EQ(f.lblVertical->Caption(), "1000");
    EXPECT_EQ(f.lblHorizontal->Caption(), "100");
    EXPECT_EQ(f.lblAntennaType->Caption(), "Rux20H3-HSC3-32S");
    EXPECT_EQ(f.Label37->Caption(), "NTSC Peak + 10% Aural");
    EXPECT_EQ(f.NumEdit6->Text(), "79.4") << "1 dB of line loss";
    EXPECT_EQ(f.NumEdit7->Text(), "1.00");
    ExpectChain(f, FromTpo(1, 1, 20, 18, 0, false), 1);
    EXPECT_EQ(f.Warning(), "") << "no check on the first showing";
}

TEST_F(Page5, TypingTheTpoOrTheErpWorksTheChainBothWays)
{
    struct Case {
        const char* what;
        bool elliptical;
        int percent;
        double tpo;   // typed, or 0 when the ERP is typed
        double erp;
    };
    const Case cases[] = {
        {"horizontal, TPO", false, 0, 25.5, 0},
        {"elliptical 30 %, TPO", true, 30, 40, 0},
        {"circular, TPO", true, 100, 12.34, 0},
        {"horizontal, ERP", false, 0, 0, 400},
        {"elliptical 50 %, ERP", true, 50, 0, 750},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CreateProjectObjects();
        Page5Visited = false;
        Design(1.37, 900, 20, 18, c.elliptical, c.percent);
        Tfrm5& f = Open();
        if (c.tpo > 0) {
            Type(f.NumEdit4, c.tpo);
            ExpectChain(f, FromTpo(c.tpo, 1.37, 20, 18, c.percent, c.elliptical), c.tpo);
        } else {
            Type(f.NumEdit1, c.erp);
            const double hSplit = 18.0 / (20.0 * c.percent * 0.01 + 18.0);
            const double hGainDb = Shown(Db(Shown(20 * hSplit, 2)), 2);
            const double inputDb = Shown(Shown(Db(c.erp), 2) - hGainDb, 2);
            const double tpoDb = Shown(1.37 + inputDb, 2);
            EXPECT_NEAR(f.NumEdit15->Value(), Shown(Db(c.erp), 2), 0.011);
            EXPECT_NEAR(f.NumEdit9->Value(), inputDb, 0.011);
            EXPECT_NEAR(f.NumEdit10->Value(), Shown(Ratio(inputDb), 2), 0.011);
            EXPECT_NEAR(f.NumEdit5->Value(), tpoDb, 0.011);
            EXPECT_NEAR(f.NumEdit4->Value(), Shown(Ratio(tpoDb), 2), 0.011);
            EXPECT_NEAR(Sys().NTSCPower, Shown(Ratio(tpoDb), 2), 0.011);
            EXPECT_NEAR(f.NumEdit8->Value(), Shown(f.NumEdit4->Value() - Ratio(tpoDb - 1.37), 2), 0.011);
            EXPECT_DOUBLE_EQ(f.NumEdit2->Value(), c.elliptical ? Shown(c.erp * c.percent / 100.0, 0) : 0);
            EXPECT_FLOAT_EQ(Sys().ERPV, static_cast<float>(f.NumEdit2->Value()));
            EXPECT_FLOAT_EQ(Sys().ERPH, static_cast<float>(c.erp));
        }
        EXPECT_EQ(f.Warning(), "");
        w.reset();
    }
}

TEST_F(Page5, TheChecksCutTheTpoToTheLimitAndSaySo)
{
    struct Case {
        const char* what;
        double rating;  // average, kW (NTSC peak = rating / 0.7)
        float maxInput;
        float maxErp;
        double typed;
        const char* message;
        double tpoAfter;
    };
    const Case cases[] = {
        {"line: 60 kW typed against a 60 kW line", 42, 240, 5000, 60, kLine, 60},
        {"antenna: 240 kW input at 1 dB loss", 1000, 240, 5000, 400, kAnt, 302.14},
        {"ERP: 5000 kW at 13.01 dB gain", 1000, 1000, 5000, 400, kErp, 314.77},
        {"line, then antenna: the last one speaks", 350, 240, 5000, 600, kAnt, 302.14},
        {"within every limit", 1000, 1000, 5000, 100, "", 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CreateProjectObjects();
        Page5Visited = false;
        Design(1.0, c.rating, 20, 18, false, 0);
        Ant().SetMaxInputPower(c.maxInput);
        Sys().MaxERP = c.maxErp;
        Tfrm5& f = Open();
        Type(f.NumEdit4, c.typed);
        EXPECT_EQ(f.Warning(), c.message);
        EXPECT_NEAR(f.NumEdit4->Value(), c.tpoAfter, 0.011);
        EXPECT_NEAR(Sys().GetPower(), c.tpoAfter, 0.011);
        ExpectChain(f, FromTpo(f.NumEdit4->Value(), 1.0, 20, 1, 0, false), f.NumEdit4->Value());
        // The message sits in front of the other two.
        for (TLabel* l : {f.TLineWarn, f.AntWarn, f.ERPWarn})
            if (!l->Caption().empty()) {
                EXPECT_EQ(f.AutoNBPanel->childAt(l->geometry().center()), l);
            }
        w.reset();
    }
}

TEST_F(Page5, NothingInGivesNothingOut)
{
    Design(1.0, 1000, 20, 18, true, 40);
    Tfrm5& f = Open();
    Type(f.NumEdit4, 0);
    for (TNuvNumericEdit* e : {f.NumEdit1, f.NumEdit2, f.NumEdit5, f.NumEdit8, f.NumEdit9, f.NumEdit10, f.NumEdit15,
                               f.NumEdit16})
        EXPECT_EQ(e->Value(), 0) << e->objectName().toStdString();
    EXPECT_EQ(Sys().ERPH, 0);
    EXPECT_EQ(Sys().ERPV, 0);
    EXPECT_EQ(AntennaInputPower, 0);

    Type(f.NumEdit4, 10);
    ASSERT_GT(f.NumEdit1->Value(), 0);
    Type(f.NumEdit1, 0);
    for (TNuvNumericEdit* e : {f.NumEdit4, f.NumEdit5, f.NumEdit2, f.NumEdit8, f.NumEdit9, f.NumEdit10})
        EXPECT_EQ(e->Value(), 0) << e->objectName().toStdString();
    EXPECT_EQ(Sys().GetPower(), 0);
    EXPECT_EQ(f.Warning(), "");
}

TEST_F(Page5, TheRatioSpinMovesTheVerticalErpAndTheTpo)
{
    struct Case {
        const char* what;
        int family;
        bool elliptical;
        int percent;
        int clicksUp;  // negative: down
        int percentAfter;
    };
    const Case cases[] = {
        {"elliptical, up", 1, true, 30, 3, 33},
        {"elliptical, down", 2, true, 30, -5, 25},
        {"at 100", 1, true, 100, 2, 100},
        {"at 1", 1, true, 1, -2, 1},
        {"horizontal ignores it", 1, false, 0, 4, 0},
        {"a Zek antenna ignores it", 0, true, 100, -3, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CreateProjectObjects();
        Page5Visited = false;
        Design(1.2, 1000, 20, 18, c.elliptical, c.percent);
        Sys().Family = static_cast<uint8_t>(c.family);
        Tfrm5& f = Open();
        Type(f.NumEdit4, 50);
        const double erph = f.NumEdit1->Value();
        const double tpo = f.NumEdit4->Value();
        for (int i = 0; i < std::abs(c.clicksUp); ++i)
            c.clicksUp > 0 ? f.SpinButton3->UpClick() : f.SpinButton3->DownClick();
        EXPECT_EQ(Ant().VerticalPercent, c.percentAfter);
        EXPECT_EQ(f.NumEdit17->Value(), c.percentAfter);
        EXPECT_EQ(f.NumEdit1->Value(), erph) << "the horizontal ERP stays";
        if (c.percentAfter == c.percent) {
            EXPECT_EQ(f.NumEdit4->Value(), tpo);
            continue;
        }
        EXPECT_EQ(f.NumEdit2->Value(), Shown(erph * c.percentAfter / 100.0, 0));
        const double hSplit = 18.0 / (20.0 * c.percentAfter * 0.01 + 18.0);
        const double inputDb = Shown(Shown(Db(erph), 2) - Shown(Db(Shown(20 * hSplit, 2)), 2), 2);
        EXPECT_NEAR(f.NumEdit9->Value(), inputDb, 0.011);
        EXPECT_NEAR(f.NumEdit4->Value(), Shown(Ratio(Shown(1.2 + inputDb, 2)), 2), 0.011);
        EXPECT_NEAR(f.NumEdit8->Value(), Shown(f.NumEdit4->Value() - Ratio(Shown(1.2 + inputDb, 2) - 1.2), 2), 0.011)
            << "the loss follows the new TPO";
        EXPECT_EQ(f.lblAntennaType->Caption(), Ant().PartNumber);
    }
}

TEST_F(Page5, ALaterShowingStartsFromTheStoredPowerCutToTheLine)
{
    Design(0.8, 700, 20, 18, false, 0);
    Ant().SetMaxInputPower(1000);
    Tfrm5& f = Open();
    Type(f.NumEdit4, 200);
    EXPECT_EQ(f.Warning(), "");
    // Back on page 4 a weaker line was chosen: 70 kW average, 100 kW peak.
    TLine().SetPowerRating(70);
    f.PageShown();
    EXPECT_NEAR(f.NumEdit4->Value(), 100, 0.011);
    EXPECT_EQ(f.Warning(), kLine) << "100 <= 100 + 0.01";
    ExpectChain(f, FromTpo(100, 0.8, 20, 18, 0, false), 100);

    Sys().SetStandard(1);
    Sys().DTVPower = 30;
    f.PageShown();
    EXPECT_EQ(f.Label37->Caption(), "DTV Average");
    EXPECT_NEAR(f.NumEdit4->Value(), 30, 0.011);
}

TEST_F(Page5, GrabOfThePage)
{
    const QByteArray keep = qgetenv("MW_KEEP_GRAB");
    Design(1.07, 300, 20, 18, true, 30);
    Tfrm5& f = Open();
    w->show();
    Type(f.NumEdit4, 260);
    const QImage img = w->grab().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < img.height(); y += 2)
        for (int x = 0; x < img.width(); x += 2) colours.insert(img.pixel(x, y));
    EXPECT_GT(colours.size(), 40);
    if (!keep.isEmpty()) img.save(QString::fromLocal8Bit(keep) + "/page5.png");
    Type(f.NumEdit4, 400);
    ASSERT_EQ(f.Warning(), kAnt);
    if (!keep.isEmpty()) w->grab().toImage().save(QString::fromLocal8Bit(keep) + "/page5-limit.png");
}

// The printed system exhibit shows every figure of the page as the page shows it, however
// the page came to it: a typed TPO, a typed ERP, a stepped ratio.
TEST_F(Page5, TheExhibitPrintsThePagesFigures)
{
    struct Case {
        const char* what;
        double lossDb;
        int percent;
        double tpo, erp;  // the one typed (the other 0)
        int clicksUp;
    };
    const Case cases[] = {
        {"elliptical 30 %, TPO typed", 1.37, 30, 40.5, 0, 0},
        {"elliptical 25 %, ERP typed", 8.88, 25, 0, 700, 0},
        {"elliptical, ratio stepped", 2.43, 30, 33.3, 0, 7},
        {"horizontal, TPO typed", 8.87, 0, 120, 0, 0},
    };
    mwtest::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CreateProjectObjects();
        Page5Visited = false;
        Design(c.lossDb, 1000, 20, 18, c.percent > 0, c.percent);
        Sys().Family = 1;
        Tfrm5& f = Open();
        if (c.tpo > 0) Type(f.NumEdit4, c.tpo);
        else Type(f.NumEdit1, c.erp);
        for (int i = 0; i < c.clicksUp; ++i) f.SpinButton3->UpClick();
        ASSERT_EQ(f.Warning(), "");

        const std::string file = dir.File("summary.pdf");
        {
            TPdfPrinter printer(file);
            PrintSystemExhibitDocument(printer);
        }
        std::istringstream words(mwtest::PdfText(file));
        std::string printed;
        for (std::string w; words >> w;) printed += w + " ";
        auto t = [](const TNuvNumericEdit* e) { return e->Text(); };
        const std::string expected[] = {
            "kW: " + t(f.NumEdit1) + " " + t(f.NumEdit2),
            "dBk: " + t(f.NumEdit15) + " " + t(f.NumEdit16),
            "Ratio: " + t(f.NumEdit12) + " " + t(f.NumEdit14),
            "dBd: " + t(f.NumEdit11) + " " + t(f.NumEdit13),
            "Antenna Input kW: " + t(f.NumEdit10) + " dBk: " + t(f.NumEdit9),
            "Transmission Line Loss kW: " + t(f.NumEdit8) + " dB: " + t(f.NumEdit7),
            "Efficiency(%): " + t(f.NumEdit6),
            "kW: " + t(f.NumEdit4) + " NTSC Peak",
            "Aural dBk: " + t(f.NumEdit5),
        };
        for (const std::string& want : expected) EXPECT_NE(printed.find(want), std::string::npos) << want << "\n" << printed;
        w.reset();
    }
}
