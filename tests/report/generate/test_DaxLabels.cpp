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

namespace {

// A BMP file (BITMAPFILEHEADER, BITMAPINFOHEADER, 24-bit rows padded to four bytes) of
// width x height grey pixels, `ppm` pixels per metre both ways.
std::vector<uint8_t> GreyBmp(int width, int height, int ppm)
{
    const int row = (width * 3 + 3) / 4 * 4;
    const int bits = row * height;
    std::vector<uint8_t> f;
    auto u16 = [&f](int v) {
        f.push_back(static_cast<uint8_t>(v));
        f.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto u32 = [&](int v) {
        u16(v & 0xFFFF);
        u16((v >> 16) & 0xFFFF);
    };
    f.push_back('B');
    f.push_back('M');
    u32(14 + 40 + bits);   // file size
    u32(0);                // reserved
    u32(14 + 40);          // offset of the pixels
    u32(40);               // header size
    u32(width);
    u32(height);
    u16(1);    // planes
    u16(24);   // bits per pixel
    u32(0);    // no compression
    u32(bits);
    u32(ppm);
    u32(ppm);
    u32(0);   // colours used
    u32(0);   // colours important
    f.insert(f.end(), static_cast<size_t>(bits), 0x80);
    return f;
}

} // namespace

TEST_F(DaxLabels, ImageLabelsMeasureAndPlaceThePicturePrinted)
{
    // 9449 pixels per metre is 240 pixels per inch: a 60 x 30 pixel picture is a quarter
    // by an eighth of an inch, 24 x 12 report pixels; 240 x 120 pixels are 96 x 48. The
    // detail band (20 pixels, stretching) starts at y 68, its label at x 48.
    struct Case {
        int width, height;
        bool fromVariable, center;
        Strings images;   // where the recorded pictures were drawn, each row's in turn
        Strings frames;   // the bottom bar of the frame round each row's picture
    };
    const Case cases[] = {
        {60, 30, false, true, {"image 86,87,110,99 60x30", "image 86,107,110,119 60x30"}, {"fill 86,100,112,101", "fill 86,120,112,121"}},
        {60, 30, true, true, {"image 86,87,110,99 60x30", "image 86,107,110,119 60x30"}, {"fill 86,100,112,101", "fill 86,120,112,121"}},
        {240, 120, true, false, {"image 48,68,144,116 240x120", "image 48,116,144,164 240x120"}, {"fill 48,117,146,118", "fill 48,165,146,166"}},
        {240, 120, false, false, {"image 48,68,144,116 240x120", "image 48,116,144,164 240x120"}, {"fill 48,117,146,118", "fill 48,165,146,166"}},
    };
    rows = {"x", "y"};
    page.Detail->Labels().front()->SetParent(nullptr);
    page.Detail->Stretch = true;
    auto& picture = ExprVar(page, "Picture", dtypeGraphic);
    std::vector<uint8_t> bytes;
    picture.OnGetData = [&bytes](TDaxVar& v) {
        TMemoryStream s;
        s.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
        s.SetPosition(0);
        v.SetAsStream(s);
    };
    auto& image = Label<TDaxImageLabel>(*page.Detail, "Image", 0, 0, 100, 50);
    image.BorderType = btSingle;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << (c.fromVariable ? " from the variable" : " stored"));
        bytes = GreyBmp(c.width, c.height, 9449);
        image.Picture = c.fromVariable ? std::vector<uint8_t>{} : bytes;
        image.SetVariable(c.fromVariable ? &picture : nullptr);
        image.Center = c.center;
        image.Height = c.center ? 50 : 17;
        windows->viewer.reset();
        report.Run();
        Strings images, frames;
        for (const auto& call : FirstPageCalls(Document())) {
            if (call.rfind("image ", 0) == 0) images.push_back(call);
            for (const auto& f : c.frames)
                if (call.rfind(f + " ", 0) == 0) frames.push_back(f);
        }
        EXPECT_EQ(images, c.images);
        EXPECT_EQ(frames, c.frames);
    }
    // Bytes that are no picture, or a BMP cut short, print nothing and leave the band as it is.
    image.Picture.clear();
    image.SetVariable(&picture);
    const std::vector<uint8_t> whole = GreyBmp(60, 30, 9449);
    for (const std::vector<uint8_t>& damaged : {std::vector<uint8_t>{'B', 'M', 1, 2, 3}, std::vector<uint8_t>(64, 0xEE),
                                                 std::vector<uint8_t>(whole.begin(), whole.begin() + 40)}) {
        bytes = damaged;
        windows->viewer.reset();
        report.Run();
        const Strings calls = FirstPageCalls(Document());
        EXPECT_FALSE(Has(calls, "image "));
        EXPECT_TRUE(Has(calls, "fill 48,88,149,89 s0"));   // the second row's label border, 20 pixels down
    }
}

namespace {

// The recording device, with the angle of every text that is not upright.
class AngleRecordingDevice : public TRpxRecordingDevice {
protected:
    void DoText(int x, int y, std::string_view text, const TRpxRect* fill, const TRpxRect* clip) override
    {
        TRpxRecordingDevice::DoText(x, y, text, fill, clip);
        if (Font().Escapement != 0) Calls.back() += " angle " + std::to_string(Font().Escapement);
    }
};

Strings FirstPageCallsWithAngles(const std::shared_ptr<TRpxRpxFile>& doc)
{
    AngleRecordingDevice dev;
    doc->PlayPage(dev, 1);
    return dev.Calls;
}

// The dark pixels of an 8 x 8 pattern recorded as "pattern l,t,r,b R0.R1. ... R7".
int DarkPixels(const std::string& call)
{
    const std::string rows = call.substr(call.rfind(' ') + 1);
    int dark = 0;
    for (size_t i = 0; i + 1 < rows.size() + 1; i += 3) dark += 8 - __builtin_popcount(std::stoi(rows.substr(i, 2), nullptr, 16));
    return dark;
}

} // namespace

TEST_F(DaxLabels, ClippingAndRotationOfPrintedTexts)
{
    // The detail label "T" stands at 48,68 .. 113,85; its text anchor is 50,70.
    struct Case {
        bool pageClips;
        TDaxClipTypes clip;
        int rotate;
        const char* text;
    };
    const Case cases[] = {
        {false, ctDefault, 0, "text 50,70 'T' font Arial -13 c0"},
        {true, ctDefault, 0, "text 50,70 'T' font Arial -13 c0 clip 48,68,113,85"},
        {false, ctClip, 0, "text 50,70 'T' font Arial -13 c0 clip 48,68,113,85"},
        {true, ctNoClip, 0, "text 50,70 'T' font Arial -13 c0"},
        {false, ctDefault, 90, "text 50,70 'T' font Arial -13 c0 angle 900"},
        {true, ctDefault, 270, "text 50,70 'T' font Arial -13 c0 clip 48,68,113,85 angle 2700"},
    };
    rows = {"x"};
    page.Detail->Labels().front()->SetParent(nullptr);
    auto& label = static_cast<TDaxTextLabel&>(Top(Text(*page.Detail, "T", "T", 0, 0)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        page.ClipLabels = c.pageClips;
        label.ClipType = c.clip;
        label.RotateFont = c.rotate;
        windows->viewer.reset();
        report.Run();
        const Strings calls = FirstPageCallsWithAngles(Document());
        EXPECT_NE(std::find(calls.begin(), calls.end(), c.text), calls.end());
    }
    // A memo prints its lines upright whatever its angle or the angle drawn before it.
    label.SetParent(nullptr);
    auto& turned = Top(Text(*page.Detail, "Turned", "R", 100, 0));
    turned.RotateFont = 90;
    label.SetParent(page.Detail);
    label.SetWrapText(true);
    windows->viewer.reset();
    report.Run();
    const Strings calls = FirstPageCallsWithAngles(Document());
    EXPECT_TRUE(Has(calls, "text 150,70 'R' font Arial -13 c0 clip 148,68,213,85 angle 900"));
    EXPECT_NE(std::find(calls.begin(), calls.end(), "text 50,70 'T' font Arial -13 c0"), calls.end());
}

TEST_F(DaxLabels, ShadedLabelsAndBands)
{
    // Each shade's pattern darkens as many of its 64 pixels as the shade says: very dark 32,
    // dark 24, medium dark 16, medium 10, medium light 4, light 2. A shaded label is a white
    // rectangle under the pattern; a shaded band's pattern lies one pixel inside each edge
    // of the band (the page header: x 48 .. 768, y 48 .. 68).
    struct Case {
        TRpxShadePercent shade;
        int dark;
    };
    const Case cases[] = {{spVeryDark, 32}, {spDark, 24}, {spMedDark, 16}, {spMedium, 10}, {spMedLight, 4}, {spLight, 2}};
    rows = {"x"};
    auto& label = *page.Detail->Labels().front();
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.shade));
        label.SetShade(c.shade);
        EXPECT_FALSE(label.Transparent);
        page.PageHead->Shade = c.shade;
        windows->viewer.reset();
        report.Run();
        const Strings calls = FirstPageCalls(Document());
        const auto at = [&calls](const std::string& prefix) {
            return std::find_if(calls.begin(), calls.end(), [&](const std::string& s) { return s.rfind(prefix, 0) == 0; });
        };
        const auto labelPattern = at("pattern 48,68,113,85 ");
        ASSERT_NE(labelPattern, calls.end());
        EXPECT_EQ(DarkPixels(*labelPattern), c.dark);
        EXPECT_EQ(*(labelPattern - 1), "fill 48,68,113,85 s0 c16777215");
        const auto bandPattern = at("pattern 49,49,767,67 ");
        ASSERT_NE(bandPattern, calls.end());
        EXPECT_EQ(DarkPixels(*bandPattern), c.dark);
        // The label's text is drawn over its shade.
        EXPECT_GT(at("text 50,70 'x'"), labelPattern);
    }
}

TEST_F(DaxLabels, TextAnchorsFollowTheAlignments)
{
    // A label 101 x 17 at the detail band's origin 48,68 with a border margin of 3: anchors x
    // 51 (left), 98 (centre, the half width truncated), 146 (right) and y 71 (top), 76 (middle), 82 (bottom). The text
    // is aligned on the anchor: centred or right-ended on x (the player's "T" is 6 pixels
    // wide), top, baseline (ascent 10) or bottom (height 13) on y.
    struct Case {
        TDaxHorizontalAlign h;
        TDaxVerticalAlign v;
        const char* text;
    };
    const Case cases[] = {
        {laLeft, laTop, "text 51,71 'T'"},    {laCenter, laTop, "text 95,71 'T'"},    {laRight, laTop, "text 140,71 'T'"},
        {laLeft, laMiddle, "text 51,66 'T'"}, {laCenter, laMiddle, "text 95,66 'T'"}, {laRight, laMiddle, "text 140,66 'T'"},
        {laLeft, laBottom, "text 51,69 'T'"}, {laCenter, laBottom, "text 95,69 'T'"}, {laRight, laBottom, "text 140,69 'T'"},
    };
    rows = {"x"};
    page.Detail->Labels().front()->SetParent(nullptr);
    auto& label = Text(*page.Detail, "T", "T", 0, 0, 101, 17);
    label.BorderMargin = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        label.AlignHorizontal = c.h;
        label.AlignVertical = c.v;
        windows->viewer.reset();
        report.Run();
        EXPECT_TRUE(Has(FirstPageCalls(Document()), c.text));
    }
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

TEST_F(DaxLabels, BordersOfEachType)
{
    // A label at 248,68 .. 298,85: a single border is four one-pixel bars (top and bottom
    // running one pixel past the right edge), an underline only the bottom one.
    struct Case {
        TDaxBorderType type;
        Strings bars;
    };
    const Case cases[] = {
        {btNone, {}},
        {btSingle, {"fill 248,68,299,69", "fill 298,68,299,85", "fill 248,68,249,85", "fill 248,85,299,86"}},
        {btUnderLine, {"fill 248,85,299,86"}},
    };
    rows = {"x"};
    auto& t = Label<TDaxTextLabel>(*page.Detail, "Boxed", 200, 0, 50, 17);
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        t.BorderType = c.type;
        windows->viewer.reset();
        report.Run();
        Strings bars;
        for (const auto& call : FirstPageCalls(Document()))
            if (call.rfind("fill 2", 0) == 0 && call.find(" s0 c0") != std::string::npos) bars.push_back(call.substr(0, call.find(" s0")));
        EXPECT_EQ(bars, c.bars);
    }
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

TEST(DaxLabelDefaults, NewLabelsAndBandsStartAsTheirTablesSay)
{
    TDaxLabel base;
    EXPECT_EQ((std::vector<int>{base.Width, base.Height, base.BorderMargin, base.RotateFont, base.Row}),
              (std::vector<int>{65, 17, 2, 0, 0}));
    EXPECT_EQ(base.ClipType, ctDefault);
    EXPECT_EQ(base.AlignVertical, laBottom);
    EXPECT_EQ(base.AlignHorizontal, laLeft);
    EXPECT_EQ(base.BorderType, btNone);
    EXPECT_EQ(base.Shade, spNone);
    EXPECT_TRUE(base.Transparent);
    EXPECT_TRUE(base.RtfPrint);
    EXPECT_FALSE(base.WrapText || base.Stretch);

    TDaxTextLabel text;
    EXPECT_EQ(text.WrapHeightPercent, 100);
    EXPECT_FALSE(text.JustifyMemo || text.SuppressBlankLines || text.SuppressWhiteSpace);
    TDaxvarlabel var;
    EXPECT_FALSE(var.SuppressRepeats);

    TDaxCheckLabel check;
    EXPECT_EQ((std::pair{check.Width, check.Height}), (std::pair{12, 12}));
    EXPECT_EQ(check.CheckStyle, csCross);

    TDaxTotalvarLabel total;
    EXPECT_TRUE(total.AutoLevel);
    EXPECT_EQ(total.TotalType, ttSum);
    EXPECT_EQ(total.AlignVertical, laBottom);
    EXPECT_EQ(total.AlignHorizontal, laRight);
    EXPECT_EQ(total.BorderMargin, 2);

    TDaxLine line;
    EXPECT_EQ(line.LineType, ltHorizontal);
    EXPECT_EQ(line.AlignVertical, laBottom);
    EXPECT_EQ(line.AlignHorizontal, laLeft);

    TDaxImageLabel image;
    EXPECT_FALSE(image.Center || image.Stretch);
    EXPECT_EQ(image.BorderType, btNone);

    // Without a band a divider is 2 wide and 1000 high.
    TDaxVerticalDivider divider;
    EXPECT_EQ((std::vector<int>{divider.DividerWidth(), divider.Width, divider.Height}), (std::vector<int>{1, 2, 1000}));
    EXPECT_EQ(divider.DividerColor, 0u);

    TDaxOverlayBand overlay;
    EXPECT_TRUE(overlay.First && overlay.UseMargins);
    EXPECT_EQ((std::vector<int>{overlay.Order, overlay.TopOffset, overlay.LeftOffset}), (std::vector<int>{0, 0, 0}));
}
