#include "ModalScript.h"
#include "platform/runtime/NumText.h"
#include "platform/runtime/StrTable.h"
#include "platform/ui/ScriptedUi.h"
#include "planner/engine/LineTable.h"
#include "planner/engine/ProjLib.h"
#include "planner/ui/CustTLin.h"
#include "planner/ui/MainState.h"
#include "planner/ui/Wizard.h"
#include "planner/ui/unit4.h"
#include "planner/ui/Rprtfrm.h"
#include "report/output/RpxDevice.h"
#include "report/output/qt/RpxPainterDevice.h"
#include "report/ui/RpxViewer.h"
#include "support/TestFiles.h"
#include "ui_RpxViewer.h"
#include "support/WaitFor.h"

#include <QFocusEvent>
#include <QImage>
#include <QMenuBar>
#include <QSet>
#include <QTest>

#include <cmath>
#include <map>
#include <memory>
#include <regex>
#include <vector>

namespace {

std::string Field(int32_t id, int k) { return GetDelimitedField(k, LoadStr(id), '|'); }
double Number(int32_t id, int k) { return static_cast<double>(StrToFloat(Field(id, k))); }
double Cell(const TImpGrid* g, int c, int r) { return static_cast<double>(StrToFloat(g->Cells(c, r))); }

// A cell holds three significant digits: it may differ from the exact value by half a unit
// of its third digit.
void ExpectThreeDigits(const std::string& text, double exact, const char* what)
{
    SCOPED_TRACE(what);
    ASSERT_FALSE(text.empty());
    const double shown = static_cast<double>(StrToFloat(text));
    const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(exact))) - 2);
    EXPECT_LE(std::fabs(shown - exact), 0.5 * unit * 1.001) << text << " for " << exact;
}

// One catalog line as the table must list it.
struct TExpectedLine {
    int32_t id;
    double attenuation, rating;
};

std::vector<TExpectedLine> ExpectedLines(double lowEdge, double highEdge, double f)
{
    std::vector<TExpectedLine> lines;
    for (int32_t base : {16000, 17000, 18000, 15000, 14000}) {
        const int32_t count = StrToInt(LoadStr(base));
        for (int32_t id = base + 1; id <= base + count; ++id) {
            if (Number(id, 2) > lowEdge || Number(id, 3) < highEdge) continue;
            // The engine's figures for the row; the engine is checked against published lines.
            const TLineRow line = ReadLineRow(LoadStr(id), LineLawOfBlock(base));
            const TExpectedLine e{id, LineAttenuation(line, f), LineAverageRating(line, f)};
            lines.push_back(e);
        }
    }
    return lines;
}

class Page4 : public ::testing::Test {
protected:
    void SetUp() override
    {
        scope_ = std::make_unique<TUiServicesScope>(ui);
        ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        CreateProjectObjects();
        LineUtilityMode = false;
        Page4Fresh = true;
        Page1Visited = Page5Visited = false;
        CustomLine = TCustomLine();
        PrintLineTable = nullptr;
    }
    void TearDown() override
    {
        w.reset();
        PrintLineTable = nullptr;
        EXPECT_TRUE(ui.AllUsed()) << ui.Pending() << " scripted answers left unused";
        scope_.reset();
    }

    Tfrm4& Open(int first = 4, int last = 4)
    {
        WizardFirstPage = first;
        WizardLastPage = last;
        w = std::make_unique<TfrmWizard>();
        w->nb->ActivatePage(4);
        auto* f = dynamic_cast<Tfrm4*>(w->nb->GetPageForm(4));
        EXPECT_NE(f, nullptr);
        return *f;
    }
    // The station on a channel of the plan, as page 1 leaves it.
    static void Channel(int channel, int standard)
    {
        TSysObj& sys = Sys();
        sys.SetChannel(channel);
        sys.LowFreq = static_cast<float>(Number(kChannelTable + channel - 1, 1));
        sys.HighFreq = static_cast<float>(Number(kChannelTable + channel - 1, 2));
        sys.CenterFreq = (sys.LowFreq + sys.HighFreq) / 2;
        sys.SetStandard(static_cast<uint8_t>(standard));
    }
    // The user picks a row of the table.
    static void Pick(Tfrm4& f, int row) { f.SG1->setCurrentCell(row, 2); }
    // The line object describes grid row r.
    static void ExpectLineIsRow(const Tfrm4& f, int r)
    {
        const TTLineObj& line = TLine();
        EXPECT_EQ(line.SelectedRow, r);
        EXPECT_EQ(line.LineName, f.SG1->Cells(0, r));
        EXPECT_EQ(line.LinePartNumber, f.SG1->Cells(1, r));
        EXPECT_FLOAT_EQ(line.TotalLoss, static_cast<float>(Cell(f.SG1, 3, r)));
        EXPECT_FLOAT_EQ(line.VerticalLoss, static_cast<float>(Cell(f.SG1, 2, r) * line.VerticalLength * 0.01));
        EXPECT_FLOAT_EQ(line.DTVRating, static_cast<float>(Cell(f.SG1, 4, r)));
        EXPECT_NEAR(line.NTSCRating, line.DTVRating / (0.6 + Sys().AuralPercent / 100), 1e-3);
    }

    TScriptedUiServices ui;
    std::unique_ptr<TUiServicesScope> scope_;
    std::unique_ptr<TfrmWizard> w;
};

}  // namespace

TEST_F(Page4, TheTableListsTheLinesOfTheChannelUnderTheirLaws)
{
    struct Case {
        int channel;
        int standard;
        double f;          // the calculation frequency
        bool hasWaveguide, hasRigid, hasCappedCable;
    };
    const Case cases[] = {
        {32, 0, 579.25, true, true, false},  // the visual carrier
        {32, 1, 581.0, true, true, false},   // midband
        {14, 0, 471.25, true, true, false},  // waveguides down to the band edge
        {2, 0, 55.25, false, true, true},    // low band: cables at their heat limit
        {9, 1, 189.0, false, true, false},
        {60, 1, 749.0, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("channel " + std::to_string(c.channel) + (c.standard ? " DTV" : " NTSC"));
        CreateProjectObjects();
        Channel(c.channel, c.standard);
        Page4Fresh = true;
        Tfrm4& f = Open();
        EXPECT_FLOAT_EQ(CalcFrequency, static_cast<float>(c.f));
        const TSysObj& sys = Sys();
        const auto lines = ExpectedLines(sys.LowFreq, sys.HighFreq, c.f);
        ASSERT_EQ(f.SG1->RowCount(), 1 + static_cast<int>(lines.size()));
        EXPECT_EQ(f.SG1->Cells(0, 0), "Customer Defined Transmission Line");
        bool waveguide = false, rigid = false, capped = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const auto& e = lines[i];
            const int r = static_cast<int>(i) + 1;
            SCOPED_TRACE(Field(e.id, 1));
            EXPECT_EQ(f.SG1->Cells(0, r), Field(e.id, 0));
            EXPECT_EQ(f.SG1->Cells(1, r), Field(e.id, 1));
            ExpectThreeDigits(f.SG1->Cells(2, r), e.attenuation, "dB/100 ft");
            // The total is worked from the attenuation as shown, over 1100 feet.
            EXPECT_EQ(f.SG1->Cells(3, r), FloatToStrF(11.0 * Cell(f.SG1, 2, r), TFloatFormat::ffGeneral, 3, 4));
            ExpectThreeDigits(f.SG1->Cells(4, r), e.rating, "average");
            if (c.standard == 0)
                ExpectThreeDigits(f.SG1->Cells(5, r), e.rating / 0.7, "peak");
            else
                EXPECT_EQ(f.SG1->Cells(5, r), "");
            waveguide |= e.id > 16000 && e.id < 18000;
            rigid |= e.id > 18000;
            capped |= e.id < 16000 && e.rating == Number(e.id, 7);
        }
        EXPECT_EQ(waveguide, c.hasWaveguide);
        EXPECT_EQ(rigid, c.hasRigid);
        EXPECT_EQ(capped, c.hasCappedCable);
        EXPECT_EQ(f.Label6->isVisibleTo(f.AutoNBPanel), c.standard == 0) << "the peak heading";
        EXPECT_EQ(f.Label14->isVisibleTo(f.AutoNBPanel), c.standard == 0);
        EXPECT_EQ(f.SpinButton3->isVisibleTo(f.AutoNBPanel), c.standard == 0);
        // A fresh page takes the first catalog line.
        ExpectLineIsRow(f, 1);
    }
}

TEST_F(Page4, EdgesOfTheTable)
{
    // Channel 32 is 578-584 MHz: a line usable up to 553 or 580 MHz is not listed; one from
    // 470 MHz is.
    Tfrm4& f = Open();
    EXPECT_EQ(f.Label10->Caption(), "Ch 32 (578-584 MHz)");
    EXPECT_EQ(f.Label16->Caption(), "Attenuation calculated at video peak of sync.");
    EXPECT_EQ(f.Label14->Caption(), "Peak Power at 10% aural");
    TStringList parts;
    for (int r = 0; r < f.SG1->RowCount(); ++r) parts.Add(f.SG1->Cells(1, r));
    EXPECT_LT(parts.IndexOf("CWG-200"), 0) << "470-553 MHz";
    EXPECT_GE(parts.IndexOf("WR1800"), 0) << "470-620 MHz";
    EXPECT_LT(parts.IndexOf("WR2100"), 0) << "470-530 MHz";
    // The blocks in their order: circular, rectangular waveguide, rigid line, air, foam.
    EXPECT_LT(parts.IndexOf("CWG-150"), parts.IndexOf("WR1800"));
    EXPECT_LT(parts.IndexOf("WR1800"), parts.IndexOf("RL50-158"));
    EXPECT_LT(parts.IndexOf("RL50-158"), parts.IndexOf("AC50-158"));
    EXPECT_LT(parts.IndexOf("AC50-158"), parts.IndexOf("FC50-012"));

    // The customer line of 0.5 dB/100 ft over 1100 ft loses 5.5 dB.
    CustomLine.Attenuation = 0.5f;
    f.UpdateTable();
    EXPECT_EQ(f.SG1->Cells(2, 0), "0.5");
    EXPECT_EQ(f.SG1->Cells(3, 0), "5.5");
    EXPECT_EQ(f.SG1->Cells(4, 0), "60");
    EXPECT_EQ(f.SG1->Cells(5, 0), "85.7");
}

TEST_F(Page4, TheSpinsKeepTheLengthsInsideTheirLimits)
{
    struct Case {
        const char* what;
        bool vertical, up;
        double start;  // the length as typed, before the spin
        int expected;
    };
    const Case cases[] = {
        {"vertical down", true, false, 1000, 950},
        {"vertical down to the minimum", true, false, 70, 50},
        {"vertical at the minimum", true, false, 50, 50},
        {"vertical typed below the minimum", true, false, 20, 50},
        {"vertical up to the maximum", true, true, 2480, 2500},
        {"vertical at the maximum", true, true, 2500, 2500},
        {"vertical typed beyond the maximum", true, true, 3000, 2500},
        {"horizontal down", false, false, 100, 90},
        {"horizontal down to nothing", false, false, 5, 0},
        {"horizontal at nothing", false, false, 0, 0},
        {"horizontal up to the maximum", false, true, 495, 500},
        {"horizontal typed beyond the maximum", false, true, 640, 500},
        {"horizontal typed beyond, spun down", false, false, 640, 500},
    };
    Tfrm4& f = Open();
    Pick(f, 3);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TNuvNumericEdit* edit = c.vertical ? f.NumEdit4 : f.NumEdit5;
        TSpinButton* spin = c.vertical ? f.SpinButton1 : f.SpinButton2;
        edit->SetValue(c.start);
        if (c.up)
            spin->UpClick();
        else
            spin->DownClick();
        const TTLineObj& line = TLine();
        EXPECT_EQ(edit->Value(), c.expected);
        EXPECT_EQ(c.vertical ? line.VerticalLength : line.HorizontalLength, c.expected);
        EXPECT_EQ(line.TotalRunLength, line.VerticalLength + line.HorizontalLength);
        EXPECT_EQ(f.NumEdit6->Value(), line.TotalRunLength);
        EXPECT_EQ(f.SG1->Cells(3, 3),
                  FloatToStrF(line.TotalRunLength * 0.01 * Cell(f.SG1, 2, 3), TFloatFormat::ffGeneral, 3, 4));
        ExpectLineIsRow(f, 3);
    }
}

TEST_F(Page4, ALengthLeftOutsideItsLimitsIsReportedAndReset)
{
    struct Case {
        bool vertical;
        double typed;
        const char* message;
        int fallback;
    };
    const Case cases[] = {
        {true, 20, "Valid vertical transmission line lengths are from 50 to 2,500 feet", 1000},
        {true, 2600, "Valid vertical transmission line lengths are from 50 to 2,500 feet", 1000},
        {false, 520, "Valid horizontal transmission line lengths are from 0 to 500 feet", 100},
    };
    Tfrm4& f = Open();
    w->show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        TNuvNumericEdit* edit = c.vertical ? f.NumEdit4 : f.NumEdit5;
        TNuvNumericEdit* other = c.vertical ? f.NumEdit5 : f.NumEdit4;
        edit->SetValue(c.typed);
        ui.ExpectMessage(IDOK, c.message);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(edit, &out);
        EXPECT_EQ(edit->Value(), c.fallback);
        EXPECT_EQ(c.vertical ? TLine().VerticalLength : TLine().HorizontalLength, c.fallback);
        EXPECT_EQ(TLine().TotalRunLength, static_cast<int>(c.fallback + other->Value()));
    }
}

TEST_F(Page4, TheCustomerLineDialog)
{
    enum Act { Ok, CancelButton, CloseBox, RefusedThenOk };
    struct Case {
        const char* what;
        Act act;
        bool taken;
    };
    // The description is cut to 35 characters.
    const std::string kCut = "Tower run of 3 in. foam, ~ spliced ";
    const Case cases[] = {
        {"OK", Ok, true},
        {"Cancel", CancelButton, false},
        {"close box", CloseBox, false},
        {"nothing, then OK", RefusedThenOk, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CustomLine.Description = "My line";
        CustomLine.Attenuation = 0.25f;
        CustomLine.MaxPower = 30.0f;
        Page4Fresh = true;
        Tfrm4& f = Open();
        Pick(f, 0);
        ExpectLineIsRow(f, 0);
        bool opened = false;
        if (c.act == RefusedThenOk) {
            ui.ExpectMessage(IDOK, "maximum average power");
            ui.ExpectMessage(IDOK, "attenuation");
        }
        WhenModal<TFrmCustTLine>([&](TFrmCustTLine& d) {
            opened = true;
            EXPECT_EQ(d.Caption(), "Customer Defined Transmission Line Parameters");
            // It opens with the line as it is now.
            EXPECT_EQ(d.Edit1->Text(), "My line");
            EXPECT_DOUBLE_EQ(d.NumEdit1->Value(), 30.0);
            EXPECT_DOUBLE_EQ(d.NumEdit2->Value(), 0.25);
            d.Edit1->SetText("Tower run of 3 in. foam, ~ spliced twice, to the building");  // 57 characters
            d.NumEdit1->SetValue(44.5);
            d.NumEdit2->SetValue(0.375);
            switch (c.act) {
            case Ok: d.BitBtn1->click(); break;
            case CancelButton: d.BitBtn2->click(); break;
            case CloseBox: d.close(); break;
            case RefusedThenOk:
                d.NumEdit1->SetValue(0);
                d.BitBtn1->click();
                EXPECT_TRUE(d.isVisible()) << "no power: refused";
                d.NumEdit1->SetValue(44.5);
                d.NumEdit2->SetValue(0);
                d.BitBtn1->click();
                EXPECT_TRUE(d.isVisible()) << "no attenuation: refused";
                d.NumEdit2->SetValue(0.375);
                d.BitBtn1->click();
                break;
            }
        });
        emit f.SG1->cellDoubleClicked(0, 0);
        EXPECT_TRUE(opened);
        if (c.taken) {
            EXPECT_EQ(CustomLine.Description.str(), kCut);
            EXPECT_FLOAT_EQ(CustomLine.MaxPower, 44.5f);
            EXPECT_FLOAT_EQ(CustomLine.Attenuation, 0.375f);
        } else {
            EXPECT_EQ(CustomLine.Description.str(), "My line");
            EXPECT_FLOAT_EQ(CustomLine.MaxPower, 30.0f);
            EXPECT_FLOAT_EQ(CustomLine.Attenuation, 0.25f);
        }
        EXPECT_EQ(f.SG1->Cells(0, 0), c.taken ? kCut : "My line");
        EXPECT_EQ(f.SG1->Cells(2, 0), c.taken ? "0.375" : "0.25");
        EXPECT_EQ(f.SG1->Cells(3, 0), c.taken ? "4.13" : "2.75");
        // Column 4 in the table's format whichever way the row was written.
        EXPECT_EQ(f.SG1->Cells(4, 0), c.taken ? "44.5" : "30");
        EXPECT_EQ(f.SG1->Cells(5, 0), c.taken ? "63.6" : "42.9");
        ExpectLineIsRow(f, 0);
        w.reset();
    }

    // Any other row: no dialog.
    Tfrm4& f = Open();
    Pick(f, 2);
    emit f.SG1->cellDoubleClicked(2, 0);
    for (QWidget* top : QApplication::topLevelWidgets()) EXPECT_EQ(dynamic_cast<TFrmCustTLine*>(top), nullptr);
    ExpectLineIsRow(f, 2);
    EXPECT_TRUE(f.SG1->toolTip().isEmpty()) << "the hint belongs to the first row";
    Pick(f, 0);
    EXPECT_FALSE(f.SG1->toolTip().isEmpty());
}

TEST_F(Page4, ARevisitChoosesTheRowAgainForTheChannelAndLengthsOfNow)
{
    struct Case {
        const char* what;
        int pick;
        int channel, standard;
        int vertical, horizontal;
        int expectedRow;  // -1: the last row
    };
    const Case cases[] = {
        {"same row, other lengths", 4, 32, 0, 600, 40, 4},
        {"other service", 4, 32, 1, 1000, 100, 4},
        {"a shorter table", -1, 69, 0, 1000, 100, -1},
        {"the customer line", 0, 60, 1, 250, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CreateProjectObjects();
        Page4Fresh = true;
        Tfrm4& f = Open(1, 5);
        ASSERT_GT(f.SG1->RowCount(), c.pick);
        const int rowsBefore = f.SG1->RowCount();
        Pick(f, c.pick < 0 ? rowsBefore - 1 : c.pick);
        // Away to page 1 and back, with the design changed meanwhile.
        w->nb->ActivatePage(1);
        Channel(c.channel, c.standard);
        TTLineObj& line = TLine();
        line.SetVerticalLength(c.vertical);
        line.SetHorizontalLength(c.horizontal);
        line.TotalRunLength = c.vertical + c.horizontal;
        w->nb->ActivatePage(4);
        ASSERT_EQ(w->nb->GetPageForm(4), &f);
        const int row = c.expectedRow < 0 ? f.SG1->RowCount() - 1 : c.expectedRow;
        if (c.pick < 0) {
            EXPECT_LT(f.SG1->RowCount(), rowsBefore) << "the table must have become shorter";
        }
        EXPECT_EQ(f.SG1->currentRow(), row);
        ExpectLineIsRow(f, row);
        EXPECT_EQ(f.NumEdit6->Value(), c.vertical + c.horizontal);
        EXPECT_EQ(line.TotalLoss, static_cast<float>(Cell(f.SG1, 3, row)));
        w.reset();
    }
}

TEST_F(Page4, TheAuralSpinStaysBetweenFiveAndTwentyPercent)
{
    Tfrm4& f = Open();
    Pick(f, 2);
    for (int i = 0; i < 14; ++i) f.SpinButton3->UpClick();
    EXPECT_FLOAT_EQ(Sys().AuralPercent, 20.0f);
    EXPECT_EQ(f.Label14->Caption(), "Peak Power at 20% aural");
    ExpectThreeDigits(f.SG1->Cells(5, 2), Cell(f.SG1, 4, 2) / 0.8, "peak at 20 %");
    ExpectLineIsRow(f, 2);
    for (int i = 0; i < 20; ++i) f.SpinButton3->DownClick();
    EXPECT_FLOAT_EQ(Sys().AuralPercent, 5.0f);
    EXPECT_EQ(f.Label14->Caption(), "Peak Power at 5% aural");
    ExpectThreeDigits(f.SG1->Cells(5, 2), Cell(f.SG1, 4, 2) / 0.65, "peak at 5 %");
    ExpectLineIsRow(f, 2);
}

TEST_F(Page4, LineUtilityModeChoosesChannelAndService)
{
    LineUtilityMode = true;
    Tfrm4& f = Open();
    EXPECT_FALSE(f.Label8->isVisibleTo(f.AutoNBPanel));
    EXPECT_TRUE(f.TV->isVisibleTo(f.AutoNBPanel));
    EXPECT_TRUE(f.RadioGroup2->isVisibleTo(f.AutoNBPanel));
    ASSERT_EQ(f.TV->Items().Count(), 68);
    EXPECT_EQ(f.TV->ItemIndex(), 30);
    EXPECT_EQ(f.RadioGroup2->ItemIndex(), 0);

    // Channel 36, then digital.
    f.TV->SetItemIndex(34);
    emit f.TV->activated(34);
    const TSysObj& sys = Sys();
    EXPECT_EQ(sys.GetChannel(), 36);
    EXPECT_FLOAT_EQ(sys.LowFreq, 602.0f);
    EXPECT_FLOAT_EQ(sys.HighFreq, 608.0f);
    EXPECT_FLOAT_EQ(sys.CenterFreq, 605.0f);
    EXPECT_FLOAT_EQ(CalcFrequency, 603.25f);
    EXPECT_EQ(f.Label10->Caption(), "Ch 36 (602-608 MHz)");
    EXPECT_EQ(f.SG1->RowCount(), 1 + static_cast<int>(ExpectedLines(602, 608, 603.25).size()));
    ExpectLineIsRow(f, 1);

    f.RadioGroup2->SetItemIndex(1);
    EXPECT_EQ(sys.Standard, 1);
    EXPECT_FLOAT_EQ(sys.MaxERP, 1000.0f);
    EXPECT_FLOAT_EQ(CalcFrequency, 605.0f);
    EXPECT_FALSE(f.Label6->isVisibleTo(f.AutoNBPanel));
    EXPECT_EQ(f.Label16->Caption(), "Attenuation calculated at midband frequency.");
    for (int r = 0; r < f.SG1->RowCount(); ++r) EXPECT_EQ(f.SG1->Cells(5, r), "");
    ExpectLineIsRow(f, 1);
    const TStringList list = f.BuildLineReportList();
    EXPECT_EQ(list[2], "") << "no aural line for DTV";
    EXPECT_EQ(list[3], "Attenuation calculated at midband frequency.");

    // Page mode shows none of it.
    LineUtilityMode = false;
    f.PageShown();
    EXPECT_TRUE(f.Label8->isVisibleTo(f.AutoNBPanel));
    EXPECT_FALSE(f.TV->isVisibleTo(f.AutoNBPanel));
    EXPECT_FALSE(f.RadioGroup2->isVisibleTo(f.AutoNBPanel));
}

TEST_F(Page4, TheReportListMarksEveryRowWithALineOfItsOwn)
{
    CustomLine.Description = "~ tilde line ~";
    std::vector<std::string> handed;
    PrintLineTable = [&](const TStrings& lines) {
        for (int i = 0; i < lines.Count(); ++i) handed.push_back(lines[i]);
    };
    Tfrm4& f = Open();
    const TStringList list = f.BuildLineReportList();
    const int rows = f.SG1->RowCount();
    ASSERT_EQ(list.Count(), 4 + 7 * rows);
    EXPECT_EQ(list[0], "Ch 32 (578-584 MHz)");
    EXPECT_EQ(list[1], "1100");
    EXPECT_EQ(list[2], "Peak Power at 10% aural");
    EXPECT_EQ(list[3], "Attenuation calculated at video peak of sync.");
    for (int r = 0; r < rows; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(list[4 + 7 * r], "~");
        for (int c = 0; c < 6; ++c) EXPECT_EQ(list[5 + 7 * r + c], f.SG1->Cells(c, r));
    }
    EXPECT_EQ(list[5], "~ tilde line ~") << "a description is never a marker";

    ASSERT_TRUE(f.BitBtn1->isEnabled());
    f.BitBtn1->click();
    ASSERT_EQ(handed.size(), static_cast<std::size_t>(list.Count()));
    EXPECT_EQ(handed.back(), list[list.Count() - 1]);
    EXPECT_EQ(ui.CursorLog().front(), crHourGlass);
    EXPECT_EQ(ui.Cursor(), crDefault);

    // Without the report window the command stays off.
    PrintLineTable = nullptr;
    Page4Fresh = true;
    Tfrm4& again = Open();
    EXPECT_FALSE(again.BitBtn1->isEnabled());
}

TEST_F(Page4, GrabsOfThePageAndTheDialog)
{
    const QByteArray keep = qgetenv("MW_KEEP_GRAB");
    auto check = [&keep](QWidget& wnd, const char* name) {
        SCOPED_TRACE(name);
        const QImage img = wnd.grab().toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < img.height(); y += 2)
            for (int x = 0; x < img.width(); x += 2) colours.insert(img.pixel(x, y));
        EXPECT_GT(colours.size(), 40) << "the window looks empty";
        if (!keep.isEmpty()) img.save(QString::fromLocal8Bit(keep) + "/" + name + ".png");
    };
    Tfrm4& f = Open();
    w->show();
    Pick(f, 3);
    check(*w, "page4-ntsc");
    LineUtilityMode = true;
    Sys().SetStandard(1);
    f.PageShown();
    check(*w, "page4-utility-dtv");
    TFrmCustTLine d;
    d.show();
    check(d, "custtline");
}

namespace {

// The texts a recorded page draws, as (y, x, text), in drawing order.
struct TDrawnText {
    int x, y;
    std::string text;
};
std::vector<TDrawnText> DrawnTexts(TRpxRpxFile& doc, int page)
{
    TRpxRecordingDevice dev;
    doc.PlayPage(dev, page);
    static const std::regex text(R"(^text (-?\d+),(-?\d+) '([^']*)')");
    std::vector<TDrawnText> texts;
    for (const auto& c : dev.Calls) {
        std::smatch m;
        if (std::regex_search(c, m, text)) texts.push_back({std::stoi(m[1].str()), std::stoi(m[2].str()), m[3].str()});
    }
    return texts;
}
std::vector<std::string> PlayedCalls(TRpxRpxFile& doc, int page)
{
    TRpxRecordingDevice dev;
    doc.PlayPage(dev, page);
    return dev.Calls;
}

TRpxViewer* OpenViewer()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<TRpxViewer*>(w); v && v->isVisible()) return v;
    return nullptr;
}

class LineReport : public Page4 {
protected:
    void SetUp() override
    {
        Page4::SetUp();
        InstallRpxQtMeasuring();
        InstallReportWindows();
        PrintLineTable = TfrmRprt::PrintOnce;
    }
    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TRpxViewer*>(w)) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        RemoveReportWindows();
        Page4::TearDown();
    }
};

}  // namespace

TEST_F(LineReport, PrintShowsTheTableInTheViewerAndItSavesAndReopens)
{
    CustomLine.Description = "Custom ~ line";
    Tfrm4& f = Open();
    w->show();
    const TStringList list = f.BuildLineReportList();
    const int rows = f.SG1->RowCount();
    ASSERT_GT(rows, 3);
    ASSERT_TRUE(f.BitBtn1->isEnabled());
    QTest::mouseClick(f.BitBtn1, Qt::LeftButton);
    EXPECT_EQ(ui.Cursor(), crDefault) << "the wait cursor is restored";

    TRpxViewer* viewer = OpenViewer();
    ASSERT_NE(viewer, nullptr) << "the report opens in the viewer";
    EXPECT_FALSE(viewer->Generating());
    if (const QByteArray keep = qgetenv("MW_KEEP_GRAB"); !keep.isEmpty()) {
        viewer->resize(900, 1000);
        QCoreApplication::processEvents();
        viewer->grab().save(QString::fromLocal8Bit(keep) + "/line-report.png");
    }
    const std::shared_ptr<TRpxRpxFile> doc = viewer->ActivePreview()->Document();
    ASSERT_TRUE(doc);
    ASSERT_GE(doc->PageCount(), 1);

    // Every page starts with the four header lines and the column captions; below them, at
    // the left edge, a spacer row (an empty group label) comes ahead of every detail row (a
    // page may end between the two). A description too long for its column wraps onto the
    // lines below it.
    std::vector<std::string> descriptions;
    int wrapped = 0;
    bool spacerNext = true;
    std::vector<int> firstPageRows;  // y of the detail rows of page 1
    for (int p = 1; p <= doc->PageCount(); ++p) {
        SCOPED_TRACE(p);
        const auto texts = DrawnTexts(*doc, p);
        std::vector<std::string> all;
        for (const auto& t : texts) all.push_back(t.text);
        ASSERT_GE(all.size(), 11u);
        EXPECT_EQ(all[0], "Channel: " + list[0]);
        EXPECT_EQ(all[1], "Total Length (feet): 1100");
        EXPECT_EQ(all[2], list[2]);
        EXPECT_EQ(all[3], list[3]);
        for (const char* caption : {"Transmission Line Description", "Part Number", "Attenuation", "dB/100 feet",
                                    "total (dB)", "Average Power (kw)", "Peak Power (kw)"})
            EXPECT_NE(std::find(all.begin(), all.end(), caption), all.end()) << caption;
        int captionsY = 0;
        for (const auto& t : texts)
            if (t.text == "Transmission Line Description") captionsY = t.y;
        int spacerY = 0;  // none on this page yet
        int lineY = 0;    // the last description line on this page
        for (const auto& t : texts) {
            if (t.y <= captionsY || t.x != texts[0].x) continue;
            if (spacerNext && !t.text.empty() && lineY > 0 && t.y > lineY && t.y - lineY < 20) {
                descriptions.back() += " " + t.text;
                lineY = t.y;
                ++wrapped;
                continue;
            }
            if (spacerNext) {
                EXPECT_EQ(t.text, "") << "a spacer row ahead of each detail row, at y " << t.y;
                spacerY = t.y;
            } else {
                if (spacerY > 0) {
                    EXPECT_EQ(t.y - spacerY, 8) << t.text;
                }
                descriptions.push_back(t.text);
                lineY = t.y;
                if (p == 1) firstPageRows.push_back(t.y);
            }
            spacerNext = !spacerNext;
        }
    }
    EXPECT_TRUE(spacerNext) << "the report ends with a detail row";
    ASSERT_EQ(descriptions.size(), static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r) EXPECT_EQ(descriptions[static_cast<size_t>(r)], f.SG1->Cells(0, r));
    EXPECT_EQ(descriptions[0], "Custom ~ line") << "a description with a tilde prints in its column";
    EXPECT_GT(wrapped, 0) << "the catalog's long descriptions wrap in their column";
    ASSERT_GE(firstPageRows.size(), 2u);

    // The part number of the second row in its own column, on the first row's line.
    const auto texts = DrawnTexts(*doc, 1);
    bool partNumber = false;
    for (const auto& t : texts)
        if (t.y == firstPageRows[1] && t.text == f.SG1->Cells(1, 1)) partNumber = true;
    EXPECT_TRUE(partNumber);

    // Save as .rpx through the File menu; the file opens with the same pages.
    mwtest::TempDir dir;
    const std::string file = dir.File("line.rpx");
    ui.ExpectSave(file);
    QMenuBar* bar = viewer->menuBar();
    QMenu* menu = viewer->Form().File1;
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    ASSERT_TRUE(mwtest::WaitFor([&] { return menu->isVisible(); }, "the File menu to open"));
    QTest::keyClick(menu, Qt::Key_S);
    ASSERT_TRUE(mwtest::WaitFor([&] { return !menu->isVisible(); }, "the File menu to close"));
    auto again = std::make_shared<TRpxRpxFile>();
    again->LoadFromFile(file);
    ASSERT_EQ(again->PageCount(), doc->PageCount());
    for (int p = 1; p <= doc->PageCount(); ++p) EXPECT_EQ(PlayedCalls(*again, p), PlayedCalls(*doc, p)) << p;
}

TEST_F(LineReport, ShortAndEmptyListsEndTheData)
{
    TStringList list;
    for (const char* header : {"Ch 7", "500", "", "Attenuation calculated at midband frequency."}) list.Add(header);
    {
        TfrmRprt empty;
        empty.PrintLineTable(list);
    }
    TRpxViewer* viewer = OpenViewer();
    ASSERT_NE(viewer, nullptr);
    auto texts = DrawnTexts(*viewer->ActivePreview()->Document(), 1);
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[0].text, "Channel: Ch 7");
    EXPECT_EQ(texts[2].text, "");
    EXPECT_EQ(texts[3].text, "Attenuation calculated at midband frequency.");
    viewer->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // A last row cut short: the run still ends.
    for (const char* line : {"~", "Cut line", "PN-1"}) list.Add(line);
    TfrmRprt cut;
    cut.PrintLineTable(list);
    viewer = OpenViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_FALSE(viewer->Generating());
}

TEST_F(LineReport, ARowWhoseDescriptionWrapsAcrossThePageEndKeepsEveryColumn)
{
    // Rows whose descriptions wrap onto several lines, enough of them for several pages, so
    // that rows cross the page end at every line of their description.
    TStringList list;
    for (const char* header : {"Ch 7", "500", "Peak", "Attenuation calculated at midband frequency."}) list.Add(header);
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < 60; ++r) {
        std::string desc = "Row" + std::to_string(r);
        for (int w = 0; w < 3 + r % 5; ++w) desc += " rigid" + std::to_string(r) + "x" + std::to_string(w) + " coaxial";
        rows.push_back({desc, "PN-" + std::to_string(r), std::to_string(r) + ".25", std::to_string(r) + ".5",
                        std::to_string(r) + ".75", std::to_string(r) + ".125"});
        list.Add("~");
        for (const auto& cell : rows.back()) list.Add(cell);
    }
    TfrmRprt report;
    report.PrintLineTable(list);
    TRpxViewer* viewer = OpenViewer();
    ASSERT_NE(viewer, nullptr);
    const auto doc = viewer->ActivePreview()->Document();
    ASSERT_GE(doc->PageCount(), 3);

    // Each column's texts below the captions, in page order, joined: the cells in row order.
    std::map<int, std::string> columns;
    int continued = 0;   // pages that begin with the rest of a description
    for (int p = 1; p <= doc->PageCount(); ++p) {
        const auto texts = DrawnTexts(*doc, p);
        int captionsY = 0;
        for (const auto& t : texts)
            if (t.text == "Transmission Line Description") captionsY = t.y;
        ASSERT_GT(captionsY, 0) << p;
        bool first = true;
        for (const auto& t : texts) {
            if (t.y <= captionsY || t.text.empty()) continue;
            if (first && t.text.rfind("Row", 0) != 0) ++continued;
            first = false;
            std::string& c = columns[t.x];
            c += (c.empty() ? "" : " ") + t.text;
        }
    }
    EXPECT_GT(continued, 0) << "a description crosses a page end";
    ASSERT_EQ(columns.size(), 6u);
    size_t k = 0;
    for (const auto& [x, text] : columns) {
        SCOPED_TRACE(x);
        std::string expected;
        for (const auto& row : rows) expected += (expected.empty() ? "" : " ") + row[k];
        EXPECT_EQ(text, expected);
        ++k;
    }
}
