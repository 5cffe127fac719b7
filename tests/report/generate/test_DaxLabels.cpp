#include "ReportFixture.h"

#include "platform/streaming/ComponentStream.h"

#include <algorithm>

namespace {

using Strings = std::vector<std::string>;

// The recorded calls of the first page.
Strings FirstPageCalls(const std::shared_ptr<TRpxRpxFile>& doc)
{
    TRpxRecordingDevice dev;
    doc->PlayPage(dev, 1);
    return dev.Calls;
}

bool Has(const Strings& calls, const std::string& prefix)
{
    return std::any_of(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
}

} // namespace

using DaxLabels = ReportFixture;

TEST_F(DaxLabels, LinesAreFilledRectanglesInThePenColour)
{
    rows = {"x"};
    struct Case {
        TDaxLineType type;
        TDaxVerticalAlign v;
        TDaxHorizontalAlign h;
        int width;
        const char* fill;   // the detail band's label rectangle is 48,68 .. 148,85
    };
    const Case cases[] = {
        {ltHorizontal, laBottom, laLeft, 2, "fill 48,83,149,85 s0 c255"},
        {ltHorizontal, laTop, laLeft, 1, "fill 48,68,149,69 s0 c255"},
        {ltHorizontal, laMiddle, laLeft, 1, "fill 48,76,149,77 s0 c255"},
        {ltVertical, laTop, laRight, 3, "fill 145,68,148,86 s0 c255"},
        {ltVertical, laTop, laCenter, 1, "fill 98,68,99,86 s0 c255"},
    };
    auto& line = Label<TDaxLine>(*page.Detail, "Rule", 0, 0, 100, 17);
    for (const Case& c : cases) {
        line.LineType = c.type;
        line.AlignVertical = c.v;
        line.AlignHorizontal = c.h;
        line.Pen = TRpxPen{0xFF, rpsSolid, c.width, rpmCopy};
        windows->viewer.reset();
        report.Run();
        const Strings calls = FirstPageCalls(Document());
        EXPECT_TRUE(Has(calls, c.fill)) << c.fill;
    }
    line.LineType = ltDiagonalLeft;
    windows->viewer.reset();
    report.Run();
    EXPECT_TRUE(Has(FirstPageCalls(Document()), "line 48,68-148,85"));
}

TEST_F(DaxLabels, SuppressedRepeatDrawsNothingNotEvenItsBorder)
{
    rows = {"a", "a", "b"};
    auto& l = static_cast<TDaxvarlabel&>(*page.Detail->Labels().front());
    l.SuppressRepeats = true;
    l.BorderType = btSingle;
    report.Run();
    const auto pages = Pages(true);
    ASSERT_EQ(pages.size(), 1u);
    const Strings& p = pages[0];
    EXPECT_EQ(std::count(p.begin(), p.end(), "a@70"), 1);
    EXPECT_EQ(std::count(p.begin(), p.end(), "b@110"), 1);
    // The bottom bar of the border: first and third row only.
    EXPECT_EQ(std::count(p.begin(), p.end(), "fill 48,85,114,86"), 1);
    EXPECT_EQ(std::count(p.begin(), p.end(), "fill 48,105,114,106"), 0);
    EXPECT_EQ(std::count(p.begin(), p.end(), "fill 48,125,114,126"), 1);
}

TEST_F(DaxLabels, ConditionsAndEventsOfLabels)
{
    Rows(3);
    auto& l = *page.Detail->Labels().front();
    int before = 0, after = 0;
    l.OnBeforePrint = [&](TDaxLabel&) { ++before; };
    l.OnAfterPrint = [&](TDaxLabel&) { ++after; };
    l.LabelPrintWhen = [&](TDaxLabel&, bool& r) {
        if (row == 2) throw Exception("no condition");   // a failing condition is a refusal
        r = row != 1;
    };
    report.Run();
    EXPECT_EQ(Texts(Pages()[0]), (Strings{"Title", "r0", "End"}));
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
}

TEST_F(DaxLabels, VerticalDividerFiresItsEventsTwice)
{
    rows = {"x"};
    auto& d = Label<TDaxVerticalDivider>(*page.Detail, "Div", 30, 1, 2, 19);
    d.SetDividerWidth(3);
    EXPECT_EQ(d.Width, 4);
    int before = 0, conditions = 0;
    d.OnBeforePrint = [&](TDaxLabel&) { ++before; };
    d.LabelPrintWhen = [&](TDaxLabel&, bool& r) {
        ++conditions;
        r = true;
    };
    report.Run();
    EXPECT_EQ(before, 2);
    EXPECT_GE(conditions, 2);
    EXPECT_TRUE(Has(FirstPageCalls(Document()), "fill 78,68,81,"));
}

TEST_F(DaxLabels, VerticalDividerRunsTheHeightOfItsBand)
{
    // The detail band is 20 pixels high at y 68: printed whole, a divider covers its rows
    // 68 .. 86 whatever bounds it was given, also after the band grew and when read from a
    // stream that says otherwise; in a stretching band it takes the slice's 20 rows.
    rows = {"x"};
    auto& d = Label<TDaxVerticalDivider>(*page.Detail, "Div", 30, 0, 2, 1000);
    EXPECT_EQ(d.Top, 1);
    EXPECT_EQ(d.Height, 19);
    d.Top = 7;
    d.Height = 1000;
    report.Run();
    EXPECT_TRUE(Has(FirstPageCalls(Document()), "fill 78,68,79,87 s0"));

    page.Detail->Height = 40;
    windows->viewer.reset();
    report.Run();
    EXPECT_TRUE(Has(FirstPageCalls(Document()), "fill 78,68,79,107 s0"));
    page.Detail->Height = 20;

    page.Detail->Stretch = true;
    windows->viewer.reset();
    report.Run();
    EXPECT_TRUE(Has(FirstPageCalls(Document()), "fill 78,68,79,88 s0"));
    page.Detail->Stretch = false;

    report.SetName("DividerReport");
    std::string text = WriteComponentText(report);
    const size_t at = text.find("Div : TDaxVerticalDivider");
    ASSERT_NE(at, std::string::npos);
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"Top = 1", "Top = 6"}, {"Height = 19", "Height = 400"}}) {
        const size_t p = text.find(from, at);
        ASSERT_NE(p, std::string::npos) << text.substr(at, 300);
        text.replace(p, from.size(), to);
    }
    auto loaded = ReadComponentTextAs<TDaxReport>(text, nullptr, nullptr);
    auto* divider = dynamic_cast<TDaxVerticalDivider*>(loaded->Pages().front()->FindComponent("Div"));
    ASSERT_NE(divider, nullptr);
    EXPECT_EQ(divider->Top, 1);
    EXPECT_EQ(divider->Height, 19);
}

TEST_F(DaxLabels, CheckLabelDrawsItsMarkForTrue)
{
    rows = {"x"};
    auto& flag = ExprVar(page, "Flag", dtypeBoolean);
    flag.OnGetData = [](TDaxVar& v) { v.SetAsBoolean(true); };
    auto& check = Label<TDaxCheckLabel>(*page.Detail, "Check", 200, 2, 12, 12);
    check.SetVariable(&flag);
    check.CheckStyle = csCheck;
    report.Run();
    const Strings calls = FirstPageCalls(Document());
    const size_t shapes = static_cast<size_t>(std::count_if(calls.begin(), calls.end(), [](const std::string& c) {
        return c.rfind("line", 0) == 0 || c.rfind("polyline", 0) == 0;
    }));
    EXPECT_GT(shapes, 0u);

    flag.OnGetData = [](TDaxVar& v) { v.SetAsBoolean(false); };
    windows->viewer.reset();
    report.Run();
    const Strings none = FirstPageCalls(Document());
    EXPECT_LT(std::count_if(none.begin(), none.end(), [](const std::string& c) {
                  return c.rfind("line", 0) == 0 || c.rfind("polyline", 0) == 0;
              }),
              static_cast<long>(shapes));
}

TEST_F(DaxLabels, TotalsPerGroupAndReport)
{
    auto& amount = ExprVar(page, "Amount", dtypeFloat);
    amount.OnGetData = [this](TDaxVar& v) { v.SetAsFloat(row >= 0 && row < 4 ? (row + 1) * 1.5 : 0.0); };
    auto& total = Total(page, "Sum", amount);
    Rows(4);
    auto& label = Label<TDaxTotalvarLabel>(*page.Foot, "ReportSum", 0, 0, 100, 17);
    label.AlignVertical = laTop;
    label.AlignHorizontal = laLeft;
    label.SetTotalVariable(&total);
    label.AutoLevel = false;
    label.SetLevel(page.Foot->Updatelevel);
    report.Run();
    const auto texts = Texts(Pages()[0]);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "15.00"), texts.end()) << ::testing::PrintToString(texts);
}

TEST_F(DaxLabels, TextLabelWithoutCaptionDrawsOnlyBackgroundAndBorder)
{
    rows = {"x"};
    auto& t = Label<TDaxTextLabel>(*page.Detail, "Empty", 200, 0, 50, 17);
    t.Transparent = false;
    t.Color = 0x00FF00;
    t.BorderType = btSingle;
    EXPECT_EQ(t.GetDesignText(), "");
    t.DesignPaint = true;
    EXPECT_EQ(t.GetDesignText(), "Fill in caption.");
    t.DesignPaint = false;
    report.Run();
    const Strings calls = FirstPageCalls(Document());
    EXPECT_TRUE(Has(calls, "fill 248,68,298,85 s0 c65280"));
    EXPECT_TRUE(Has(calls, "fill 248,68,299,69 s0 c0"));   // top bar of the border
}

TEST_F(DaxLabels, LabelNeedsABandAsParent)
{
    auto* l = new TDaxTextLabel(&page);
    EXPECT_THROW(l->SetParent(&page), EInvalidOperation);
    auto* b = new TDaxBand(&page);
    EXPECT_THROW(b->SetParent(&report), EInvalidOperation);
    auto* guide = new TDaxDataSourceGuide(&page);
    EXPECT_THROW(guide->SetParent(b), EInvalidOperation);
    guide->SetParent(&page);
    EXPECT_EQ(guide->UpdateLevel(), page.Detail->Updatelevel);   // the detail band's by default
}
