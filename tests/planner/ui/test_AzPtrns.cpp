// The comparison window driven as a user drives it: clicks on list rows, buttons and radio
// items, keys typed into the rotation fields, the close box; offscreen.
#include "ModalScript.h"
#include "planner/controls/FSpin.h"
#include "planner/engine/PatternPlots.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/ProjObj.h"
#include "planner/engine/TitleBlock.h"
#include "planner/ui/AutoNb.h"
#include "planner/ui/AzPtrns.h"
#include "planner/ui/ExhibitPrinting.h"
#include "planner/ui/Main.h"
#include "planner/ui/PageControls.h"
#include "planner/ui/Wizard.h"
#include "platform/printing/Printers.h"
#include "platform/runtime/StrTable.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ScriptedUi.h"

#include "support/PopplerTools.h"

#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

using namespace mwtest;
namespace fs = std::filesystem;
using Slot = AzPtrns::Display;

namespace {

constexpr uint8_t E = Slot::dsEmpty, P = Slot::dsPreviewed, I = Slot::dsIncluded;

// Block 5000's rows as the catalog holds them.
struct TRow {
    std::string name, code;
    double gain;
};
TRow CatalogRow(int32_t block, int row)
{
    const std::string s = LoadStr(block + 1 + row);
    return {GetDelimitedField(0, s, '|'), GetDelimitedField(2, s, '|'), std::stod(GetDelimitedField(1, s, '|'))};
}

// Sample k of a pattern record read straight from the string table.
int Sample(const std::string& code, int k)
{
    const std::string rec = LoadStr(FindAzimuthRecord(code));
    return std::stoi(rec.substr(6 + 4 * static_cast<size_t>(k), 4));
}

// The pattern file as a reader expects it: angle, tab, field, tab, dB, CR LF.
std::string ExpectedPatternFile(const std::string& code, int rotation)
{
    std::string out;
    char line[64];
    for (int k = 0; k < 360; ++k) {
        const int v = Sample(code, ((k - rotation) % 360 + 360) % 360);
        const double e = v / 1000.0;
        if (v > 0) std::snprintf(line, sizeof line, "%d\t%6.3f\t%6.2f\r\n", k, e, 20 * std::log10(e));
        else std::snprintf(line, sizeof line, "%d\t%6.3f\t---\r\n", k, e);
        out += line;
    }
    return out;
}

// A gain in the data fields: 15 characters, 2 decimals.
std::string Field15(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%15.2f", v);
    return buf;
}

bool IsColor(const QColor& c, TColor want) { return c.rgb() == ToQColor(want).rgb(); }

class AzPatsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scope_ = std::make_unique<TUiServicesScope>(ui);
        ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        CreateProjectObjects();
        InstallExhibitPrinting();
        CompanyName = "Comparison Test Co";
        SiteName = "Hill 7";
        w = std::make_unique<TAzPats>();
        Show();
    }
    void TearDown() override
    {
        w.reset();
        AzimuthRotation = 0;
        SelectedAzimuthId = 0;
        EXPECT_TRUE(ui.AllUsed()) << ui.Pending() << " scripted answers left unused";
        scope_.reset();
    }
    void Show()
    {
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }

    void ClickRow(TListBox* list, int row)
    {
        list->scrollToItem(list->item(row));
        const QRect r = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    }
    void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }
    static QList<TRadioButton*> Items(TRadioGroup* g)
    {
        return g->findChildren<TRadioButton*>(Qt::FindDirectChildrenOnly);
    }
    void ClickItem(TRadioGroup* g, int i)
    {
        TRadioButton* b = Items(g)[i];
        QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(6, b->height() / 2));
    }
    // Types a rotation into slot n's spin edit.
    void TypeRotation(int n, const char* text)
    {
        TFSpinEdit* e = w->SpinEdit(n);
        QTest::mouseClick(e, Qt::LeftButton, Qt::NoModifier, QPoint(6, e->height() / 2));
        QTest::keyClick(e, Qt::Key_End);
        for (int i = 0; i < 3; ++i) QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, text);
    }
    // Preview row `row` and include it.
    void Include(int row)
    {
        ClickRow(w->AzPatList, row);
        Click(w->IncludeBtn);
    }
    std::array<uint8_t, 4> States() const
    {
        return {w->Slot(1).GetState(), w->Slot(2).GetState(), w->Slot(3).GetState(), w->Slot(4).GetState()};
    }
    // "&Print" with the PDF test printer in force and OK in the print dialog; the file printed.
    std::string PrintThroughPdfPrinter(const std::string& leaf)
    {
        const std::string file = dir.File(leaf);
        TPdfPrinter pdf(file);
        TPrinterScope in(pdf);
        ui.ExpectPrint(true);
        Click(w->Button1);
        return file;
    }
    std::string Line(int k) const { return ToStd(w->SelList->item(k)->text()); }
    QImage Layer(int n) const { return w->SlotImage(n)->Picture().ToImage(); }
    // Pixels of a colour on a layer.
    int Pixels(int n, TColor color) const
    {
        const QImage img = Layer(n);
        int count = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (IsColor(img.pixelColor(x, y), color)) ++count;
        return count;
    }

    TScriptedUiServices ui;
    std::unique_ptr<TUiServicesScope> scope_;
    std::unique_ptr<TAzPats> w;
    TempDir dir;
};

}  // namespace

TEST_F(AzPatsTest, LayoutAndFirstShowing)
{
    EXPECT_EQ(w->Caption(), "Azimuth Patterns");
    EXPECT_EQ(w->size(), QSize(622, 482));
    EXPECT_EQ(w->RadioGroup3->Caption(), " Antenna Type ");
    EXPECT_EQ(w->RadioGroup3->Items().Count(), 6);
    EXPECT_EQ(w->RadioGroup3->ItemIndex(), 2);
    EXPECT_EQ(w->RadioGroup1->Caption(), " Plot Type ");
    EXPECT_EQ(w->RadioGroup2->Items()[2], "Print to Disk (single pattern only)");
    EXPECT_EQ(ToStd(w->IncludeBtn->toolTip()), "Add to \"Selected\" list.");
    EXPECT_EQ(ToStd(w->ExcAllBtn->toolTip()), "Remove ALL from \"Selected\" list.");
    EXPECT_FALSE(w->ExcludeBtn->isEnabled());
    EXPECT_FALSE(w->ExcAllBtn->isEnabled());
    EXPECT_EQ(w->SelList->count(), 4);
    const int rows = LastRecordId(5000) - 5000;
    ASSERT_EQ(w->AzPatList->count(), rows);
    EXPECT_EQ(ToStd(w->AzPatList->item(1)->text()), CatalogRow(5000, 1).name);
    for (int n = 1; n <= 4; ++n) EXPECT_FALSE(w->SpinEdit(n)->isEnabled());
    EXPECT_EQ(PolarRingSpacing, 335 / 21);
    EXPECT_FALSE(AzimuthPlotInDb);

    // The antenna type chooses the block and the polarization of what is previewed next.
    ClickItem(w->RadioGroup3, 1);
    EXPECT_EQ(w->AzPatList->count(), LastRecordId(8000) - 8000);
    ClickRow(w->AzPatList, 0);
    const TRow vhfv = CatalogRow(8000, 0);
    EXPECT_EQ(w->Slot(1).GetCode(), vhfv.code);
    EXPECT_EQ(w->Slot(1).GetPolarization(), "Vertical");
    EXPECT_EQ(w->Edit1->Text(), Field15(vhfv.gain));
    EXPECT_EQ(w->Edit4->Text(), "Vertical");
}

TEST_F(AzPatsTest, StateMachine)
{
    struct Step {
        const char* what;
        std::function<void()> act;
        int count;
        std::array<uint8_t, 4> states;
        std::array<bool, 4> spins;
        bool singleOptions;  // "Print Data" and "Print to Disk" enabled
        bool listEnabled;
    };
    const Step steps[] = {
        {"preview row 0", [&] { ClickRow(w->AzPatList, 0); }, 0, {P, E, E, E}, {0, 0, 0, 0}, true, true},
        {"include it", [&] { Click(w->IncludeBtn); }, 1, {I, E, E, E}, {1, 0, 0, 0}, true, true},
        {"> with no preview", [&] { Click(w->IncludeBtn); }, 1, {I, E, E, E}, {1, 0, 0, 0}, true, true},
        {"preview row 1", [&] { ClickRow(w->AzPatList, 1); }, 1, {I, P, E, E}, {1, 0, 0, 0}, true, true},
        {"another preview replaces it", [&] { ClickRow(w->AzPatList, 2); }, 1, {I, P, E, E}, {1, 0, 0, 0}, true, true},
        {"include it", [&] { Click(w->IncludeBtn); }, 2, {I, I, E, E}, {1, 1, 0, 0}, false, true},
        {"preview row 3", [&] { ClickRow(w->AzPatList, 3); }, 2, {I, I, P, E}, {1, 1, 0, 0}, false, true},
        {"entering the selected list drops it", [&] { ClickRow(w->SelList, 0); }, 2, {I, I, E, E}, {1, 1, 0, 0},
         false, true},
        {"include row 3", [&] { Include(3); }, 3, {I, I, I, E}, {1, 1, 1, 0}, false, true},
        {"include row 4", [&] { Include(4); }, 4, {I, I, I, I}, {1, 1, 1, 1}, false, false},
        {"the full list takes no click", [&] { ClickRow(w->AzPatList, 5); }, 4, {I, I, I, I}, {1, 1, 1, 1}, false,
         false},
        {"exclude line 1", [&] {
             ClickRow(w->SelList, 1);
             Click(w->ExcludeBtn);
         }, 3, {I, E, I, I}, {1, 0, 1, 1}, false, true},
        {"preview fills the free slot", [&] { ClickRow(w->AzPatList, 6); }, 3, {I, P, I, I}, {1, 0, 1, 1}, false, true},
        {"<< keeps the preview", [&] { Click(w->ExcAllBtn); }, 0, {E, P, E, E}, {0, 0, 0, 0}, true, true},
        {"the next preview replaces it", [&] { ClickRow(w->AzPatList, 7); }, 0, {P, E, E, E}, {0, 0, 0, 0}, true,
         true},
        {"include", [&] { Click(w->IncludeBtn); }, 1, {I, E, E, E}, {1, 0, 0, 0}, true, true},
        {"exclude the only one", [&] {
             ClickRow(w->SelList, 0);
             Click(w->ExcludeBtn);
         }, 0, {E, E, E, E}, {0, 0, 0, 0}, true, true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(w->SelectedCount(), s.count);
        EXPECT_EQ(States(), s.states);
        for (int n = 1; n <= 4; ++n) EXPECT_EQ(w->SpinEdit(n)->isEnabled(), s.spins[n - 1]) << "spin " << n;
        const auto items = Items(w->RadioGroup2);
        EXPECT_EQ(items[1]->isEnabled(), s.singleOptions);
        EXPECT_EQ(items[2]->isEnabled(), s.singleOptions);
        EXPECT_TRUE(items[0]->isEnabled() && items[3]->isEnabled());
        EXPECT_EQ(w->AzPatList->isEnabled(), s.listEnabled);
        EXPECT_EQ(w->IncludeBtn->isEnabled(), s.listEnabled);
        EXPECT_EQ(w->ExcAllBtn->isEnabled(), s.count != 0);
        int previews = 0;
        for (int n = 1; n <= 4; ++n) {
            previews += w->Slot(n).GetState() == P;
            // An empty slot shows nothing; a filled one its colour.
            EXPECT_EQ(Pixels(n, TAzPats::SlotColor(n)) > 0, w->Slot(n).GetState() != E) << "layer " << n;
        }
        EXPECT_LE(previews, 1);
    }
}

TEST_F(AzPatsTest, LinesNameTheirPatternsAndTheFieldsShowTheGain)
{
    // Two patterns of the same row can be compared; the lines name what was previewed.
    const TRow r0 = CatalogRow(5000, 0), r1 = CatalogRow(5000, 1);
    Include(1);
    Include(1);
    EXPECT_EQ(Line(0), r1.name);
    EXPECT_EQ(Line(1), r1.name);
    // A preview taken before the antenna type changed keeps its own name.
    ClickRow(w->AzPatList, 0);
    ClickItem(w->RadioGroup3, 0);
    Click(w->IncludeBtn);
    EXPECT_EQ(Line(2), r0.name);
    EXPECT_EQ(w->Slot(3).GetCode(), r0.code);

    // A selected line shows its slot's data; an empty line shows none.
    ClickRow(w->SelList, 1);
    EXPECT_EQ(w->Edit1->Text(), Field15(r1.gain));
    EXPECT_EQ(w->Edit2->Text(), Field15(10 * std::log10(r1.gain)));
    EXPECT_EQ(w->Edit4->Text(), "Horizontal");
    EXPECT_TRUE(w->ExcludeBtn->isEnabled());
    EXPECT_EQ(w->AzPatList->ItemIndex(), -1);
    ClickRow(w->SelList, 3);
    EXPECT_EQ(w->Edit1->Text(), "");
    EXPECT_EQ(w->Edit2->Text(), "");
    EXPECT_EQ(w->Edit4->Text(), "");
}

TEST_F(AzPatsTest, ExcludingLineTwoEmptiesSlotThreeAndResetsOnlyItsSpin)
{
    for (int row : {0, 1, 2}) Include(row);
    TypeRotation(1, "10");
    TypeRotation(2, "20");
    TypeRotation(3, "30");
    ASSERT_EQ(w->Slot(3).GetRotation(), 30);
    ClickRow(w->SelList, 2);
    Click(w->ExcludeBtn);
    EXPECT_EQ(States(), (std::array<uint8_t, 4>{I, I, E, E}));
    EXPECT_EQ(w->SpinEdit(3)->Text(), "0");
    EXPECT_FALSE(w->SpinEdit(3)->isEnabled());
    EXPECT_EQ(w->SpinEdit(1)->Text(), "10");
    EXPECT_EQ(w->SpinEdit(2)->Text(), "20");
    EXPECT_EQ(w->Slot(1).GetRotation(), 10);
    EXPECT_EQ(w->Slot(2).GetRotation(), 20);
    EXPECT_EQ(Line(2), "");
    EXPECT_EQ(Pixels(3, TAzPats::SlotColor(3)), 0);
    EXPECT_EQ(w->Edit1->Text(), "");
    EXPECT_FALSE(w->ExcludeBtn->isEnabled());
    // A rotation typed past the limit counts as 360.
    TypeRotation(1, "999");
    EXPECT_EQ(w->Slot(1).GetRotation(), 360);
}

TEST_F(AzPatsTest, RotationRedrawsOnlyItsLayer)
{
    Include(0);
    Include(1);  // a cardioid, so a rotation moves it
    const std::string code = w->Slot(2).GetCode();
    const QImage grid = Layer(0), first = Layer(1), second = Layer(2);
    const int widePen = Pixels(2, clRed);
    TypeRotation(2, "90");
    QApplication::processEvents();
    EXPECT_EQ(w->Slot(2).GetRotation(), 90);
    EXPECT_TRUE(Layer(0) == grid);
    EXPECT_TRUE(Layer(1) == first);
    EXPECT_FALSE(Layer(2) == second);
    // Redrawn with the thin pen.
    EXPECT_LT(Pixels(2, clRed), widePen * 3 / 4);

    // On screen: the rotated trace in red at its computed points, the old one gone.
    const QImage screen = w->grab().toImage();
    const QPoint at = w->SlotImage(2)->mapTo(w.get(), QPoint(0, 0));
    const int s = PolarRingSpacing, cx = 335 / 2, cy = 335 / 2 + 3;
    ASSERT_EQ(s, 335 / 21);
    std::vector<TPoint> now;
    for (int k = 0; k <= 359; ++k) now.push_back(AzimuthFieldPoint(cx, cy, s, Sample(code, k), k, 90));
    for (int k : {0, 45, 90, 135, 200, 300}) {
        SCOPED_TRACE(k);
        const TPoint p = now[k];
        EXPECT_TRUE(IsColor(screen.pixelColor(at.x() + p.X, at.y() + p.Y), clRed));
    }
    int checked = 0;
    for (int k = 0; k < 360; k += 10) {
        const TPoint old = AzimuthFieldPoint(cx, cy, s, Sample(code, k), k, 0);
        bool nearNew = false;
        for (const TPoint& p : now) nearNew = nearNew || (std::abs(p.X - old.X) <= 3 && std::abs(p.Y - old.Y) <= 3);
        if (nearNew) continue;
        ++checked;
        EXPECT_FALSE(IsColor(screen.pixelColor(at.x() + old.X, at.y() + old.Y), clRed)) << "angle " << k;
    }
    EXPECT_GT(checked, 5);

    // The decibel plot draws every slot again with the wide pen, rotations kept.
    ClickItem(w->RadioGroup1, 1);
    EXPECT_TRUE(AzimuthPlotInDb);
    EXPECT_EQ(PolarRingSpacing, 335 / 17);
    EXPECT_EQ(w->Slot(2).GetRotation(), 90);
    const TPoint db = AzimuthDbPoint(cx, cy, PolarRingSpacing, Sample(code, 0), 0, 90);
    EXPECT_TRUE(IsColor(Layer(2).pixelColor(db.X, db.Y), clRed));
}

TEST_F(AzPatsTest, ClosingClearsAndShowingStartsAfresh)
{
    ClickItem(w->RadioGroup3, 4);
    ClickItem(w->RadioGroup1, 1);
    Include(0);
    TypeRotation(1, "45");
    ClickRow(w->AzPatList, 1);  // left as a preview
    w->close();                 // the close box
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->SelectedCount(), 0);
    EXPECT_EQ(w->Slot(1).GetState(), E);
    EXPECT_EQ(Line(0), "");
    EXPECT_EQ(w->SpinEdit(1)->Text(), "0");

    AzimuthPlotInDb = true;
    Show();
    EXPECT_FALSE(AzimuthPlotInDb);
    EXPECT_EQ(w->RadioGroup3->ItemIndex(), 2);
    EXPECT_EQ(w->RadioGroup1->ItemIndex(), 0);
    EXPECT_EQ(w->AzPatList->count(), LastRecordId(5000) - 5000);
    EXPECT_EQ(States(), (std::array<uint8_t, 4>{E, E, E, E}));
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(Pixels(n, TAzPats::SlotColor(n)), 0) << "layer " << n;
    ClickRow(w->AzPatList, 0);
    EXPECT_EQ(w->Slot(1).GetPolarization(), "Horizontal");
    EXPECT_EQ(w->Slot(1).GetCode(), CatalogRow(5000, 0).code);

    // "&Close" closes as well, and "<<" runs.
    Click(w->IncludeBtn);
    Click(w->Button2);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->SelectedCount(), 0);
}

TEST_F(AzPatsTest, PrintedPageShowsTheIncludedPatternsOnly)
{
    const TRow a = CatalogRow(5000, 1);
    Include(1);
    ClickItem(w->RadioGroup3, 3);  // UHF V-Pol
    Include(0);
    const TRow b = CatalogRow(6000, 0);
    ClickItem(w->RadioGroup3, 0);
    const TRow previewed = CatalogRow(7000, 0);
    ClickRow(w->AzPatList, 0);  // not on the printed page
    ASSERT_EQ(w->RadioGroup2->ItemIndex(), 0);

    const std::string file = PrintThroughPdfPrinter("comparison.pdf");
    const std::string text = PdfText(file);
    EXPECT_EQ(PdfPageCount(file), 1);
    for (const std::string& want :
         {std::string("Pattern Type"), std::string("Legend"), FormatPatternCode(a.code), FormatPatternCode(b.code),
          ComparisonGainText(a.gain), ComparisonGainText(b.gain), std::string("BELVOR CORPORATION")})
        EXPECT_NE(text.find(want), std::string::npos) << want << "\n" << text;
    EXPECT_EQ(text.find(FormatPatternCode(previewed.code)), std::string::npos);
    // The screen grid is back.
    EXPECT_EQ(PolarRingSpacing, 335 / 21);

    // A cancelled print dialog prints nothing.
    fs::remove(file);
    ui.ExpectPrint(false);
    Click(w->Button1);
    EXPECT_FALSE(fs::exists(file));
}

// A single-pattern option chosen with one pattern included gives way to Print Graph once a
// second is included: Print prints the comparison of both, not the first slot's page or file.
TEST_F(AzPatsTest, TwoIncludedPatternsPrintTheComparison)
{
    for (int option : {1, 2}) {
        SCOPED_TRACE(option);
        Click(w->ExcAllBtn);
        const TRow a = CatalogRow(5000, 1), b = CatalogRow(5000, 2);
        Include(1);
        ClickItem(w->RadioGroup2, option);
        ASSERT_EQ(w->RadioGroup2->ItemIndex(), option);
        Include(2);
        EXPECT_TRUE(Items(w->RadioGroup2)[0]->isChecked()) << "Print Graph is chosen";

        const std::string file = PrintThroughPdfPrinter("both" + std::to_string(option) + ".pdf");
        const std::string text = PdfText(file);
        for (const std::string& want : {std::string("Legend"), FormatPatternCode(a.code), FormatPatternCode(b.code)})
            EXPECT_NE(text.find(want), std::string::npos) << want << "\n" << text;
        EXPECT_EQ(text.find("Type: "), std::string::npos) << "a single pattern's page\n" << text;
    }
}

TEST_F(AzPatsTest, DataPageUsesTheSlotsOwnRotation)
{
    // The design's rotation differs from the slot's.
    AzimuthRotation = 30;
    Include(1);
    Include(2);
    // Slot 1 leaves; slot 2, the one included, is the single pattern.
    ClickRow(w->SelList, 0);
    Click(w->ExcludeBtn);
    const std::string code = w->Slot(2).GetCode();
    TypeRotation(2, "90");
    ClickItem(w->RadioGroup2, 1);
    ASSERT_EQ(w->RadioGroup2->ItemIndex(), 1);

    const std::string text = PdfText(PrintThroughPdfPrinter("data.pdf"));
    // Angle 0 holds the stored sample 270, angle 90 the stored sample 0.
    auto row = [&](int angle) {
        const double e = Sample(code, ((angle - 90) % 360 + 360) % 360) / 1000.0;
        char buf[64];
        std::snprintf(buf, sizeof buf, "%d %.3f %.2f", angle, e, 20 * std::log10(e));
        return std::string(buf);
    };
    std::string flat;  // the text with runs of blanks made one
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!flat.empty() && flat.back() != ' ') flat += ' ';
        } else {
            flat += c;
        }
    }
    // pdftotext gives one blank for the two after the type.
    EXPECT_NE(flat.find("Type: " + FormatPatternCode(code) + " Gain: " + ComparisonGainText(w->Slot(2).GetGain())),
              std::string::npos)
        << flat.substr(0, 200);
    for (int angle : {0, 90, 1})
        EXPECT_NE(flat.find(" " + row(angle) + " "), std::string::npos) << row(angle) << "\n" << flat.substr(0, 400);
    EXPECT_EQ(PolarRingSpacing, 335 / 21);
}

TEST_F(AzPatsTest, PrintToDiskWritesExactlyTheChosenFile)
{
    AzimuthRotation = 45;
    SelectedAzimuthId = FindAzimuthRecord(CatalogRow(5000, 0).code);
    Include(1);
    const std::string code = w->Slot(1).GetCode();
    ClickItem(w->RadioGroup2, 2);
    std::string atZero;
    for (const char* rotation : {"0", "90", "360"}) {
        SCOPED_TRACE(rotation);
        TypeRotation(1, rotation);
        const fs::path chosen = dir.path() / ("r" + std::string(rotation) + ".txt.bak");
        ui.ExpectSave(chosen.string());
        Click(w->Button1);
        EXPECT_EQ(ui.Shown().back().FileName, code);
        EXPECT_EQ(ui.Shown().back().Filter,
                  "Pattern files (*.pat)|*.PAT|Data files (*.dat)|*.DAT|Text files (*.txt)|*.TXT|All files (*.*)|*.*");
        const std::string bytes = ReadFileText(chosen);
        EXPECT_EQ(bytes, ExpectedPatternFile(code, std::atoi(rotation)));
        if (atZero.empty()) {
            atZero = bytes;
        } else if (std::string(rotation) == "360") {
            EXPECT_EQ(bytes, atZero);
        }
    }
    EXPECT_EQ(atZero.substr(0, 2), "0\t");
    // Only the chosen files: no name cut at a dot, no scratch file left.
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path())) names.insert(e.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"r0.txt.bak", "r90.txt.bak", "r360.txt.bak"}));

    // A folder that is not there: an error box, and nothing written.
    ui.ExpectSave((dir.path() / "missing" / "p.pat").string());
    ui.ExpectMessage(mrOk, "p.pat");
    Click(w->Button1);
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));
}

// Print to Disk onto a file that exists asks first: No leaves the file as it was, Yes replaces it.
TEST_F(AzPatsTest, PrintToDiskAsksBeforeReplacingAFile)
{
    SelectedAzimuthId = FindAzimuthRecord(CatalogRow(5000, 0).code);
    Include(1);
    const std::string code = w->Slot(1).GetCode();
    ClickItem(w->RadioGroup2, 2);
    const fs::path chosen = dir.path() / "kept.pat";
    {
        std::ofstream(chosen) << "older work";
    }
    ui.ExpectSave(chosen.string());
    ui.ExpectMessage(IDNO, "kept.pat already exists.");
    ui.ExpectSaveCancel();
    Click(w->Button1);
    EXPECT_EQ(ReadFileText(chosen), "older work");

    ui.ExpectSave(chosen.string());
    ui.ExpectMessage(IDYES, "kept.pat already exists.");
    Click(w->Button1);
    EXPECT_EQ(ReadFileText(chosen), ExpectedPatternFile(code, 0));
}

TEST_F(AzPatsTest, SinglePatternCommandsWithoutAPatternSaySo)
{
    for (int option : {1, 2}) {
        SCOPED_TRACE(option);
        ClickItem(w->RadioGroup2, option);
        ui.ExpectMessage(mrOk, "Azimuth pattern data is not available");
        Click(w->Button1);
    }
}

TEST_F(AzPatsTest, PdfPageThroughHtmldoc)
{
    Include(1);
    ClickRow(w->AzPatList, 2);  // previewed: on the PDF page all the same
    ClickItem(w->RadioGroup2, 3);
    const fs::path chosen = dir.path() / "compare.v2.pdf";
    ui.ExpectSave(chosen.string());
    Click(w->Button1);
    EXPECT_EQ(ui.Shown().back().Filter, "PDF Files   (*.pdf)|*.pdf");
    ASSERT_TRUE(fs::exists(chosen));
    EXPECT_EQ(PdfPageCount(chosen.string()), 1);
    const std::string list = RunCommand("pdfimages -list " + Quoted(chosen.string()) + " 2>/dev/null");
    EXPECT_NE(list.find(" image     800   905 "), std::string::npos) << list;
    // The image in the PDF is the page drawn, pixel for pixel.
    RunCommand("pdfimages -png " + Quoted(chosen.string()) + " " + Quoted((dir.path() / "img").string()));
    const QImage inPdf(QString::fromStdString((dir.path() / "img-000.png").string()));
    const QImage drawn = w->PDFImage->Picture().ToImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(inPdf.size(), drawn.size());
    EXPECT_TRUE(inPdf.convertToFormat(QImage::Format_RGB32) == drawn);
    // Legend swatches: slot 1 (included) blue in the first row, slot 2 (previewed) red in the second.
    EXPECT_TRUE(IsColor(inPdf.pixelColor(418, 92), clBlue));
    EXPECT_TRUE(IsColor(inPdf.pixelColor(418, 108), clRed));
    EXPECT_GT(InkPixels(inPdf, QRect(100, 92, 90, 28)), 20);   // the two codes
    EXPECT_GT(InkPixels(inPdf, QRect(145, 855, 240, 40)), 50); // maker lines
    EXPECT_GT(InkPixels(inPdf, QRect(410, 855, 300, 40)), 50); // title block
    // pdftotext finds the picture's page and no stray text on it.
    EXPECT_EQ(Trim(PdfText(chosen.string())), "");
    EXPECT_EQ(PolarRingSpacing, 335 / 21);
}

TEST_F(AzPatsTest, MainWindowOpensItAndTheNotebookKnowsIt)
{
    w->close();
    TFrmMain main;
    main.show();
    EXPECT_FALSE(main.sbForm2->isEnabled());
    TMainWindowLinks links;
    links.AzPats = w.get();
    main.Link(links);
    ASSERT_TRUE(main.sbForm2->isEnabled());
    bool shown = false;
    WhenModal<TAzPats>([&](TAzPats& f) {
        shown = true;
        EXPECT_EQ(f.AzPatList->count(), LastRecordId(5000) - 5000);
        Click(f.Button2);
    });
    Click(main.sbForm2);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(w->isVisible());

    RegisterWizardPages();
    const TFormClass make = FindFormClass("TAzPats");
    ASSERT_TRUE(make);
    std::unique_ptr<TForm> page(make(nullptr));
    EXPECT_NE(dynamic_cast<TAzPats*>(page.get()), nullptr);
    EXPECT_NE(page->findChild<QWidget*>("AutoNBPanel"), nullptr);
}
