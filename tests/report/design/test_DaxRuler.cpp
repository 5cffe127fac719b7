#include "DesignFixture.h"

#include "report/design/DaxRuler.h"
#include "support/WaitFor.h"

#include <QImage>
#include <QPaintEvent>
#include <QTest>

using namespace mwtest;

namespace {

std::vector<int> Positions(const std::vector<TDaxTick>& ticks)
{
    std::vector<int> out;
    for (const TDaxTick& t : ticks) out.push_back(t.Pos);
    return out;
}

// Remembers the region of every paint.
class RecordingRuler : public TDaxRuler {
public:
    using TDaxRuler::TDaxRuler;
    std::vector<QRegion> Painted;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        Painted.push_back(e->region());
        TDaxRuler::paintEvent(e);
    }
};

bool Dark(QRgb c) { return qGray(c) < 100; }

}  // namespace

TEST(RulerTicks, PositionsPerUnit)
{
    struct Case {
        const char* what;
        TDaxUnits unit;
        int ppi, offset, length;
        std::vector<int> positions;
    };
    const Case cases[] = {
        // Eighths of an inch.
        {"inches", unitInches, 96, 0, 100, {0, 12, 24, 36, 48, 60, 72, 84, 96}},
        // Millimetres: 96 / 25.4 pixels each, rounded.
        {"millimetres", unitMiliMeters, 96, 0, 40, {0, 4, 8, 11, 15, 19, 23, 26, 30, 34, 38}},
        // Tenths of a centimetre are the same millimetres.
        {"centimetres", unitCentiMeters, 96, 0, 40, {0, 4, 8, 11, 15, 19, 23, 26, 30, 34, 38}},
        {"inches at 72", unitInches, 72, 0, 80, {0, 9, 18, 27, 36, 45, 54, 63, 72}},
        // The zero 30 pixels into the ruler.
        {"offset", unitInches, 96, 30, 80, {30, 42, 54, 66, 78}},
        // The zero before the ruler's start: nothing before it is drawn.
        {"negative offset", unitInches, 96, -30, 40, {6, 18, 30}},
        {"empty ruler", unitInches, 96, 0, 0, {}},
        // Ticks closer than a pixel would only make a bar.
        {"too fine", unitMiliMeters, 2, 0, 40, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Positions(RulerTicks(c.unit, c.ppi, c.offset, c.length)), c.positions);
    }
}

TEST(RulerTicks, KindsAndNumbers)
{
    const auto inches = RulerTicks(unitInches, 96, 0, 200);
    ASSERT_EQ(inches.size(), 17u);
    EXPECT_EQ(inches[0], (TDaxTick{0, tkMajor, ""}));
    EXPECT_EQ(inches[1].Kind, tkMinor);
    EXPECT_EQ(inches[2].Kind, tkMedium);
    EXPECT_EQ(inches[4].Kind, tkHalf);
    EXPECT_EQ(inches[8], (TDaxTick{96, tkMajor, "1"}));
    EXPECT_EQ(inches[16], (TDaxTick{192, tkMajor, "2"}));

    const auto mm = RulerTicks(unitMiliMeters, 96, 0, 80);
    EXPECT_EQ(mm[5].Kind, tkMedium);
    EXPECT_EQ(mm[10], (TDaxTick{38, tkMajor, "10"}));
    EXPECT_EQ(mm[20], (TDaxTick{76, tkMajor, "20"}));
    const auto cm = RulerTicks(unitCentiMeters, 96, 0, 80);
    EXPECT_EQ(cm[10], (TDaxTick{38, tkMajor, "1"}));
    EXPECT_EQ(cm[20], (TDaxTick{76, tkMajor, "2"}));
}

TEST(DaxRuler, PaintsTicksAndNumbersInSevenPointArial)
{
    EXPECT_EQ(TDaxRuler::NumberFont().family(), "Arial");
    EXPECT_EQ(TDaxRuler::NumberFont().pointSize(), 7);

    TDaxRuler ruler;
    ruler.SetScreenPixelsPerInch(96);
    ruler.resize(30, 200);
    const QImage img = ruler.grab().toImage();
    auto darkIn = [&](QRect r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) n += Dark(img.pixel(x, y));
        return n;
    };
    // The major tick at 1 inch reaches half across from the right; a minor one an eighth.
    EXPECT_EQ(darkIn(QRect(16, 96, 11, 1)), 11);
    EXPECT_EQ(darkIn(QRect(16, 84, 6, 1)), 0);
    EXPECT_GT(darkIn(QRect(24, 84, 3, 1)), 0);
    // Between two ticks nothing is drawn at the right; the number "1" sits left of its tick.
    EXPECT_EQ(darkIn(QRect(16, 90, 11, 1)), 0);
    EXPECT_GT(darkIn(QRect(2, 88, 12, 12)), 0);
    EXPECT_EQ(darkIn(QRect(2, 60, 12, 12)), 0);
}

TEST(DaxRuler, HorizontalTicksInCentimetres)
{
    TDaxRuler ruler;
    ruler.SetOrientation(Qt::Horizontal);
    ruler.SetUnits(unitCentiMeters);
    ruler.SetScreenPixelsPerInch(96);
    ruler.resize(100, 30);
    EXPECT_EQ(ruler.Ticks().back(), (TDaxTick{98, tkMinor, ""}));
    const QImage img = ruler.grab().toImage();
    // The 1 cm tick at x 38 reaches half across from the bottom; the one at 4 mm an eighth.
    for (int y = 16; y <= 26; ++y) EXPECT_TRUE(Dark(img.pixel(38, y))) << y;
    EXPECT_FALSE(Dark(img.pixel(15, 20)));
    EXPECT_TRUE(Dark(img.pixel(15, 26)));
}

TEST(DaxRuler, MarkerRepaintsOnlyTheOldAndNewLine)
{
    RecordingRuler ruler;
    ruler.resize(30, 200);
    ruler.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ruler));
    QTest::mouseMove(&ruler, QPoint(10, 50));
    ASSERT_TRUE(mwtest::WaitFor([&] { return ruler.MarkerPos() == 50 && !ruler.Painted.empty(); },
                                "the marker at 50 painted"));
    ruler.Painted.clear();
    QTest::mouseMove(&ruler, QPoint(10, 70));
    const QRegion lines = QRegion(0, 50, 30, 1) + QRegion(0, 70, 30, 1);
    auto painted = [&] {
        QRegion all;
        for (const QRegion& r : ruler.Painted) all += r;
        return all;
    };
    // The two lines may be painted in one paint or in two.
    ASSERT_TRUE(mwtest::WaitFor([&] { return painted().intersected(lines) == lines; }, "both lines painted"));
    QCoreApplication::processEvents();
    EXPECT_EQ(ruler.MarkerPos(), 70);
    EXPECT_EQ(painted(), lines) << "more than the old and the new line was painted";
    const QImage img = ruler.grab().toImage();
    EXPECT_EQ(img.pixel(5, 70), qRgb(255, 255, 255));
    EXPECT_NE(img.pixel(5, 50), qRgb(255, 255, 255));
}

class RulerContainerTest : public DesignPage {};

TEST_F(RulerContainerTest, OneRulerPerBandHiddenOrCutAtTheEdge)
{
    const int heights[] = {50, 60, 70, 20, 20};   // tops 0, 50, 110, 180, 200
    for (size_t i = 0; i < 5; ++i) page.Bands()[i]->Height = heights[i];
    page.PageSetup.SetUnits(unitMiliMeters);
    TDaxRulerContainer c;
    c.resize(24, 150);
    c.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&c));
    c.SetReport(&report);
    ASSERT_EQ(c.Rulers().size(), 5u);
    struct Expect {
        bool visible;
        QRect geometry;
    };
    const Expect expect[] = {
        {true, {0, 0, 24, 50}}, {true, {0, 50, 24, 60}}, {true, {0, 110, 24, 40}}, {false, {}}, {false, {}},
    };
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(c.Rulers()[i]->isVisible(), expect[i].visible);
        if (expect[i].visible) {
            EXPECT_EQ(c.Rulers()[i]->geometry(), expect[i].geometry);
        }
        EXPECT_EQ(c.Rulers()[i]->Orientation(), Qt::Vertical);
        EXPECT_EQ(c.Rulers()[i]->Units(), unitMiliMeters);
    }
    // A single border puts every ruler 2 pixels lower.
    c.SetSingleBorder(true);
    EXPECT_EQ(c.Rulers()[0]->geometry(), QRect(0, 2, 24, 50));
    EXPECT_EQ(c.Rulers()[2]->geometry(), QRect(0, 112, 24, 38));
    // Growing the container shows what it hid.
    c.resize(24, 400);
    EXPECT_TRUE(c.Rulers()[4]->isVisible());
    EXPECT_EQ(c.Rulers()[4]->geometry(), QRect(0, 202, 24, 20));
    // A band more, a ruler more; no report, no rulers.
    DaxBuild::Band<TDaxBand>(page, "Extra", 10);
    c.UpdateRulers();
    EXPECT_EQ(c.Rulers().size(), 6u);
    c.SetReport(nullptr);
    EXPECT_TRUE(c.Rulers().empty());
}
