// Report definitions through component streams: round trips of every class, the stream's
// edge cases, references and events resolved after loading, and damaged streams.
#include "ReportFixture.h"

#include "platform/streaming/ComponentStream.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The handlers a definition's events are bound to, as an owner form offers them.
struct Handlers {
    TStreamEvents events;
    std::vector<std::string> calls;
    Handlers()
    {
        events.Add<TDaxReport::TPrintEvent>("ReportBefore", [this](TDaxReport&) { calls.push_back("ReportBefore"); });
        events.Add<TDaxReportPage::TNotify>("PageStart", [this](TDaxReportPage& p) {
            calls.push_back("PageStart");
            p.DataFinished = true;
        });
        events.Add<TDaxReportPage::TNotify>("PageSkip", [this](TDaxReportPage& p) { p.DataFinished = true; });
        events.Add<TDaxBand::TPrintEvent>("BandBefore", [this](TDaxBand& b) { calls.push_back("BandBefore " + b.Name()); });
        events.Add<TDaxLabel::TPrintWhenEvent>("LabelWhen", [](TDaxLabel&, bool& r) { r = true; });
        events.Add<TDaxExprVar::TGetDataEvent>("GetData", [](TDaxVar&) {});
        events.Add<std::function<void(TDaxGroup&)>>("GroupBroken", [](TDaxGroup&) {});
        events.Add<std::function<void(TDaxSubDataBand&)>>("SubStart", [](TDaxSubDataBand& b) { b.DataFinished = true; });
    }
};

template <class F>
void Bind(TDaxComponent& c, const std::string& event, F& field, const std::string& handler)
{
    field = [](auto&&...) {};
    c.EventNames.Set(event, handler);
}

// One of every class, each with properties away from their defaults.
std::unique_ptr<TDaxReport> EveryClass()
{
    auto report = std::make_unique<TDaxReport>();
    report->SetName("Report");
    report->Minimized = true;
    report->Prompt = false;
    report->SuppressStatus = true;
    report->PixelsPerInch = 120;
    report->Design = {10, 20, 640, 480, 3, 4, 5};
    Bind(*report, "OnBeforePrint", report->OnBeforePrint, "ReportBefore");

    TDaxReportPage& page = Page(*report, "Page1");
    DefaultBands(page, 20);
    TDaxPageSetup& s = page.PageSetup;
    s.SetOrientation(poLandscape);
    s.SetSize(psA4);
    s.SetSource(psUpper);
    s.SetDuplex(pdDuplexLongEdge);
    s.SetCopies(3);
    s.SetPrintQuality(pqDraft);
    s.SetTrueTypeOption(ttBitmap);
    s.SetLeftMargin(1.0);
    s.SetBottomMargin(0.75);
    s.SetColor(false);
    s.RangeStart = 2;
    s.RangeEnd = 5;
    s.Destination = destPrinter;
    s.AdjustMargin = false;
    s.PreviewSettings().ModalPreview = mpModal;
    s.PreviewSettings().Zoom = azWidth;
    s.TextDriverCompatibility = true;
    s.DirectPrinter = true;
    s.CollatedCopies = false;
    s.FormName = "Tray \"2\"";
    page.TwoPass = true;
    page.ClipLabels = true;
    page.BorderType = btSingle;
    page.OutputType = otRichText;
    page.RpxFileName = "out.rpx";
    page.Description = "All classes";
    page.CloseDataSet = true;
    page.DataRange = drSingleRecord;
    page.OmitLastPgFt = true;
    page.RtfFile = "out.rtf";
    page.NoDataQuit = true;
    page.NoRecordCount = true;
    page.CloseDataSources = false;
    page.GroupPageBreaks = true;
    Bind(page, "OnDataStart", page.OnDataStart, "PageStart");
    Bind(page, "OnDataSkip", page.OnDataSkip, "PageSkip");

    TDaxBand& detail = *page.Detail;
    detail.Color = 0x123456;
    detail.Font.Name = "Courier New";
    detail.Font.Bold = detail.Font.Underline = true;
    detail.Stretch = detail.NewPage = detail.NewPageRepeat = detail.KeepTogether = true;
    detail.BorderType = btUnderLine;
    detail.Shade = spLight;
    detail.ReserveSpace.Band = page.PageFoot;
    detail.ReserveSpace.BandCount = 2;
    detail.ReserveSpace.Space = 5;
    Bind(detail, "OnBeforePrint", detail.OnBeforePrint, "BandBefore");

    auto* db = new TDaxDBVar(&page);
    db->SetName("DbVar");
    db->SetParent(&page);
    db->SetDataField("Name");
    db->SetUpdateLevel(detail.Updatelevel);
    TDaxExprVar& expr = ExprVar(page, "Expr", dtypeFloat);
    Bind(expr, "OnGetData", expr.OnGetData, "GetData");
    expr.AutoVar = true;
    // With the levels that loading would give them by default.
    auto* when = new TDaxDateTimeVar(&page);
    when->SetName("When");
    when->SetParent(&page);
    when->SetUpdateLevel(page.Head->Updatelevel);
    auto* pageNo = new TDaxPageVar(&page);
    pageNo->SetName("PageNo");
    pageNo->SetParent(&page);
    pageNo->SetUpdateLevel(page.PageHead->Updatelevel);
    TDaxTotalvar& total = Total(page, "Sum", expr);
    total.IgnoreNulls = true;

    TDaxGroup& group = Group(page, "Group1", &expr, 15, 12);
    Bind(group, "OnCheckBroken", group.OnCheckBroken, "GroupBroken");
    auto& sub = Band<TDaxSubBand>(page, "Sub1", 10, &detail);
    sub.Above = true;
    auto& overlay = Band<TDaxOverlayBand>(page, "Overlay1", 30);
    overlay.First = false;
    overlay.TopOffset = 7;
    overlay.LeftOffset = 8;
    overlay.UseMargins = false;
    auto& subData = Band<TDaxSubDataBand>(page, "SubData1", 18, &detail);
    subData.DataRange = drSingleRecord;
    subData.CloseDataSet = true;
    Bind(subData, "OnDataStart", subData.OnDataStart, "SubStart");
    Band<TDaxDataHeadBand>(page, "DataHead1", 11, &subData);
    Band<TDaxDataFootBand>(page, "DataFoot1", 9, &subData);
    auto* guide = new TDaxDSGuide(&page);
    guide->SetName("Guide1");
    guide->SetParent(&page);
    guide->CreateVariables = false;
    guide->SetUpdateLevel(page.PageHead->Updatelevel);
    auto* sourceGuide = new TDaxDataSourceGuide(&page);
    sourceGuide->SetName("Guide2");
    sourceGuide->SetParent(&page);

    TDaxTextLabel& text = Text(*page.PageHead, "Title", "Line \\ one\ttab", 5, 6, 70, 18);
    text.AutoSize = true;
    text.ClipType = ctClip;
    text.AlignVertical = laMiddle;
    text.AlignHorizontal = laCenter;
    text.BorderType = btSingle;
    text.SetWrapText(true);
    text.RotateFont = 90;
    text.SetShade(spDark);
    text.BorderMargin = 4;
    text.Pen.Color = 0xFF;
    text.Pen.Style = rpsDot;
    text.Pen.Width = 3;
    text.Pen.Mode = rpmXor;
    text.Color = 0xABCDEF;
    text.Font.Size = 14;
    text.Font.Italic = true;
    text.Font.CharSet = 0;
    text.WrapHeightPercent = 150;
    text.JustifyMemo = text.SuppressBlankLines = text.SuppressWhiteSpace = true;
    text.Lines.Add("first");
    text.Lines.Add("");
    text.Lines.Add("third \"quoted\"");
    text.Row = 1;
    text.RtfPrint = false;
    Bind(text, "LabelPrintWhen", text.LabelPrintWhen, "LabelWhen");
    TDaxvarlabel& value = VarLabel(detail, "Value", expr, 0, 0, 100, 17);
    value.SuppressRepeats = true;
    value.DataFormat.SetDisplayFormat("0.00");
    value.DataFormat.SetFloatFormat(TFloatFormat::ffFixed);
    value.DataFormat.SetDigits(3);
    value.DataFormat.SetTextCase(tcUpper);
    value.Caption = "fallback";
    auto& check = Label<TDaxCheckLabel>(detail, "Check", 110, 0, 12, 12);
    check.SetVariable(db);
    check.CheckStyle = csCheck;
    check.Transparent = false;
    auto& sum = Label<TDaxTotalvarLabel>(*page.Foot, "SumLabel", 0, 0, 80, 17);
    sum.SetTotalVariable(&total);
    sum.SetLevel(page.Foot->Updatelevel);
    sum.AutoLevel = false;
    sum.TotalType = ttAverage;
    sum.DataFormat.SetUseCurrencyDecimals(true);
    auto& line = Label<TDaxLine>(*page.PageFoot, "Rule", 0, 1, 500, 2);
    line.LineType = ltDiagonalLeft;
    line.AlignHorizontal = laRight;
    auto& image = Label<TDaxImageLabel>(*page.PageFoot, "Logo", 510, 0, 40, 20);
    image.Picture = {0x42, 0x4D, 0x00, 0xFF, 0x10};
    image.PictureKind = 2;
    image.PictureWidth = 4;
    image.PictureHeight = 3;
    image.Center = true;
    auto& divider = Label<TDaxVerticalDivider>(detail, "Divider", 105, 1, 2, 19);
    divider.SetDividerWidth(3);
    divider.DividerColor = 0x0000FF;
    return report;
}

std::unique_ptr<TDaxReport> Read(const std::string& text, const TStreamEvents* events = nullptr,
                                 TDaxComponent* owner = nullptr)
{
    RegisterDaxReportClasses();
    return ReadComponentTextAs<TDaxReport>(text, owner, events);
}

// A small definition to damage and probe.
const std::string kSmall = R"(R : TDaxReport {
  Prompt = false
  P : TDaxGrouppage {
    ClipLabels = false
    BorderType = btNone
    CloseDataSet = false
    DataRange = drAllRecords
    OmitLastPgFt = false
    Head = @B
    Detail = @B
    Foot = @B
    PageHead = @B
    PageFoot = @B
    B : TDaxBand {
      Height = 20
      BandName = "Detail"
      Updatelevel = @L
      T : TDaxTextLabel {
        Left = 0
        Top = 0
        Width = 65
        Height = 17
        Caption = "x"
      }
    }
    L : TDaxLevel {
    }
    V : TDaxExprVar {
      DataType = dtypeString
      AutoVar = false
      ID = vidExprVar
    }
  }
}
)";

// `base` with line `line` (from 1) replaced.
std::string WithLine(const std::string& base, int line, const std::string& replacement)
{
    std::string out;
    size_t start = 0;
    for (int n = 1; start < base.size(); ++n) {
        size_t end = base.find('\n', start);
        out += (n == line ? replacement : base.substr(start, end - start)) + "\n";
        start = end + 1;
    }
    return out;
}
std::string WithLine(int line, const std::string& replacement) { return WithLine(kSmall, line, replacement); }
// kSmall with the page's data-start event bound to "PageStart".
std::string WithDataStart() { return WithLine(13, "    PageFoot = @B\n    OnDataStart = PageStart"); }

TEST(DaxStreaming, EveryClassWritesReadsAndWritesTheSameText)
{
    Handlers h;
    const std::string first = WriteComponentText(*EveryClass());
    for (const char* cls : {"TDaxReport", "TDaxGrouppage", "TDaxBand", "TDaxSubBand", "TDaxOverlayBand",
                            "TDaxSubDataBand", "TDaxDataHeadBand", "TDaxDataFootBand", "TDaxGroup", "TDaxDSGuide",
                            "TDaxDataSourceGuide", "TDaxvarlabel", "TDaxTextLabel", "TDaxCheckLabel",
                            "TDaxTotalvarLabel", "TDaxLine", "TDaxImageLabel", "TDaxVerticalDivider", "TDaxLevel",
                            "TDaxDBVar", "TDaxExprVar", "TDaxDateTimeVar", "TDaxPageVar", "TDaxTotalvar"})
        EXPECT_NE(first.find(std::string(" : ") + cls + " {"), std::string::npos) << cls;
    auto read = Read(first, &h.events);
    EXPECT_EQ(WriteComponentText(*read), first);

    // A few values as the components hold them again.
    TDaxReportPage* page = read->Pages().at(0);
    EXPECT_EQ(read->PixelsPerInch, 120);
    EXPECT_EQ(read->Design.SWidth, 640);
    EXPECT_EQ(page->PageSetup.Size(), psA4);
    EXPECT_EQ(page->PageSetup.Orientation(), poLandscape);
    EXPECT_DOUBLE_EQ(page->PageSetup.LeftMargin(), 1.0);
    EXPECT_EQ(page->PageSetup.FormName, "Tray \"2\"");
    EXPECT_EQ(page->PageSetup.PreviewSettings().Zoom, azWidth);
    auto* text = dynamic_cast<TDaxTextLabel*>(page->FindComponent("Title"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Caption, "Line \\ one\ttab");
    EXPECT_EQ(text->Lines.Count(), 3);
    EXPECT_EQ(text->Lines[2], "third \"quoted\"");
    EXPECT_TRUE(text->Font.Italic);
    EXPECT_EQ(text->Shade, spDark);
    EXPECT_FALSE(text->Transparent);
    auto* image = dynamic_cast<TDaxImageLabel*>(page->FindComponent("Logo"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Picture, (std::vector<uint8_t>{0x42, 0x4D, 0x00, 0xFF, 0x10}));
    EXPECT_EQ(page->Detail->ReserveSpace.Band, page->PageFoot);
    EXPECT_EQ(page->Detail->ReserveSpace.Reserve(), 2 * 20 + 5);
}

TEST(DaxStreaming, DefaultsAreNotWrittenAndPropertiesWithoutOneAre)
{
    auto report = std::make_unique<TDaxReport>();
    report->SetName("R");
    TDaxReportPage& page = Page(*report, "P");
    const std::string text = WriteComponentText(*report);
    EXPECT_EQ(text.find("Prompt"), std::string::npos);
    EXPECT_EQ(text.find("TwoPass"), std::string::npos);
    EXPECT_NE(text.find("ClipLabels = false"), std::string::npos);
    EXPECT_NE(text.find("BorderType = btNone"), std::string::npos);
    EXPECT_NE(text.find("Height = 11.0"), std::string::npos);
    EXPECT_NE(text.find("Version = vRpx1_0"), std::string::npos);
    // The page's events are unassigned: nothing names a handler.
    EXPECT_EQ(text.find("OnData"), std::string::npos);
    (void)page;
}

TEST(DaxStreaming, MarginsAtTheirDefaultAreNotWrittenAndOneThatDiffersIsWrittenAlone)
{
    auto report = std::make_unique<TDaxReport>();
    report->SetName("R");
    TDaxReportPage& page = Page(*report, "P");
    std::string text = WriteComponentText(*report);
    for (const char* m : {"LeftMargin", "RightMargin", "TopMargin", "BottomMargin"})
        EXPECT_EQ(text.find(m), std::string::npos) << m;
    page.PageSetup.SetLeftMargin(1.0);
    text = WriteComponentText(*report);
    EXPECT_NE(text.find("LeftMargin = 1.0"), std::string::npos);
    for (const char* m : {"RightMargin", "TopMargin", "BottomMargin"}) EXPECT_EQ(text.find(m), std::string::npos) << m;
}

TEST(DaxStreaming, UnitsReadFromAStreamConvertNothingButAChangeOnTheLoadedPageConverts)
{
    auto report = Read(WithLine(4, "    PageSetup = {\n      Units = unitMiliMeters\n      Width = 210.0\n"
                                   "      LeftMargin = 12.7\n      PixelsPerUnit = 3.78\n    }"));
    TDaxPageSetup& s = report->Pages().at(0)->PageSetup;
    EXPECT_EQ(s.Units(), unitMiliMeters);
    EXPECT_DOUBLE_EQ(s.Width(), 210.0);
    EXPECT_DOUBLE_EQ(s.LeftMargin(), 12.7);
    EXPECT_DOUBLE_EQ(s.RightMargin(), 0.5);   // not converted either
    s.SetUnits(unitInches);
    EXPECT_NEAR(s.LeftMargin(), 0.5, 1e-12);
    EXPECT_NEAR(s.Width(), 210.0 / 25.4, 1e-12);

    // The same change on a page read in inches turns the 0.5 in margins into 12.7 mm.
    auto inches = Read(kSmall);
    TDaxPageSetup& i = inches->Pages().at(0)->PageSetup;
    i.SetUnits(unitMiliMeters);
    EXPECT_NEAR(i.TopMargin(), 12.7, 1e-12);
}

TEST(DaxStreaming, VariableIdsReadIgnoringCaseAndAnUnknownOneNamesItself)
{
    EXPECT_NO_THROW(Read(WithLine(31, "      ID = VIDEXPRVAR")));
    try {
        Read(WithLine(31, "      ID = vidNoSuch"));
        ADD_FAILURE();
    } catch (const EComponentStreamError& e) {
        EXPECT_EQ(e.Line(), 31);
        EXPECT_NE(std::string(e.what()).find("Cannot find vidNoSuch in TDaxVarId"), std::string::npos) << e.what();
    }
}

TEST(DaxStreaming, ReferencesAndEventsAreResolvedAfterTheTreeIsRead)
{
    Handlers h;
    auto report = Read(WithDataStart(), &h.events);
    TDaxReportPage* page = report->Pages().at(0);
    // The page names its band before the band is read.
    ASSERT_NE(page->Detail, nullptr);
    EXPECT_EQ(page->Detail->Name(), "B");
    EXPECT_EQ(page->Detail->Updatelevel, page->FindComponent("L"));
    // Loaded gave the variable the detail band's level as its default.
    auto* v = dynamic_cast<TDaxVar*>(page->FindComponent("V"));
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->UpdateLevel(), page->Detail->Updatelevel);
    EXPECT_FALSE(report->Loading());
    EXPECT_FALSE(page->Loading());
    EXPECT_FALSE(v->Loading());
    // The event calls the form's handler.
    report->Run();
    EXPECT_EQ(h.calls, std::vector<std::string>{"PageStart"});
    // Written back by handler name.
    EXPECT_NE(WriteComponentText(*report).find("OnDataStart = PageStart"), std::string::npos);
}

TEST(DaxStreaming, AutoRunRunsOnceTheWholeDefinitionHasLoaded)
{
    Handlers h;
    auto report =
        Read(WithLine(WithDataStart(), 2, "  Prompt = false\n  AutoRun = true\n  OnBeforePrint = ReportBefore"), &h.events);
    EXPECT_EQ(h.calls, (std::vector<std::string>{"ReportBefore", "PageStart"}));
    EXPECT_FALSE(report->Running);
}

TEST(DaxStreaming, ReferencesReachTheOwnerFormsComponents)
{
    TDaxComponent form;
    form.SetName("Form");
    auto* existing = new TDaxLevel(&form);
    existing->SetName("FormLevel");
    auto report = Read(WithLine(17, "      Updatelevel = @FormLevel"), nullptr, &form);
    EXPECT_EQ(report->Pages().at(0)->Detail->Updatelevel, existing);
    EXPECT_EQ(report->Owner(), &form);
}

// Every damage is an error that names its line, and leaves the owner form as it was (the
// sanitizers see anything left behind).
TEST(DaxStreaming, DamagedStreamsAreClearErrorsAndLeaveNothingBehind)
{
    struct Case {
        int line;
        std::string replacement;
        std::string what;
        int errorLine;
    };
    const std::string deep = [] {
        std::string s = "      T : TDaxTextLabel {\n";
        for (int i = 0; i < 100; ++i) s += "      N" + std::to_string(i) + " : TDaxLevel {\n";
        return s;
    }();
    const Case cases[] = {
        {18, "      T : TNoSuchLabel {", "unknown class TNoSuchLabel", 18},
        {23, "        NoSuch = 1", "unknown property T.NoSuch", 23},
        {2, "  Prompt = 1", "R.Prompt: expected a boolean, not an integer", 2},
        {15, "      Height = \"tall\"", "B.Height: expected an integer", 15},
        {15, "      Height = 99999999999", "B.Height: 99999999999 is out of range", 15},
        {5, "    BorderType = btFancy", "P.BorderType: unknown value btFancy", 5},
        {17, "      Updatelevel = @Missing", "B.Updatelevel: no component named Missing", 17},
        {17, "      Updatelevel = @T", "T is of the wrong class for Updatelevel", 17},
        {13, "    PageFoot = @B\n    OnDataStart = NoSuchHandler", "P.OnDataStart: unknown event handler NoSuchHandler", 14},
        {13, "    PageFoot = @B\n    OnDataStart = BandBefore", "the handler does not fit event OnDataStart", 14},
        {26, "    T : TDaxLevel {", "duplicate component name T", 26},
        {26, "    b : TDaxLevel {", "duplicate component name b", 26},
        {29, "      DataType = dtypeString\n      Variable = @V", "unknown property V.Variable", 30},
        {3, "  P : TDaxTextLabel {", "P: ", 3},
        {18, deep, "nest too deep", 0},
        {23, "        Caption = <ABC>", "odd number of hex digits", 23},
        {23, "        Caption = <00>", "T.Caption: expected a string, not a binary value", 23},
        {4, "    PageSetup = { Height = true }", "P.PageSetup.Height: expected a float", 4},
        {4, "    PageSetup = { PreviewSettings = { Zoom = az3 } }", "Zoom: unknown value az3", 4},
        {2, "  Version = vRpx9", "unknown version vRpx9", 2},
        {31, "      ID = 2", "V.ID: expected an identifier", 31},
    };
    Handlers h;
    for (const Case& c : cases) {
        TDaxComponent form;
        form.SetName("Form");
        auto* existing = new TDaxLevel(&form);
        existing->SetName("Existing");
        const std::string text = WithLine(c.line, c.replacement);
        try {
            Read(text, &h.events, &form);
            ADD_FAILURE() << c.replacement;
        } catch (const EComponentStreamError& e) {
            if (c.errorLine) {
                EXPECT_EQ(e.Line(), c.errorLine) << c.replacement << ": " << e.what();
            }
            EXPECT_NE(std::string(e.what()).find(c.what), std::string::npos) << c.replacement << ": " << e.what();
        }
        ASSERT_EQ(form.ComponentCount(), 1) << c.replacement;
        EXPECT_EQ(form.Components(0), existing);
        EXPECT_EQ(existing->Name(), "Existing");
    }
}

// Bands and levels that count how many of them live.
int gLive = 0;
struct TCountedBand : TDaxBand {
    explicit TCountedBand(TDaxComponent* owner) : TDaxBand(owner) { ++gLive; }
    ~TCountedBand() override { --gLive; }
};
struct TCountedLevel : TDaxLevel {
    explicit TCountedLevel(TDaxComponent* owner) : TDaxLevel(owner) { ++gLive; }
    ~TCountedLevel() override { --gLive; }
};

TEST(DaxStreaming, EverythingAFailedReadCreatedIsFreed)
{
    RegisterDaxClass("TCountedBand", [](TDaxComponent* o) -> TDaxComponent* { return new TCountedBand(o); }, nullptr);
    RegisterDaxClass("TCountedLevel", [](TDaxComponent* o) -> TDaxComponent* { return new TCountedLevel(o); }, nullptr);
    const std::string counted = "R : TDaxReport {\n  P : TDaxGrouppage {\n    B : TCountedBand {\n"
                                "      Height = 20\n    }\n    C : TCountedLevel {\n    }\n    L : TCountedLevel {\n    }\n";
    const std::pair<const char*, const char*> endings[] = {
        {"    X : TNoSuchClass {\n    }\n  }\n}\n", "unknown class"},                  // while reading
        {"    Detail = @Nowhere\n  }\n}\n", "no component named Nowhere"},              // while fixing up
        {"    V : TDaxExprVar {\n      ID = vidNoSuch\n    }\n  }\n}\n", "Cannot find"},  // an extra property
        {"  }\n", "ends inside component R"},                                          // cut short
    };
    for (const auto& [ending, what] : endings) {
        TDaxComponent form;
        try {
            Read(counted + ending, nullptr, &form);
            ADD_FAILURE() << ending;
        } catch (const EComponentStreamError& e) {
            EXPECT_NE(std::string(e.what()).find(what), std::string::npos) << e.what();
        }
        EXPECT_EQ(gLive, 0) << ending;
        EXPECT_EQ(form.ComponentCount(), 0) << ending;
    }
    // Read into a page, a band gives its labels to that page: a failure frees them too.
    TDaxReportPage form;
    form.SetName("Form");
    const int before = form.ComponentCount();
    EXPECT_THROW(ReadComponentText("B : TCountedBand {\n  T : TDaxTextLabel {\n    NoSuch = 1\n  }\n}\n", &form),
                 EComponentStreamError);
    EXPECT_EQ(form.ComponentCount(), before);
    EXPECT_EQ(gLive, 0);

    auto report = Read(counted + "  }\n}\n");
    EXPECT_EQ(gLive, 3);
    report.reset();
    EXPECT_EQ(gLive, 0);
}

TEST(DaxStreaming, AStreamCutAfterAnyLineIsAnError)
{
    Handlers h;
    const std::string full = WriteComponentText(*EveryClass());
    for (size_t end = full.find('\n'); end + 1 < full.size(); end = full.find('\n', end + 1)) {
        TDaxComponent form;
        try {
            Read(full.substr(0, end + 1), &h.events, &form);
            ADD_FAILURE() << "read a stream cut after byte " << end;
        } catch (const EComponentStreamError&) {
        }
        EXPECT_EQ(form.ComponentCount(), 0);
    }
}


// Sub bands name their owner band by reference: owners that go round in a circle, or a chain
// deeper than a stream may nest, are refused as the page finishes loading, before the layout
// follows them; a chain within the limit reads and runs.
TEST(DaxStreaming, BandsWhoseOwnersLoopOrNestTooDeepAreRefused)
{
    // Sub bands S1..Sn in place of the level's line; `owner(i)` names the owner of Si.
    const auto subBands = [](int n, bool above, const std::function<std::string(int)>& owner) {
        std::string s;
        for (int i = 1; i <= n; ++i)
            s += "    S" + std::to_string(i) + " : TDaxSubBand {\n      Band = @" + owner(i) + "\n" +
                 (above ? "      Above = true\n" : "") + "    }\n";
        return s + "    L : TDaxLevel {";
    };
    const auto definition = [](const std::string& bands, const std::string& detail) {
        return WithLine(WithLine(WithLine(kSmall, 26, bands), 13, "    PageFoot = @B\n    OnDataStart = PageStart"), 10,
                        "    Detail = @" + detail);
    };
    const auto ring = [](int i) { return "S" + std::to_string(i % 2 + 1); };
    const auto chain = [](int i) { return i == 1 ? std::string("B") : "S" + std::to_string(i - 1); };
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"two above each other", definition(subBands(2, true, ring), "S1")},
        {"two below each other", definition(subBands(2, false, ring), "S1")},
        {"one its own owner", definition(subBands(1, true, [](int) { return std::string("S1"); }), "B")},
        {"a chain too deep", definition(subBands(kMaxStreamDepth + 1, true, chain), "B")},
    };
    Handlers h;
    for (const Case& c : cases) {
        TDaxComponent form;
        try {
            Read(c.text, &h.events, &form);
            ADD_FAILURE() << c.what;
        } catch (const EComponentStreamError& e) {
            EXPECT_NE(std::string(e.what()).find("own each other or nest too deep"), std::string::npos)
                << c.what << ": " << e.what();
        }
        EXPECT_EQ(form.ComponentCount(), 0) << c.what;
    }
    for (bool above : {true, false}) {
        auto report = Read(definition(subBands(kMaxStreamDepth, above, chain), "B"), &h.events);
        const auto& bands = report->Pages().at(0)->Bands();
        EXPECT_EQ(bands.size(), size_t(kMaxStreamDepth) + 1);
        report->Run();
    }
}


// A shaded label keeps the transparency it was written with, whether "Transparent" is written
// before its "Shade" (check and total labels), after it, or not at all (at its default).
TEST(DaxStreaming, ShadedLabelsReadBackAsTransparentAsTheyWere)
{
    for (bool transparent : {true, false}) {
        auto report = std::make_unique<TDaxReport>();
        report->SetName("R");
        TDaxReportPage& page = Page(*report, "P");
        DefaultBands(page, 20);
        TDaxBand& detail = *page.Detail;
        TDaxLabel* labels[] = {&Label<TDaxTextLabel>(detail, "Text", 0, 0, 65, 17),
                               &Label<TDaxCheckLabel>(detail, "Check", 70, 0, 12, 12),
                               &Label<TDaxTotalvarLabel>(detail, "Total", 90, 0, 65, 17)};
        for (TDaxLabel* l : labels) {
            l->SetShade(spMedium);
            l->Transparent = transparent;
        }
        const std::string text = WriteComponentText(*report);
        auto read = Read(text);
        for (TDaxLabel* l : labels) {
            auto* again = dynamic_cast<TDaxLabel*>(read->Pages().at(0)->FindComponent(l->Name()));
            ASSERT_NE(again, nullptr) << l->Name();
            EXPECT_EQ(again->Shade, spMedium) << l->Name();
            EXPECT_EQ(again->Transparent, transparent) << l->Name() << "\n" << text;
        }
        EXPECT_EQ(WriteComponentText(*read), text);
    }
}

TEST(DaxStreaming, BandPropertiesWithoutADefaultAreWrittenAtTheirConstructorValues)
{
    auto report = std::make_unique<TDaxReport>();
    report->SetName("R");
    TDaxReportPage& page = Page(*report, "P");
    DaxBuild::DefaultBands(page);
    DaxBuild::Band<TDaxSubBand>(page, "Sub", 20, page.Detail);
    DaxBuild::Band<TDaxSubDataBand>(page, "SubData", 20, page.Detail);
    const std::string text = WriteComponentText(*report);
    EXPECT_NE(text.find("Above = false"), std::string::npos);
    const size_t subData = text.find("SubData : TDaxSubDataBand");
    ASSERT_NE(subData, std::string::npos);
    EXPECT_NE(text.find("CloseDataSet = false", subData), std::string::npos);
    EXPECT_NE(text.find("DataRange = drAllRecords", subData), std::string::npos);
    EXPECT_EQ(WriteComponentText(*Read(text)), text);
}

}  // namespace
