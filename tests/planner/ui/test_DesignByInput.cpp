// Mastwise as a user drives it: every step below is a mouse click at a control's rectangle,
// keys typed into the focused field or a window's close box. No property is set and no
// handler called; what counts is what the windows and the printed exhibit then show.
#include "ModalScript.h"
#include "platform/printing/Printers.h"
#include "platform/runtime/NumText.h"
#include "platform/runtime/StrTable.h"
#include "platform/ui/ScriptedUi.h"
#include "platform/ui/UiTestSupport.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "planner/engine/PageCalc.h"
#include "planner/engine/PatternPlots.h"
#include "planner/ui/CustTLin.h"
#include "planner/ui/ExhibitPrinting.h"
#include "planner/ui/Main.h"
#include "planner/ui/MainState.h"
#include "planner/ui/Sysinfo.h"
#include "planner/ui/Wizard.h"
#include "planner/ui/frmPrinterOption.h"
#include "planner/ui/unit1.h"
#include "planner/ui/unit2.h"
#include "planner/ui/unit3.h"
#include "planner/ui/unit4.h"
#include "planner/ui/unit5.h"
#include "planner/ui/unit7.h"
#include "planner/ui/unit8.h"

#include "support/PopplerTools.h"
#include "support/UserInput.h"

#include <QScrollBar>

#include <cmath>
#include <functional>
#include <memory>
#include <regex>
#include <iterator>
#include <sstream>

using namespace mwtest;

namespace {

// A catalog row of block `base` by its list text.
std::string CatalogRow(int32_t base, const std::string& listText)
{
    for (int32_t id = base + 1; id <= base + StrToInt(LoadStr(base)); ++id)
        if (GetDelimitedField(0, LoadStr(id), '|') == listText) return LoadStr(id);
    ADD_FAILURE() << "no catalog row " << listText;
    return {};
}
double Field(const std::string& row, int k)
{
    return static_cast<double>(StrToFloat(GetDelimitedField(k, row, '|')));
}

// The whole numbers of a text, as printed.
std::vector<long> Numbers(const std::string& text)
{
    std::vector<long> out;
    const std::regex number(R"((^|\s)(\d+)(\.\d+)?(?=\s|$))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), number); it != std::sregex_iterator(); ++it)
        if (!(*it)[3].matched) out.push_back(std::stol((*it)[2]));
    return out;
}
bool Printed(const std::vector<long>& numbers, double value)
{
    for (long n : numbers)
        if (std::abs(n - value) <= 1.0) return true;
    return false;
}

std::string LastWordOfFirstLineWith(const std::string& text, const std::string& label)
{
    const auto at = text.find(label);
    if (at == std::string::npos) return {};
    std::string line = text.substr(at, text.find('\n', at) - at);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    return line.substr(line.find_last_of(' ') + 1);
}

// The program's windows, linked as Mastwise links them at start-up, printing into a PDF file.
class DesignByInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateProjectObjects();
        WizardExhibits = {};
        InstallExhibitPrinting();
        PrinterOption = &printerOption;
        InstallExhibitIdentifierDialog(&identifier);
        ExhibitId = std::string(10, ' ');
        frm = std::make_unique<TFrmMain>();
        TMainWindowLinks links;
        links.CreateSysInfo = [] { return std::unique_ptr<TForm>(CreateFormOnce<TfrmSysInfo>()); };
        links.CreateWizard = CreateDesignWizard;
        links.CreateBeamTiltCalc = CreateBeamTiltCalculator;
        frm->Link(links);
        frm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frm.get()));
    }
    void TearDown() override
    {
        frm.reset();
        PrinterOption = nullptr;
        ShowExhibitIdentifierDialogHook = nullptr;
        WizardExhibits = {};
    }

    // A step of the main window (a design step or the line utility): `act` on its wizard,
    // then Finish.
    void RunStep(QWidget* button, const std::function<void(TfrmWizard&)>& act)
    {
        bool seen = false;
        WhenModal<TfrmWizard>([&](TfrmWizard& w) {
            seen = true;
            act(w);
            Click(w.BitBtnNext);
        });
        Click(button);
        EXPECT_TRUE(seen) << "no wizard came up";
    }

    template <class T>
    static T* Page(TfrmWizard& w, int page)
    {
        auto* p = dynamic_cast<T*>(w.nb->GetPageForm(page));
        EXPECT_NE(p, nullptr) << "page " << page;
        return p;
    }

    // Clicks the grid row of page 4 whose part number is `part`; returns the total loss it shows.
    static double ClickLine(Tfrm4& p4, const char* part)
    {
        for (int r = 1; r < p4.SG1->RowCount(); ++r) {
            if (p4.SG1->Cells(1, r) != part) continue;
            ClickCell(p4.SG1, r, 0);
            return static_cast<double>(StrToFloat(p4.SG1->Cells(3, r)));
        }
        ADD_FAILURE() << "line " << part << " not listed";
        return 0;
    }

    // The summary printed from page 5, opened alone from the main window: Print, the printer
    // option's OK, the exhibit identifier's OK, the print dialog's OK.
    void PrintSummaryFromStepFive()
    {
        RunStep(frm->sb5, [&](TfrmWizard& w) {
            ASSERT_EQ(w.nb->GetPageIndex(), 5);
            PrintThePage(w);
        });
    }
    void PrintThePage(TfrmWizard& w)
    {
        WhenModal<TPrinterOption>([&](TPrinterOption& o) {
            WhenModal<Tfrm8>([&](Tfrm8& f) {
                ui.ExpectPrint(true);
                Click(f.BitBtn1);
            });
            Click(o.BitBtn1);
        });
        Click(w.btnPrint);
    }

    // Start New Design, the site dialog's OK, `act` in the wizard, then its Cancel and Yes.
    void CancelNewDesign(const std::function<void(TfrmWizard&)>& act)
    {
        bool seen = false;
        WhenModal<TfrmSysInfo>([&](TfrmSysInfo& site) {
            WhenModal<TfrmWizard>([&](TfrmWizard& w) {
                act(w);
                seen = true;
                ui.ExpectMessage(mrYes, "You are about to cancel a new system design");
                Click(w.BitBtnCancel);
            });
            Click(site.BitBtn1);
        });
        Click(frm->sbNew);
        EXPECT_TRUE(seen) << "no wizard came up";
    }

    // New design, the site dialog typed, pages 1 to 5 clicked and typed, Finish. Another
    // make's antenna takes the entry panels' defaults on pages 2 and 3.
    struct TClicks {
        int percent = 30;  // stepped up with the arrow key (the field takes no typing)
        bool otherMake = false;
    };
    static constexpr const char* kHPattern = "Peanut, two panels";
    static constexpr const char* kVPattern = "Skull (vertical)";
    static constexpr const char* kElevation = "Rux 10-bay, 10% null fill, 1.00 deg. tilt";
    double lossDb = 0;  // of the line clicked on page 4, as its table shows it

    void ClickThroughNewDesign(const TClicks& d)
    {
        bool finished = false;
        WhenModal<TfrmSysInfo>([&](TfrmSysInfo& site) {
            TypeInto(site.CoName, "Northern Broadcast");
            TypeInto(site.edAuthor, "A. Planner");
            TypeInto(site.edSiteName, "Harlan Ridge");
            TypeInto(site.edPropNum, "P-1417");
            WhenModal<TfrmWizard>([&](TfrmWizard& w) {
                auto* p1 = Page<Tfrm1>(w, 1);
                ASSERT_NE(p1, nullptr);
                TypeChoice(p1->USTV, "32");
                ClickButton(p1->RadioGroup2, "Analog (NTSC)");
                Click(d.otherMake ? p1->RadioButton6 : p1->RadioButton2);  // UHF medium/high power
                Click(p1->RadioButton5);  // elliptical
                Click(p1->FSpinEdit1);
                for (int i = 0; i < d.percent; ++i) QTest::keyClick(p1->FSpinEdit1, Qt::Key_Up);
                EXPECT_EQ(p1->FSpinEdit1->text().toStdString(), std::to_string(d.percent) + ".0");
                Click(w.BitBtnNext);

                if (!d.otherMake) {
                    auto* p2 = Page<Tfrm2>(w, 2);
                    ASSERT_NE(p2, nullptr);
                    ClickItem(p2->HPolAz, kHPattern);
                    ClickTab(p2->TabSet1, 1);
                    ClickItem(p2->VPolAz, kVPattern);
                    ClickTab(p2->TabSet1, 0);
                    EXPECT_EQ(p2->Edit1->Text(), FloatToStrF(static_cast<float>(Field(CatalogRow(5000, kHPattern), 1)),
                                                             TFloatFormat::ffGeneral, 3, 4))
                        << "the gain shown is the clicked pattern's";
                }
                Click(w.BitBtnNext);

                if (!d.otherMake) {
                    auto* p3 = Page<Tfrm3>(w, 3);
                    ASSERT_NE(p3, nullptr);
                    ClickItem(p3->HPolEl, kElevation);
                }
                Click(w.BitBtnNext);

                auto* p4 = Page<Tfrm4>(w, 4);
                ASSERT_NE(p4, nullptr);
                lossDb = ClickLine(*p4, "AC50-400");
                Click(w.BitBtnNext);

                auto* p5 = Page<Tfrm5>(w, 5);
                ASSERT_NE(p5, nullptr);
                TypeInto(p5->NumEdit4, "20");
                EXPECT_EQ(p5->NumEdit4->Text(), "20.00");
                if (d.percent == 0) {
                    EXPECT_EQ(p5->NumEdit14->Text(), "0.00") << "no vertical gain";
                    EXPECT_EQ(p5->NumEdit13->Text(), "---") << "has no level";
                    EXPECT_EQ(p5->NumEdit2->Text(), "0") << "and no vertical ERP";
                    EXPECT_EQ(p5->NumEdit16->Text(), "---");
                }
                ASSERT_EQ(w.BitBtnNext->Caption(), "&Finish");
                Click(w.BitBtnNext);
                finished = true;
            });
            Click(site.BitBtn1);
        });
        Click(frm->sbNew);
        ASSERT_TRUE(finished);
        ASSERT_TRUE(frm->sb5->isEnabled());
    }

    ScriptedUi scripted;  // first made, last gone: every window below is gone before it
    TScriptedUiServices& ui = scripted.services;
    TPrinterOption printerOption;
    Tfrm8 identifier;
    std::unique_ptr<TFrmMain> frm;
    TempDir dir;
};

}  // namespace

TEST_F(DesignByInput, ADesignClickedAndTypedPrintsWhatWasChosen)
{
    for (int percent : {30, 0}) {
        SCOPED_TRACE(percent);
        const std::string file = dir.File("summary-" + std::to_string(percent) + ".pdf");
        TPdfPrinter pdf(file);
        TPrinterScope in(pdf);
        ClickThroughNewDesign({percent});
        PrintSummaryFromStepFive();

        // The figures the clicks chose, from the catalog rows.
        const std::string h = CatalogRow(5000, kHPattern), v = CatalogRow(6000, kVPattern);
        const std::string el = CatalogRow(10000, kElevation);
        const double gh = Field(h, 1) * Field(el, 2), gv = Field(v, 1) * Field(el, 4);
        const double hSplit = gv / (gh * percent * 0.01 + gv);
        const double input = 20.0 * std::pow(10.0, -lossDb / 10);
        const double erpH = input * gh * hSplit, erpV = input * gv * (1 - hSplit);
        // The elevation row's template with its tilt in quarter degrees, elliptical, side
        // mounted, the clicked pattern's suffix, the channel, the power class.
        const std::string part = GetDelimitedField(1, el, '|').substr(0, 6) + "4-ESPT-32S";

        const std::string text = PdfText(file);
        EXPECT_NE(text.find("Northern Broadcast"), std::string::npos) << text;
        EXPECT_NE(text.find(part), std::string::npos) << "part number " << part << "\n" << text;
        const std::vector<long> numbers = Numbers(text);
        EXPECT_TRUE(Printed(numbers, erpH)) << "horizontal ERP " << erpH << "\n" << text;
        if (percent > 0) {
            EXPECT_TRUE(Printed(numbers, erpV)) << "vertical ERP " << erpV << "\n" << text;
            EXPECT_NEAR(erpV / erpH, percent * 0.01, 0.01);
        } else {
            // No vertical share: 0 kW and no level (the ERP rows are the first "kW:" and
            // "dBk:" rows), never the antenna input's level nor the 0 dBk of 1 kW; nor has
            // the vertical gain of nothing a level in dBd.
            EXPECT_EQ(LastWordOfFirstLineWith(text, "kW:"), "0") << text;
            EXPECT_EQ(LastWordOfFirstLineWith(text, "dBk:"), "---") << text;
            EXPECT_EQ(LastWordOfFirstLineWith(text, "dBd:"), "---") << text;
        }
    }
}

// A TPO of nothing, typed away on page 5: every power is 0 kW and none has a level, on the
// page and on the summary printed from it; the antenna's gains keep theirs.
TEST_F(DesignByInput, NoPowerShowsNoLevelOnThePageOrTheSummary)
{
    const std::string file = dir.File("summary-no-power.pdf");
    TPdfPrinter pdf(file);
    TPrinterScope in(pdf);
    ClickThroughNewDesign({});
    RunStep(frm->sb5, [&](TfrmWizard& w) {
        auto* p = Page<Tfrm5>(w, 5);
        ASSERT_NE(p, nullptr);
        Click(p->NumEdit4);
        QTest::keyClick(p->NumEdit4, Qt::Key_Home);
        QTest::keyClick(p->NumEdit4, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(p->NumEdit4, Qt::Key_Backspace);
        EXPECT_EQ(p->NumEdit4->Text(), "0.00");
        for (TNuvNumericEdit* e : {p->NumEdit5, p->NumEdit9, p->NumEdit15, p->NumEdit16})
            EXPECT_EQ(e->Text(), "---") << e->objectName().toStdString();
        EXPECT_EQ(p->NumEdit10->Text(), "0.00");
        EXPECT_EQ(p->NumEdit1->Text(), "0");
        EXPECT_EQ(p->NumEdit2->Text(), "0");
        for (TNuvNumericEdit* e : {p->NumEdit11, p->NumEdit13})
            EXPECT_GT(e->Value(), 0) << e->objectName().toStdString();
        PrintThePage(w);
    });
    const std::string text = PdfText(file);
    std::istringstream words(text);
    std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
    int rows = 0;
    for (size_t i = 0; i + 1 < w.size(); ++i) {
        if (w[i] != "dBk:") continue;
        ++rows;
        EXPECT_EQ(w[i + 1], "---") << "a level in row " << rows << " of\n" << text;
    }
    EXPECT_EQ(rows, 3) << "the ERP, the antenna input and the TPO\n" << text;
}

// Start New Design after a finished design, then the site dialog closed without OK: the
// finished design comes back whole: its steps enabled, page 5 as it was.
TEST_F(DesignByInput, ANewDesignCancelledInTheSiteDialogGivesTheDesignBack)
{
    struct Way {
        const char* what;
        bool closeBox;
    };
    for (const Way& way : {Way{"Cancel, Yes", false}, Way{"the close box", true}}) {
        SCOPED_TRACE(way.what);
        ClickThroughNewDesign({});
        RunStep(frm->sb2, [&](TfrmWizard& w) {
            auto* p = Page<Tfrm2>(w, 2);
            ASSERT_NE(p, nullptr);
            TypeInto(p->Edit3, "45");
        });
        const float erp = Sys().ERPH;
        bool asked = false;
        WhenModal<TfrmSysInfo>([&](TfrmSysInfo& site) {
            asked = true;
            if (way.closeBox) {
                CloseBox(&site);
            } else {
                ui.ExpectMessage(mrYes, "You are about to cancel a new system design");
                Click(site.BitBtn2);
            }
        });
        Click(frm->BitBtnStart);
        ASSERT_TRUE(asked);
        for (QWidget* b : std::initializer_list<QWidget*>{frm->sb1, frm->sb2, frm->sb3, frm->sb4, frm->sb5})
            EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
        RunStep(frm->sb2, [&](TfrmWizard& w) {
            auto* p = Page<Tfrm2>(w, 2);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->Edit3->Text(), "45") << "the design's rotation, not a new design's 0";
        });
        RunStep(frm->sb5, [&](TfrmWizard& w) {
            auto* p = Page<Tfrm5>(w, 5);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->NumEdit4->Text(), "20.00") << "the TPO typed in the design";
            EXPECT_NEAR(p->NumEdit1->Value(), erp, 0.5);
        });
    }
}

// Top mount chosen in a design that is then cancelled: the next design's page 1 shows the
// mounting the design carries over, and the families follow a click on the other one.
TEST_F(DesignByInput, PageOneShowsTheMountingCarriedOverFromACancelledDesign)
{
    auto newDesign = [&](const std::function<void(Tfrm1&)>& onPage1) {
        CancelNewDesign([&](TfrmWizard& w) {
            auto* p1 = Page<Tfrm1>(w, 1);
            ASSERT_NE(p1, nullptr);
            onPage1(*p1);
        });
    };
    newDesign([](Tfrm1& p1) {
        ClickButton(p1.RadioGroup1, "Top mount");
        EXPECT_EQ(Sys().GetMounting(), 0);
        EXPECT_FALSE(p1.RadioButton0->isEnabled());
    });
    newDesign([](Tfrm1& p1) {
        EXPECT_EQ(p1.RadioGroup1->ItemIndex(), 0) << "Top mount, as the design has it";
        EXPECT_FALSE(p1.RadioButton0->isEnabled());
        EXPECT_FALSE(p1.RadioButton1->isEnabled());
        ClickButton(p1.RadioGroup1, "Side mount");
        EXPECT_EQ(Sys().GetMounting(), 1);
        EXPECT_TRUE(p1.RadioButton0->isEnabled());
        EXPECT_TRUE(p1.RadioButton1->isEnabled());
    });
}

// A list item clicked in the calculator is the one computed for; after another antenna type
// (no row chosen) a typed HAAT still gives its result, with the gain last used.
TEST_F(DesignByInput, BeamTiltCalculatorComputesForTheClickedRowAndEveryHaat)
{
    auto shown = [](double haat, double gain) {
        return FloatToStrF(OptimalBeamTilt(haat, gain), TFloatFormat::ffGeneral, 3, 4);
    };
    bool seen = false;
    WhenModal<TfrmBTCalc>([&](TfrmBTCalc& calc) {
        seen = true;
        ClickButton(calc.RadioGroup1, "UHF Zorvan Series");
        ClickItem(calc.ListBox1, kElevation);
        const double gain = Field(CatalogRow(10000, kElevation), 2);
        EXPECT_EQ(calc.Edit1->Text(), shown(1000, gain));
        ClickButton(calc.RadioGroup1, "VHF Zorvan Series");
        EXPECT_EQ(calc.ListBox1->currentItem(), nullptr);
        TypeInto(calc.NumEdit1, "2500");
        EXPECT_EQ(calc.Edit1->Text(), shown(2500, gain));
        const char* const vhf = "Rux 8-bay, 10% null fill, 1.00 deg. tilt";
        if (calc.ListBox1->findItems(vhf, Qt::MatchExactly).size() == 1) {
            ClickItem(calc.ListBox1, vhf);
            EXPECT_EQ(calc.Edit1->Text(), shown(2500, Field(CatalogRow(11000, vhf), 2)));
        }
        Click(calc.BitBtn1);
    });
    Click(frm->SpeedButton2);
    EXPECT_TRUE(seen);
}

// The line utility, used while a design is open, works on its own channel, service and line.
TEST_F(DesignByInput, LineUtilityLeavesTheOpenDesignAsItWas)
{
    ClickThroughNewDesign({});
    const std::string part = Ant().PartNumber;
    RunStep(frm->sbForm4, [&](TfrmWizard& w) {
        auto* p4 = Page<Tfrm4>(w, 4);
        ASSERT_NE(p4, nullptr);
        TypeChoice(p4->TV, "7");
        EXPECT_TRUE(p4->TV->currentText().startsWith("7"));
        ClickButton(p4->RadioGroup2, "Digital (DTV)");
        ClickCell(p4->SG1, 2, 0);
    });
    EXPECT_EQ(Sys().GetChannel(), 32);
    EXPECT_EQ(Sys().Standard, 0);
    EXPECT_EQ(TLine().LinePartNumber, "AC50-400");
    EXPECT_NEAR(TLine().TotalLoss, lossDb, 0.005);

    // Step 4 afterwards is the design's page: no channel of its own, the design's line.
    RunStep(frm->sb4, [&](TfrmWizard& w) {
        auto* p4 = Page<Tfrm4>(w, 4);
        ASSERT_NE(p4, nullptr);
        EXPECT_FALSE(p4->TV->isVisible());
    });
    EXPECT_EQ(TLine().LinePartNumber, "AC50-400");
    EXPECT_EQ(Ant().PartNumber, part);
}

// The line utility on channel 32, a line clicked, then channel 8 chosen: a line that channel 8
// still lists stays chosen (whatever its row there); a UHF waveguide, which it does not list,
// leaves no line chosen: no row marked, no name, loss or rating.
TEST_F(DesignByInput, LineUtilityKeepsTheChosenLineOnAnotherChannelOrChoosesNone)
{
    struct Case {
        const char* part;
        bool listedOnChannel8;
    };
    const Case cases[] = {{"RL50-618", true}, {"CWG-150", false}};
    ClickThroughNewDesign({});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.part);
        RunStep(frm->sbForm4, [&](TfrmWizard& w) {
            auto* p4 = Page<Tfrm4>(w, 4);
            ASSERT_NE(p4, nullptr);
            ASSERT_TRUE(p4->TV->currentText().startsWith("32 "));
            ClickLine(*p4, c.part);
            const int row32 = p4->SG1->currentRow();
            TypeChoice(p4->TV, "8");
            ASSERT_TRUE(p4->TV->currentText().startsWith("8 ")) << p4->TV->currentText().toStdString();
            const TTLineObj& line = TLine();
            const int r = p4->SG1->currentRow();
            if (c.listedOnChannel8) {
                ASSERT_GT(r, 0);
                EXPECT_NE(r, row32) << "the line has another row on channel 8";
                EXPECT_EQ(p4->SG1->Cells(1, r), c.part);
                EXPECT_EQ(line.LinePartNumber, c.part);
                EXPECT_EQ(line.LineName, p4->SG1->Cells(0, r));
                EXPECT_FLOAT_EQ(line.TotalLoss, static_cast<float>(StrToFloat(p4->SG1->Cells(3, r))));
            } else {
                EXPECT_EQ(r, -1);
                EXPECT_TRUE(p4->SG1->selectedItems().isEmpty());
                EXPECT_EQ(line.LinePartNumber, "");
                EXPECT_EQ(line.LineName, "");
                EXPECT_EQ(line.TotalLoss, 0);
                EXPECT_EQ(line.GetPowerRating(), 0);
            }
        });
    }
}

// The rotation typed on page 2, each entry from 45 degrees: a "-" waits for its digits, so
// -30 can be typed; a refused entry (letters, too many digits, a sign behind) is reported and
// leaves the field and the plot as they were before the entry; every refused key is
// reported once.
TEST_F(DesignByInput, RotationTypedOnPageTwoWaitsForDigitsAndRefusesWhatIsNoAngle)
{
    struct Case {
        const char* typed;
        const char* shown;
        int32_t rotation;
        int refusedKeys;
    };
    const Case cases[] = {
        {"-30", "-30", 330, 0}, {"-", "-", 45, 0},           {"abc", "45", 45, 3},
        {"12345678901", "45", 45, 1}, {"5-", "45", 45, 1},
    };
    ClickThroughNewDesign({});
    RunStep(frm->sb2, [&](TfrmWizard& w) {
        auto* p = Page<Tfrm2>(w, 2);
        ASSERT_NE(p, nullptr);
        // The window typed into is the active one, as on a desktop: focus moves with clicks.
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        for (const Case& c : cases) {
            SCOPED_TRACE(c.typed);
            TypeInto(p->Edit3, "45");
            ClickButton(p->RadioGroup2, "Print Graph");  // the entry ends as the focus leaves
            ASSERT_EQ(Ant().HRotation, 45);
            const QImage before = p->Image1->Picture().ToImage();
            for (int i = 0; i < c.refusedKeys; ++i) ui.ExpectMessage(IDOK, "is not a valid integer value");
            TypeInto(p->Edit3, c.typed);
            EXPECT_EQ(p->Edit3->Text(), c.shown);
            EXPECT_EQ(Ant().HRotation, c.rotation);
            EXPECT_EQ(p->Image1->Picture().ToImage() == before, c.rotation == 45) << "the plot";
            ASSERT_TRUE(ui.AllUsed()) << ui.Pending() << " reports not given";
        }
        ClickButton(p->RadioGroup2, "Print Graph");
    });
}

// The vertical share (page 1) and the beam tilt (page 3) are set by their arrows only: typed
// digits and Backspace leave them as they were.
TEST_F(DesignByInput, VerticalShareAndBeamTiltTakeNoTyping)
{
    ClickThroughNewDesign({});
    RunStep(frm->sb1, [&](TfrmWizard& w) {
        auto* p = Page<Tfrm1>(w, 1);
        ASSERT_NE(p, nullptr);
        const QString share = p->FSpinEdit1->text();
        TypeInto(p->FSpinEdit1, "45");
        QTest::keyClick(p->FSpinEdit1, Qt::Key_Backspace);
        EXPECT_EQ(p->FSpinEdit1->text(), share);
        EXPECT_EQ(Ant().VerticalPercent, 30);
    });
    RunStep(frm->sb3, [&](TfrmWizard& w) {
        auto* p = Page<Tfrm3>(w, 3);
        ASSERT_NE(p, nullptr);
        const std::string tilt = p->NumEdit1->Text();
        TypeInto(p->NumEdit1, "2");
        QTest::keyClick(p->NumEdit1, Qt::Key_Backspace);
        EXPECT_EQ(p->NumEdit1->Text(), tilt);
    });
}

// Print Graph for another make's antenna: it has no azimuth data, which the user is told,
// and no page goes to the printer.
TEST_F(DesignByInput, AzimuthPrintWithoutPatternDataSendsNoPage)
{
    ClickThroughNewDesign({30, true});
    const std::string file = dir.File("azimuth.pdf");
    TPdfPrinter pdf(file);
    TPrinterScope in(pdf);
    RunStep(frm->sb2, [&](TfrmWizard& w) {
        auto* p2 = Page<Tfrm2>(w, 2);
        ASSERT_NE(p2, nullptr);
        ClickButton(p2->RadioGroup2, "Print Graph");
        WhenModal<Tfrm8>([&](Tfrm8& f) {
            ui.ExpectPrint(true);
            ui.ExpectMessage(IDOK, "Azimuth pattern data is not available");
            Click(f.BitBtn1);
        });
        Click(w.btnPrint);
    });
    EXPECT_FALSE(pdf.Printing());
    EXPECT_FALSE(FileExists(file));
}

// The close box of the exhibit-identifier and printer-option dialogs cancels the print.
TEST_F(DesignByInput, ClosingAPrintDialogByItsCloseBoxCancelsThePrint)
{
    ClickThroughNewDesign({});
    const std::string file = dir.File("cancelled.pdf");
    TPdfPrinter pdf(file);
    TPrinterScope in(pdf);
    int identifiers = 0, options = 0;
    auto closeIdentifier = [&] {
        WhenModal<Tfrm8>([&](Tfrm8& f) {
            ++identifiers;
            CloseBox(&f);
        });
    };
    RunStep(frm->sb2, [&](TfrmWizard& w) {
        ClickButton(Page<Tfrm2>(w, 2)->RadioGroup2, "Print Graph");
        closeIdentifier();
        Click(w.btnPrint);
    });
    RunStep(frm->sb5, [&](TfrmWizard& w) {
        WhenModal<TPrinterOption>([&](TPrinterOption& o) {
            ++options;
            CloseBox(&o);
        });
        Click(w.btnPrint);
        WhenModal<TPrinterOption>([&](TPrinterOption& o) {
            ++options;
            closeIdentifier();
            Click(o.BitBtn1);
        });
        Click(w.btnPrint);
    });
    EXPECT_EQ(identifiers, 2);
    EXPECT_EQ(options, 2);
    EXPECT_FALSE(FileExists(file));
}

// The site fields and the custom line's description stop taking keys at what the title
// block and the line table keep, so the user sees the limit.
TEST_F(DesignByInput, FieldsStopTakingKeysAtTheirLimit)
{
    struct TField {
        TEdit* TfrmSysInfo::*edit;
        const char* typed;
        const char* kept;
    };
    const TField fields[] = {
        {&TfrmSysInfo::CoName, "Northern Broadcasting Company", "Northern Broadcastin"},
        {&TfrmSysInfo::edAuthor, "Alexandra Q. Plannerton", "Alexandra Q. Pl"},
        {&TfrmSysInfo::edSiteName, "Harlan Ridge North Tower", "Harlan Ridge North T"},
        {&TfrmSysInfo::edPropNum, "P-1417-2026-REVISION-B", "P-1417-2026-REVISION"},
    };
    WhenModal<TfrmSysInfo>([&](TfrmSysInfo& site) {
        for (const TField& f : fields) {
            TypeInto(site.*f.edit, f.typed);
            EXPECT_EQ((site.*f.edit)->text().toStdString(), f.kept);
        }
        CloseBox(&site);  // no design, but the title block keeps what was typed
    });
    Click(frm->sbNew);
    EXPECT_EQ(CompanyName, "Northern Broadcastin");
    EXPECT_EQ(AuthorName, "Alexandra Q. Pl");
    EXPECT_FALSE(frm->sb5->isEnabled());

    bool seen = false;
    RunStep(frm->sbForm4, [&](TfrmWizard& w) {
        auto* p4 = Page<Tfrm4>(w, 4);
        ASSERT_NE(p4, nullptr);
        WhenModal<TFrmCustTLine>([&](TFrmCustTLine& d) {
            seen = true;
            TypeInto(d.Edit1, "Heliax 3 inch foam line, station spare reel");
            EXPECT_EQ(d.Edit1->text().size(), 35);
            Click(d.BitBtn1);
        });
        DoubleClickCell(p4->SG1, 0, 0);
        EXPECT_EQ(p4->SG1->Cells(0, 0), "Heliax 3 inch foam line, station sp");
    });
    EXPECT_TRUE(seen);
}

// Every pattern list shows its longest row whole, or scrolls to it: the box's width plus its
// horizontal scroll range covers the widest item.
TEST_F(DesignByInput, PatternListsShowOrScrollToTheirLongestRow)
{
    auto reaches = [](QListWidget* list) {
        list->doItemsLayout();
        int widest = 0;
        for (int i = 0; i < list->count(); ++i)
            widest = std::max(widest, list->fontMetrics().horizontalAdvance(list->item(i)->text()));
        const int room = list->viewport()->width() + list->horizontalScrollBar()->maximum();
        EXPECT_GE(room, widest) << list->objectName().toStdString();
        EXPECT_EQ(list->textElideMode(), Qt::ElideNone) << list->objectName().toStdString();
    };
    WhenModal<TfrmBTCalc>([&](TfrmBTCalc& calc) {
        for (const char* type : {"Zek-Series", "UHF Zorvan Series", "VHF Zorvan Series"}) {
            ClickButton(calc.RadioGroup1, type);
            reaches(calc.ListBox1);
        }
        Click(calc.BitBtn1);
    });
    Click(frm->SpeedButton2);
    CancelNewDesign([&](TfrmWizard& w) {
        auto* p1 = Page<Tfrm1>(w, 1);
        ASSERT_NE(p1, nullptr);
        Click(p1->RadioButton5);  // elliptical: both azimuth lists
        Click(w.BitBtnNext);
        auto* p2 = Page<Tfrm2>(w, 2);
        ASSERT_NE(p2, nullptr);
        reaches(p2->HPolAz);
        ClickTab(p2->TabSet1, 1);
        reaches(p2->VPolAz);
        Click(w.BitBtnNext);
        auto* p3 = Page<Tfrm3>(w, 3);
        ASSERT_NE(p3, nullptr);
        reaches(p3->HPolEl);
    });
}

// The spins, radio groups and typed fields of pages 2 to 5, each opened alone from the main
// window after a design, answer the input a user gives them.
TEST_F(DesignByInput, PagesAnswerTheirArrowsRadioButtonsAndTypedFields)
{
    ClickThroughNewDesign({});
    RunStep(frm->sb2, [&](TfrmWizard& w) {
        auto* p = Page<Tfrm2>(w, 2);
        ASSERT_NE(p, nullptr);
        ClickArrow(p->SpinButton1, true);
        EXPECT_EQ(p->Edit3->Text(), "1");
        ClickArrow(p->SpinButton1, false);
        ClickArrow(p->SpinButton1, false);
        EXPECT_EQ(p->Edit3->Text(), "-1");
        EXPECT_EQ(Ant().HRotation, 359);
        TypeInto(p->Edit3, "45");
        EXPECT_EQ(Ant().HRotation, 45);
        const QImage field = p->Image1->Picture().ToImage();
        ClickButton(p->RadioGroup1, "Decibel");
        EXPECT_TRUE(AzimuthPlotInDb);
        EXPECT_NE(p->Image1->Picture().ToImage(), field) << "the plot is redrawn in dB";
        ClickButton(p->RadioGroup2, "Print Data");
        EXPECT_EQ(PrintOption, poDataTable);
        ClickButton(p->RadioGroup2, "Print Graph");
    });
    RunStep(frm->sb3, [&](TfrmWizard& w) {
        auto* p = Page<Tfrm3>(w, 3);
        ASSERT_NE(p, nullptr);
        const double tilt = p->NumEdit1->Value();
        ClickArrow(p->SpinButton1, true);
        EXPECT_DOUBLE_EQ(p->NumEdit1->Value(), tilt + 0.25);
        ClickArrow(p->SpinButton1, false);
        EXPECT_DOUBLE_EQ(p->NumEdit1->Value(), tilt);
        const QImage near = p->Image1->Picture().ToImage();
        ClickButton(p->RadioGroup2, "-5 to 90 deg.");
        EXPECT_NE(p->Image1->Picture().ToImage(), near) << "the full range is drawn";
    });
    RunStep(frm->sb4, [&](TfrmWizard& w) {
        auto* p = Page<Tfrm4>(w, 4);
        ASSERT_NE(p, nullptr);
        TypeInto(p->NumEdit4, "500");
        Click(p->NumEdit5);  // leaving the field takes the length
        EXPECT_EQ(p->NumEdit6->Value(), 600);
        ClickArrow(p->SpinButton1, true);
        EXPECT_EQ(p->NumEdit4->Value(), 550);
        ClickArrow(p->SpinButton2, false);
        EXPECT_EQ(p->NumEdit5->Value(), 90);
        EXPECT_EQ(TLine().TotalRunLength, 640);
        const float aural = Sys().AuralPercent;
        ClickArrow(p->SpinButton3, true);
        EXPECT_EQ(Sys().AuralPercent, aural + 1);
    });
    RunStep(frm->sb5, [&](TfrmWizard& w) {
        auto* p = Page<Tfrm5>(w, 5);
        ASSERT_NE(p, nullptr);
        ClickArrow(p->SpinButton3, true);
        EXPECT_EQ(p->NumEdit17->Text(), "31");
        EXPECT_NEAR(p->NumEdit2->Value(), p->NumEdit1->Value() * 0.31, 0.5);
        const double tpo = p->NumEdit4->Value();
        TypeInto(p->NumEdit1, "100");
        EXPECT_EQ(p->NumEdit1->Text(), "100");
        EXPECT_NE(p->NumEdit4->Value(), tpo) << "the TPO follows the typed ERP";
        EXPECT_NEAR(p->NumEdit2->Value(), 31, 0.5);
    });
}
