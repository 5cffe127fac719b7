#include "planner/engine/ElevationTable.h"
#include "planner/engine/PatternFiles.h"
#include "planner/engine/PatternPlots.h"
#include "planner/engine/PatternRecord.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "planner/ui/MainState.h"
#include "planner/ui/Wizard.h"
#include "planner/ui/unit2.h"
#include "planner/ui/unit3.h"
#include "platform/runtime/NumText.h"
#include "platform/runtime/StrTable.h"
#include "platform/ui/ScriptedUi.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>

namespace {

std::string Row(int32_t id) { return LoadStr(id); }
std::string FieldOf(int32_t id, int k) { return GetDelimitedField(k, Row(id), '|'); }
float NumberOf(int32_t id, int k) { return static_cast<float>(StrToFloat(FieldOf(id, k))); }
int Rnd(double v) { return static_cast<int>(std::nearbyint(v)); }

class Pages : public ::testing::Test {
protected:
    void SetUp() override
    {
        scope_ = std::make_unique<TUiServicesScope>(ui);
        ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        CreateProjectObjects();
        Page2Fresh = Page3Fresh = true;
        SelectedAzimuthId = SelectedElevationId = 0;
        AzimuthRotation = 0;
        BeamTiltIndex = 20;
        ShowVerticalPattern = false;
        AzimuthPlotInDb = false;
        ElevationPlotMode = 0;
        PrintOption = 0;
        PlotMessageHook = nullptr;
    }
    void TearDown() override
    {
        EXPECT_TRUE(ui.AllUsed()) << ui.Pending() << " scripted answers left unused";
        PlotMessageHook = nullptr;
        scope_.reset();
    }

    static void Design(uint8_t family, uint8_t elliptical, uint8_t powerClass = 2, uint8_t standard = 0)
    {
        Sys().Family = family;
        Sys().PowerClass = powerClass;
        Sys().Standard = standard;
        Ant().Elliptical = elliptical;
        Ant().VerticalPercent = elliptical ? 100 : 0;
    }

    // The widget as shown on the screen.
    static QImage Grab(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    static TColor At(const QImage& img, TPoint p) { return FromQRgb(img.pixel(p.X, p.Y)); }

    // Where page 2's plot draws sample k of the selected record (relative field).
    static TPoint PolarPoint(const TImage* image, int k, int rotation)
    {
        const TPatternRecord rec(SelectedAzimuthId, kAzimuthSamples);
        const int s = (image->height() - 40) / 20;
        return AzimuthFieldPoint(image->width() / 2, image->height() / 2, s, rec.V(k), k, rotation);
    }

    // Where page 3's near-range plot draws quarter-degree point n (relative field).
    static TPoint NearPoint(const TImage* image, int n)
    {
        const TPatternRecord rec(SelectedElevationId, kElevationSamples);
        const TRect r = Rect(50, 35, image->width() - 25, image->height() - 40);
        const double v = NearRangeValue(rec, BeamTiltIndex, n);
        return {r.Left + Rnd(r.Width() / 15.0 * 0.25 * n), r.Bottom - Rnd(r.Height() * 0.001 * v)};
    }

    TScriptedUiServices ui;
    std::unique_ptr<TUiServicesScope> scope_;
};

struct FamilyCase {
    uint8_t family;
    uint8_t elliptical;
    uint8_t powerClass;
    int32_t hCatalog, vCatalog;  // page 2
    int hRows, vRows;
    int32_t elevationCatalog;    // page 3
};

const FamilyCase kFamilies[] = {
    {0, 0, 1, 3100, 4000, 12, 1, 9000},
    {0, 1, 0, 3200, 4000, 7, 1, 9000},
    {1, 1, 2, 5000, 6000, 14, 12, 10000},
    {2, 0, 2, 7000, 8000, 5, 4, 11000},
    {3, 1, 2, 0, 0, 0, 0, 0},
};

TEST_F(Pages, EveryFamilyThroughPagesTwoAndThree)
{
    for (const auto& c : kFamilies) {
        SCOPED_TRACE("family " + std::to_string(c.family) + (c.elliptical ? " elliptical" : " horizontal"));
        CreateProjectObjects();
        Page2Fresh = Page3Fresh = true;
        Design(c.family, c.elliptical, c.powerClass);

        Tfrm2 p2;
        p2.show();
        p2.PageShown();
        EXPECT_EQ(p2.TabSet1->TabCount(), c.elliptical ? 2 : 1);
        EXPECT_FALSE(Page2Fresh);
        const TAntObj& ant = Ant();
        if (c.family == 3) {
            EXPECT_FALSE(p2.HPolAz->isEnabled());
            EXPECT_EQ(p2.Notebook1->currentWidget()->windowTitle(), "Panel 1");
            // The defaults the panels show are the model's.
            EXPECT_EQ(ant.HAzName, "Omni directional");
            EXPECT_FLOAT_EQ(ant.HAzGain, 1.0f);
            EXPECT_EQ(ant.VAzName, "Omni directional");
            EXPECT_FLOAT_EQ(ant.VAzGain, 1.0f);
            EXPECT_EQ(p2.Edit1->Text(), "1");
        } else {
            EXPECT_EQ(p2.HCatalog(), c.hCatalog);
            ASSERT_EQ(p2.HPolAz->Items().Count(), c.hRows);
            EXPECT_EQ(p2.VPolAz->Items().Count(), c.vRows);
            const int32_t row = c.hCatalog + 1;
            EXPECT_EQ(ant.HAzIndex, 0);
            EXPECT_EQ(ant.HAzName, FieldOf(row, 0));
            EXPECT_EQ(ant.HAzSuffix, FieldOf(row, 4));
            EXPECT_FLOAT_EQ(ant.HAzGain, NumberOf(row, 1));
            EXPECT_EQ(ant.HAzDegrees, StrToInt(FieldOf(row, 3)));
            EXPECT_EQ(SelectedAzimuthId, FindPatternRecord(FieldOf(row, 2), false));
            EXPECT_NE(SelectedAzimuthId, 0);
            EXPECT_EQ(std::string(ExhibitPatternType), FieldOf(row, 2));
            EXPECT_EQ(p2.Edit1->Text(), FloatToStrF(ant.HAzGain, TFloatFormat::ffGeneral, 3, 4));
            // The plot: the red trace through the computed points of the pattern.
            const QImage img = Grab(p2.Image1);
            for (int k : {0, 45, 90, 200, 300}) EXPECT_EQ(At(img, PolarPoint(p2.Image1, k, 0)), clRed) << "azimuth " << k;
            EXPECT_EQ(At(img, {2, 2}), clWhite);
            // The exhibit's plot is drawn as well, at its own size.
            EXPECT_EQ(p2.PDFImage->Picture().Width(), 800);
            EXPECT_EQ(p2.PDFImage->Picture().Height(), 905);
            const TPatternRecord rec(SelectedAzimuthId, kAzimuthSamples);
            EXPECT_EQ(p2.PDFImage->Picture().Canvas().Pixels(400, 502 - Rnd(rec.V(0) * 0.01 * 27)), clRed);
            if (c.elliptical) {
                // The vertical tab: the vertical pattern and its fields.
                p2.TabSet1->setCurrentIndex(1);
                EXPECT_TRUE(ShowVerticalPattern);
                EXPECT_EQ(p2.Edit4->Text(), "Vertical");
                const int32_t vrow = c.family == 0 ? 4001 : c.vCatalog + 1;
                EXPECT_EQ(ant.VAzName, FieldOf(vrow, 0));
                EXPECT_FLOAT_EQ(ant.VAzGain, NumberOf(vrow, 1));
                EXPECT_EQ(SelectedAzimuthId, FindPatternRecord(FieldOf(vrow, 2), false));
                const QImage v = Grab(p2.Image2);
                for (int k : {0, 120, 240}) EXPECT_EQ(At(v, PolarPoint(p2.Image2, k, 0)), clRed) << "azimuth " << k;
                p2.TabSet1->setCurrentIndex(0);
                EXPECT_FALSE(ShowVerticalPattern);
            }
        }

        Tfrm3 p3;
        p3.show();
        p3.PageShown();
        EXPECT_FALSE(Page3Fresh);
        if (c.family == 3) {
            EXPECT_FALSE(p3.HPolEl->isEnabled());
            EXPECT_TRUE(p3.Image1->isHidden());
            EXPECT_FLOAT_EQ(ant.HElGain, 20.0f);
            EXPECT_EQ(ant.HElListName, "20 Gain");
            EXPECT_FLOAT_EQ(ant.VElGain, 20.0f);
            EXPECT_EQ(ant.VElListName, "20 Gain");
            EXPECT_FALSE(p3.FSpinEdit2->isHidden());
            continue;
        }
        const int32_t row = c.elevationCatalog + 1;
        EXPECT_EQ(p3.Catalog(), c.elevationCatalog);
        EXPECT_EQ(p3.SpinButton1->isEnabled(), c.family != 0);
        EXPECT_EQ(ant.ElevationIndex, 0);
        EXPECT_FLOAT_EQ(ant.CatalogTilt, NumberOf(row, 7));
        EXPECT_FLOAT_EQ(ant.TiltAngle, ant.CatalogTilt);
        EXPECT_EQ(BeamTiltIndex, 20);
        EXPECT_EQ(SelectedElevationId, FindPatternRecord(FieldOf(row, 5), true));
        EXPECT_NE(SelectedElevationId, 0);
        EXPECT_FLOAT_EQ(ant.HElGain, NumberOf(row, 2));
        EXPECT_FLOAT_EQ(ant.VElGain, NumberOf(row, 4));
        EXPECT_FLOAT_EQ(ant.BeamWidth, NumberOf(row, 6));
        EXPECT_EQ(ant.HElListName, FieldOf(row, 0));
        const std::string quarters = IntToStr(std::lround(ant.CatalogTilt * 4));
        // A horizontal Zek antenna carries the power-class letter in its model name.
        std::string htemplate = FieldOf(row, 1);
        if (c.family == 0 && !c.elliptical && c.powerClass == 1)
            htemplate = htemplate.substr(0, 3) + ReplaceToken(htemplate.substr(3), "L", "M");
        EXPECT_EQ(ant.HElName, ReplaceToken(htemplate, "#", quarters));
        if (c.elliptical) { EXPECT_EQ(ant.VElName, ReplaceToken(FieldOf(row, 3), "#", quarters)); }
        const int power = c.family == 0 ? 10 + c.elliptical + 2 * std::min<int>(c.powerClass, 1) : 10;
        EXPECT_FLOAT_EQ(ant.MaxInputPower, NumberOf(row, power));
        // The plot: the blue trace through the computed near-range points.
        const QImage img = Grab(p3.Image1);
        for (int n : {0, 17, 30, 44, 60}) EXPECT_EQ(At(img, NearPoint(p3.Image1, n)), clBlue) << "point " << n;
        // Full range in dB on the screen and on the exhibit image.
        p3.RadioGroup1->SetItemIndex(1);
        p3.RadioGroup2->SetItemIndex(1);
        EXPECT_EQ(ElevationPlotMode, 3);
        const TPatternRecord rec(SelectedElevationId, kElevationSamples);
        const double level = *FieldLevelDb(rec.V(BeamTiltIndex) / 1000.0);
        EXPECT_EQ(p3.PDFImage->Picture().Canvas().Pixels(100, 100 - Rnd(700 * 0.025 * level)), clBlue);
        p3.RadioGroup1->SetItemIndex(0);
        p3.RadioGroup2->SetItemIndex(0);
        EXPECT_EQ(ElevationPlotMode, 0);
    }
}

TEST_F(Pages, PageTwoRevisitsRotationAndDescriptions)
{
    Design(1, 1);
    Tfrm2 p2;
    p2.PageShown();
    // Revisits refill the lists instead of adding to them.
    for (int visit = 0; visit < 3; ++visit) p2.PageShown();
    ASSERT_EQ(p2.VPolAz->Items().Count(), 12);
    ASSERT_EQ(p2.HPolAz->Items().Count(), 14);
    p2.VPolAz->SetItemIndex(11);
    p2.VPolAzClick(p2.VPolAz);
    EXPECT_EQ(Ant().VAzName, FieldOf(6012, 0));
    EXPECT_EQ(Ant().VAzIndex, 11);
    // A revisit keeps the choice.
    p2.HPolAz->SetItemIndex(3);
    p2.HPolAzClick(p2.HPolAz);
    p2.PageShown();
    EXPECT_EQ(p2.HPolAz->ItemIndex(), 3);
    EXPECT_EQ(Ant().HAzName, FieldOf(5004, 0));
    EXPECT_EQ(p2.VPolAz->ItemIndex(), 11);

    // Rotation by the spin: down from 0 shows -1 and stores 359, up from 359 shows 360 and
    // stores 0; the plot follows at once.
    p2.show();
    p2.SpinButton1->DownClick();
    EXPECT_EQ(p2.Edit3->Text(), "-1");
    EXPECT_EQ(Ant().HRotation, 359);
    EXPECT_EQ(AzimuthRotation, 359);
    p2.SpinButton1->UpClick();
    EXPECT_EQ(p2.Edit3->Text(), "360");
    EXPECT_EQ(Ant().HRotation, 0);
    p2.Edit3->SetText("90");
    EXPECT_EQ(Ant().HRotation, 90);
    const QImage img = Grab(p2.Image1);
    for (int k : {0, 30, 180}) EXPECT_EQ(At(img, PolarPoint(p2.Image1, k, 90)), clRed) << "azimuth " << k;
    // A rotation that is no number is reported and changes nothing.
    ui.ExpectMessage(IDOK, "is not a valid integer");
    p2.Edit3->SetText("5-");
    EXPECT_EQ(Ant().HRotation, 90);
    // Print option and plot type.
    p2.RadioGroup2->SetItemIndex(2);
    EXPECT_EQ(PrintOption, 2);
    p2.PageShown();
    EXPECT_EQ(PrintOption, 2);
    p2.RadioGroup1->SetItemIndex(1);
    EXPECT_TRUE(AzimuthPlotInDb);

    // Another make: typed descriptions are stored as they are typed.
    Design(3, 1);
    p2.PageShown();
    p2.Edit6->SetText("Panel array");
    EXPECT_EQ(Ant().HAzName, "Panel array");
    p2.FSpinEdit1->SetValue(2.5f);
    EXPECT_FLOAT_EQ(Ant().HAzGain, 2.5f);
    p2.TabSet1->setCurrentIndex(1);
    EXPECT_EQ(p2.Notebook1->currentWidget()->windowTitle(), "Panel 2");
    p2.Edit8->SetText("Slot");
    EXPECT_EQ(Ant().VAzName, "Slot");
    p2.PageShown();
    EXPECT_EQ(p2.Edit6->Text(), "Panel array");
    EXPECT_FLOAT_EQ(p2.FSpinEdit1->Value(), 2.5f);
}

TEST_F(Pages, ZekVerticalRowFollowsTheHorizontalPattern)
{
    Design(0, 1, 0);
    Tfrm2 p2;
    p2.PageShown();
    struct Case { int h; int32_t vrow; };
    for (const auto& c : {Case{0, 4001}, Case{4, 4001}, Case{5, 4002}, Case{6, 4003}}) {
        SCOPED_TRACE(c.h);
        p2.HPolAz->SetItemIndex(c.h);
        p2.HPolAzClick(p2.HPolAz);
        ASSERT_EQ(p2.VPolAz->Items().Count(), 1);
        EXPECT_EQ(p2.VPolAz->Items()[0], FieldOf(c.vrow, 0));
        p2.VPolAzClick(p2.VPolAz);
        EXPECT_EQ(Ant().VAzName, FieldOf(c.vrow, 0));
        EXPECT_EQ(SelectedAzimuthId, FindPatternRecord(FieldOf(c.vrow, 2), false));
    }
}

TEST_F(Pages, PageThreeHorizonSampleAndTiltLimits)
{
    Design(1, 0);
    Tfrm3 p3;
    p3.PageShown();
    p3.HPolEl->SetItemIndex(1);  // catalog tilt 0.75, limits 0.00 .. 1.75
    p3.HPolElClick(p3.HPolEl);
    const int32_t row = 10002;
    ASSERT_FLOAT_EQ(Ant().CatalogTilt, 0.75f);
    ASSERT_FLOAT_EQ(MaximumTilt, NumberOf(row, 8));
    ASSERT_FLOAT_EQ(MinimumTilt, NumberOf(row, 9));
    const TPatternRecord rec(SelectedElevationId, kElevationSamples);
    auto horizonDb = [&](int k) {
        const float e = rec.V(k) / 1000.0f;
        return RatioToDb(e * e) + Ant().HElGainDb;
    };
    EXPECT_NEAR(Ant().HorizonGainDb, horizonDb(40), 1e-4);
    EXPECT_EQ(p3.Edit5->Text(), FloatToStrF(Ant().HorizonGainDb, TFloatFormat::ffGeneral, 3, 4));

    struct Step { bool up; float tilt; int index; int horizon; const char* hint; };
    const Step steps[] = {
        {false, 0.5f, 21, 41, ""},  {false, 0.25f, 22, 42, ""}, {false, 0.0f, 23, 43, ""},
        {false, 0.0f, 23, 43, "Minimum"}, {true, 0.25f, 22, 42, ""}, {true, 0.5f, 21, 41, ""},
        {true, 0.75f, 20, 40, ""},  {true, 1.0f, 19, 39, ""},   {true, 1.25f, 18, 38, ""},
        {true, 1.5f, 17, 37, ""},   {true, 1.75f, 16, 36, ""},  {true, 1.75f, 16, 36, "Maximum"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.up ? "up to " : "down to ") + std::to_string(s.tilt));
        if (s.up) p3.SpinButton1->UpClick();
        else p3.SpinButton1->DownClick();
        EXPECT_FLOAT_EQ(Ant().TiltAngle, s.tilt);
        EXPECT_EQ(p3.NumEdit1->Text(), FloatToStrF(s.tilt, TFloatFormat::ffFixed, 15, 2));
        EXPECT_EQ(BeamTiltIndex, s.index);
        EXPECT_NEAR(Ant().HorizonGainDb, horizonDb(s.horizon), 1e-4);
        if (*s.hint) {
            EXPECT_NE(p3.TiltHint().find(std::string(s.hint) + " beam tilt"), std::string::npos) << p3.TiltHint();
        } else {
            EXPECT_EQ(p3.TiltHint(), "");
        }
    }
    EXPECT_EQ(Ant().HElName, ReplaceToken(FieldOf(row, 1), "#", "7"));

    // A revisit keeps the user's tilt; a tilt beyond this row's limits is brought within them.
    p3.PageShown();
    EXPECT_FLOAT_EQ(Ant().TiltAngle, 1.75f);
    EXPECT_EQ(BeamTiltIndex, 16);
    Ant().TiltAngle = 9.0f;
    p3.PageShown();
    EXPECT_FLOAT_EQ(Ant().TiltAngle, 1.75f);
    // Choosing a row starts from its own tilt.
    p3.HPolEl->SetItemIndex(0);
    p3.HPolElClick(p3.HPolEl);
    EXPECT_FLOAT_EQ(Ant().TiltAngle, 0.5f);
    EXPECT_EQ(BeamTiltIndex, 20);

    // Family 0 has no tilt steps.
    Design(0, 0, 1);
    p3.PageShown();
    EXPECT_FALSE(p3.SpinButton1->isEnabled());
    const float tilt = Ant().TiltAngle;
    p3.SpinButton1->UpClick();
    EXPECT_FLOAT_EQ(Ant().TiltAngle, tilt);
}

TEST_F(Pages, PageThreeClampsIndexesAndReadsNothingWithoutARow)
{
    Design(1, 0, 2, 1);  // DTV
    Tfrm3 p3;
    p3.PageShown();
    p3.HPolEl->SetItemIndex(40);
    p3.HPolElClick(p3.HPolEl);
    EXPECT_EQ(Ant().ElevationIndex, 40);
    // DTV: the row's NTSC rating as an average power.
    EXPECT_NEAR(Ant().MaxInputPower, NumberOf(10041, 10) * 0.7f, 1e-3);
    p3.RadioGroup3->SetItemIndex(1);
    EXPECT_EQ(PrintOption, 1);

    // The same index on the VHF catalog (12 rows) is brought within it.
    Design(2, 0);
    p3.PageShown();
    EXPECT_EQ(p3.HPolEl->ItemIndex(), 11);
    EXPECT_EQ(Ant().ElevationIndex, 11);
    EXPECT_EQ(Ant().HElListName, FieldOf(11012, 0));
    EXPECT_EQ(PrintOption, 1);

    // No row selected: nothing is read or written.
    const std::string name = Ant().HElName;
    const int32_t id = SelectedElevationId;
    p3.HPolEl->SetItemIndex(-1);
    p3.HPolElClick(p3.HPolEl);
    EXPECT_EQ(Ant().ElevationIndex, 11);
    EXPECT_EQ(Ant().HElName, name);
    EXPECT_EQ(SelectedElevationId, id);

    // Another make: the panel shows the model's gains and writes what it shows.
    const float previous = Ant().HElGain;
    Design(3, 0);
    p3.PageShown();
    EXPECT_FLOAT_EQ(p3.FSpinEdit1->Value(), previous);
    EXPECT_FLOAT_EQ(Ant().HElGain, previous);
    EXPECT_EQ(Ant().HElListName, SingleToStr(previous) + " Gain");
    EXPECT_TRUE(p3.FSpinEdit2->isHidden());
    p3.FSpinEdit1->SetValue(12.5f);
    EXPECT_FLOAT_EQ(Ant().HElGain, 12.5f);
    EXPECT_EQ(Ant().HElListName, "12.5 Gain");
    p3.PageShown();
    EXPECT_FLOAT_EQ(p3.FSpinEdit1->Value(), 12.5f);
}

TEST_F(Pages, AnotherMakeKeepsNoCatalogPatternFromAnEarlierChoice)
{
    // A catalog antenna first, then (back on page 1) another make: neither the exhibits nor
    // the pattern files may go on showing the catalog patterns chosen before.
    auto blank = [](TImage* image) {
        TBitmap& b = image->Picture();
        for (int y = 0; y < b.Height(); y += 3)
            for (int x = 0; x < b.Width(); x += 3)
                if (b.Canvas().Pixels(x, y) != clWhite) return false;
        return true;
    };
    Design(1, 1);
    Tfrm2 p2;
    p2.PageShown();
    Tfrm3 p3;
    p3.PageShown();
    ASSERT_NE(SelectedAzimuthId, 0);
    ASSERT_NE(SelectedElevationId, 0);
    ASSERT_FALSE(blank(p2.PDFImage));
    ASSERT_FALSE(blank(p3.PDFImage));

    Design(3, 1);
    p2.PageShown();
    p3.PageShown();
    EXPECT_EQ(SelectedAzimuthId, 0);
    EXPECT_EQ(SelectedElevationId, 0);
    EXPECT_TRUE(blank(p2.PDFImage)) << "the exhibit image still holds the catalog plot";
    EXPECT_TRUE(blank(p3.PDFImage)) << "the exhibit image still holds the catalog plot";
    EXPECT_THROW(AzimuthPatternText(), Exception);
    EXPECT_THROW(ElevationPatternText(), Exception);
}

TEST_F(Pages, NoPatternDataIsReported)
{
    Design(1, 0);
    Tfrm2 p2;
    p2.PageShown();
    // A catalog code without a record: the message, once for the screen plot and once for the
    // exhibit image.
    SelectedAzimuthId = 0;
    ui.ExpectMessage(IDOK, "Azimuth pattern data is not available");
    ui.ExpectMessage(IDOK, "Azimuth pattern data is not available");
    p2.Edit3->SetText("10");
}

TEST_F(Pages, TheWizardShowsPagesTwoAndThree)
{
    Design(1, 0);
    Page1Visited = true;
    WizardFirstPage = 2;
    WizardLastPage = 3;
    auto wizard = CreateDesignWizard(2);
    auto* w = dynamic_cast<TfrmWizard*>(wizard.get());
    ASSERT_NE(w, nullptr);
    auto* p2 = dynamic_cast<Tfrm2*>(w->nb->GetPageForm(2));
    ASSERT_NE(p2, nullptr);
    EXPECT_EQ(p2->AutoNBPanel->parentWidget(), w->nb->PageObject(2));
    EXPECT_EQ(Ant().HAzName, FieldOf(5001, 0));
    w->nb->ActivatePage(3);
    auto* p3 = dynamic_cast<Tfrm3*>(w->nb->GetPageForm(3));
    ASSERT_NE(p3, nullptr);
    EXPECT_EQ(Ant().HElListName, FieldOf(10001, 0));
}

}  // namespace
