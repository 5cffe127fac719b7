#include "ReportFixture.h"

namespace {

using Strings = std::vector<std::string>;

} // namespace

using DaxLayout = ReportFixture;

TEST_F(DaxLayout, DetailRowsFillPagesBetweenHeaderAndAnchoredFooter)
{
    Rows(14);
    report.Run();
    EXPECT_FALSE(report.Running);
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    // 12 rows of 20 pixels fit between the header (48..68) and the footer (316..336).
    ASSERT_EQ(pages[0].size(), 14u);
    EXPECT_EQ(pages[0].front(), "Title@50");
    EXPECT_EQ(pages[0][1], "r0@70");
    EXPECT_EQ(pages[0][12], "r11@290");
    EXPECT_EQ(pages[0].back(), "End@318");
    // The last page's footer is anchored to the bottom too.
    EXPECT_EQ(pages[1], (Strings{"Title@50", "r12@70", "r13@90", "End@318"}));
}

TEST_F(DaxLayout, ArrangedOrderFollowsFamiliesAndSubBandOrder)
{
    auto& g = Group(page, "G", value, 20, 20);
    auto& below1 = Band<TDaxSubBand>(page, "Below1", 10, page.Detail);
    auto& above = Band<TDaxSubBand>(page, "Above", 10, page.Detail);
    above.Above = true;
    auto& below0 = Band<TDaxSubBand>(page, "Below0", 10, page.Detail);
    below0.Order = 0;
    below1.Order = 1;
    auto& overlayEnd = Band<TDaxOverlayBand>(page, "OverlayEnd", 10);
    overlayEnd.First = false;
    auto& overlay = Band<TDaxOverlayBand>(page, "Overlay", 10);
    page.Arrange();
    Strings names;
    for (TDaxBand* b : page.Bands()) names.push_back(b->Name());
    EXPECT_EQ(names, (Strings{"ReportHeaderBand", "PageHeaderBand", "GHeader", "Above", "DetailBand", "Below0",
                              "Below1", "GFooter", "PageFooterBand", "ReportFooterBand", "Overlay", "OverlayEnd"}));
    (void)g;
    (void)overlay;
}

TEST_F(DaxLayout, HiddenBandStillPrintsItsAboveSubBand)
{
    Rows(2);
    auto& above = Band<TDaxSubBand>(page, "Spacer", 10, page.Detail);
    above.Above = true;
    Top(Text(above, "Stars", "**", 0, 0));
    page.Detail->Visible = false;
    report.Run();
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(Texts(pages[0]), (Strings{"Title", "**", "**", "End"}));
}

TEST_F(DaxLayout, MemoSlicesFourLinesThenSixOnTheNextPage)
{
    // 10 lines of 13 pixels, border margin 2, with 60 pixels of room left above the footer.
    rows = {"x"};
    page.Detail->Stretch = true;
    page.Detail->Height = 17;
    auto& memo = Label<TDaxTextLabel>(*page.Detail, "Memo", 0, 0, 200, 17);
    memo.SetWrapText(true);
    memo.Caption = "a\nb\nc\nd\ne\nf\ng\nh\ni\nj";
    auto& filler = Band<TDaxSubBand>(page, "Filler", 188, page.Detail);
    filler.Above = true;
    report.Run();
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    // 68 + 188 = 256: 316 - 256 = 60 pixels of room.
    EXPECT_EQ(pages[0], (Strings{"Title@50", "x@258", "a@258", "b@271", "c@284", "d@297", "End@318"}));
    // The continuation starts 1 pixel below the band's top, under the page header.
    EXPECT_EQ(pages[1], (Strings{"Title@50", "e@71", "f@84", "g@97", "h@110", "i@123", "j@136", "End@318"}));
}

class DaxGroups : public ReportFixture {
protected:
    DaxGroups()
    {
        key = &ExprVar(page, "Key", dtypeString);
        key->OnGetData = [this](TDaxVar& v) {
            v.SetAsString(row >= 0 && row < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(row)].substr(0, 1) : "");
        };
    }
    TDaxGroup& KeyGroup()
    {
        auto& g = Group(page, "G", key, 20, 20);
        Top(VarLabel(*g.Header, "HeadKey", *key, 0, 0));
        Top(VarLabel(*g.Footer, "FootKey", *key, 0, 0));
        Top(VarLabel(*g.Footer, "FootValue", *value, 100, 0));
        return g;
    }
    TDaxExprVar* key = nullptr;
};

TEST_F(DaxGroups, FootersShowThePreviousRecordAndHeadersTheNewOne)
{
    rows = {"a1", "a2", "b1"};
    KeyGroup();
    int checks = 0;
    page.Groups().front()->OnCheckBroken = [&](TDaxGroup&) { ++checks; };
    report.Run();
    EXPECT_EQ(Texts(Pages()[0]), (Strings{"Title", "a", "a1", "a2", "a", "a2", "b", "b1", "b", "b1", "End"}));
    EXPECT_EQ(checks, 2);   // before every record from the second on
}

TEST_F(DaxGroups, CheckBrokenMayOverruleTheVariable)
{
    rows = {"a1", "a2"};
    auto& g = KeyGroup();
    g.OnCheckBroken = [&](TDaxGroup& grp) { grp.Broken = true; };
    report.Run();
    EXPECT_EQ(Texts(Pages()[0]), (Strings{"Title", "a", "a1", "a", "a1", "a", "a2", "a", "a2", "End"}));
}

TEST_F(DaxGroups, RepeatedGroupHeaderAfterABreak)
{
    Rows(14, "a");
    auto& g = KeyGroup();
    g.Header->NewPageRepeat = true;
    report.Run();
    auto pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1][0], "Title@50");
    EXPECT_EQ(pages[1][1], "a@70");   // the header again, below the page header
    EXPECT_EQ(pages[1][2], "a11@90");

    g.Header->NewPageRepeat = false;
    windows->viewer.reset();
    report.Run();
    pages = Pages();
    EXPECT_EQ(pages[1][1], "a11@70");
}

TEST_F(DaxGroups, GroupPageBreaksDecidesForInnerHeaders)
{
    auto* inner = &ExprVar(page, "Inner", dtypeString);
    inner->OnGetData = [this](TDaxVar& v) {
        v.SetAsString(row >= 0 && row < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(row)].substr(1, 1) : "");
    };
    rows = {"ax", "by", "bz"};
    KeyGroup();
    auto& g2 = Group(page, "G2", inner, 20, 0);
    g2.Level = 1;
    g2.Header->NewPage = true;
    Top(VarLabel(*g2.Header, "InnerKey", *inner, 0, 0));
    report.Run();
    // Without group page breaks only a break of the inner group itself starts a page.
    auto pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(Texts(pages[0]), (Strings{"Title", "a", "x", "ax", "a", "ax", "b", "y", "by", "End"}));
    EXPECT_EQ(Texts(pages[1]), (Strings{"Title", "z", "bz", "b", "bz", "End"}));

    page.GroupPageBreaks = true;
    windows->viewer.reset();
    report.Run();
    pages = Pages();
    // Every inner header starts a page once something printed on the page, the outer
    // header included.
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(Texts(pages[0]), (Strings{"Title", "a", "End"}));
    EXPECT_EQ(Texts(pages[1]), (Strings{"Title", "x", "ax", "a", "ax", "b", "End"}));
}

TEST_F(DaxGroups, GroupBandsNeverOverlapThePageFooter)
{
    rows.clear();
    for (int i = 0; i < 90; ++i) {
        std::string r(1, static_cast<char>('a' + i / 7));
        r.append(std::to_string(i));
        rows.push_back(r);
    }
    KeyGroup();
    report.Run();
    const auto pages = Pages();
    ASSERT_GT(pages.size(), 5u);
    for (const auto& p : pages)
        for (const auto& s : p) {
            const int y = std::stoi(s.substr(s.find('@') + 1));
            if (s.rfind("End@", 0) == 0)
                EXPECT_EQ(y, 318);
            else
                EXPECT_LE(y, 316 - 20 + 2) << s;
        }
}

TEST_F(DaxLayout, FooterAnchoredWhateverTheFooterHeightAndOmittedOnTheLastPage)
{
    Rows(1);
    auto& second = Band<TDaxSubBand>(page, "FootSub", 30, page.PageFoot);
    Top(Text(second, "Below", "Below", 0, 0));
    page.OmitLastPgFt = false;
    report.Run();
    // Footer family 50 pixels: from 286 to 336.
    EXPECT_EQ(Pages()[0], (Strings{"Title@50", "r0@70", "End@288", "Below@308"}));

    page.OmitLastPgFt = true;
    windows->viewer.reset();
    report.Run();
    EXPECT_EQ(Texts(Pages()[0]), (Strings{"Title", "r0"}));
}

TEST_F(DaxLayout, BeforeNewPageVetoHoldsOnlyWhenRoomWasMade)
{
    Rows(14);
    int calls = 0;
    page.OnBeforeNewPage = [&](TDaxReportPage&, bool& doNewPage) {
        ++calls;
        doNewPage = false;
    };
    report.Run();
    EXPECT_EQ(Pages().size(), 2u);
    EXPECT_GT(calls, 0);

    windows->viewer.reset();
    page.Foot->Visible = false;
    bool vetoed = false;
    page.OnBeforeNewPage = [&](TDaxReportPage& p, bool& doNewPage) {
        if (vetoed) return;
        vetoed = true;
        p.YPos -= 40;
        doNewPage = false;
    };
    report.Run();
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0][13], "r12@270");
}

TEST_F(DaxLayout, NewPageAndReserveSpace)
{
    Rows(3);
    page.Detail->NewPage = true;   // the first detail band follows the header on its page
    report.Run();
    EXPECT_EQ(Pages().size(), 3u);

    page.Detail->NewPage = false;
    auto& reserve = Band<TDaxBand>(page, "Reserved", 20);
    page.Detail->ReserveSpace.Band = &reserve;
    page.Detail->ReserveSpace.BandCount = 2;
    page.Detail->ReserveSpace.Space = 5;
    EXPECT_EQ(page.Detail->ReserveSpace.Reserve(), 45);
    Rows(14);
    windows->viewer.reset();
    report.Run();
    // A row needs 65 pixels below its top: 10 rows fit (68 + 9 x 20 + 65 < 316).
    EXPECT_EQ(Pages()[0][10], "r9@250");
    EXPECT_EQ(Pages()[1][1], "r10@70");
}

class DaxStretch : public ReportFixture {
protected:
    // A detail band whose wrapped label needs 15 lines of 13 pixels (199 pixels), below a
    // spacer that leaves `room` pixels above the footer.
    void Setup(int room)
    {
        rows = {"x"};
        page.Detail->Labels().front()->SetParent(nullptr);
        page.Detail->Stretch = true;
        page.Detail->Height = 17;
        auto& memo = Label<TDaxTextLabel>(*page.Detail, "Memo", 0, 0, 200, 17);
        memo.SetWrapText(true);
        std::string text;
        for (int i = 0; i < 15; ++i) {
            text.push_back(static_cast<char>('a' + i));
            text.push_back('\n');
        }
        text.pop_back();
        memo.Caption = text;
        auto& spacer = Band<TDaxSubBand>(page, "Spacer", 248 - room, page.Detail);
        spacer.Above = true;
    }
};

TEST_F(DaxStretch, SplitsAcrossPages)
{
    Setup(120);
    report.Run();
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(Texts(pages[0]), (Strings{"Title", "a", "b", "c", "d", "e", "f", "g", "h", "End"}));
    EXPECT_EQ(Texts(pages[1]), (Strings{"Title", "i", "j", "k", "l", "m", "n", "o", "End"}));
}

TEST_F(DaxStretch, KeepTogetherMovesTheBandWhole)
{
    Setup(120);
    page.Detail->KeepTogether = true;
    report.Run();
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(Texts(pages[0]), (Strings{"Title", "End"}));
    ASSERT_EQ(pages[1].size(), 17u);
    EXPECT_EQ(pages[1][1], "a@70");
}

TEST_F(DaxStretch, DegeneratePageEndsWithAnError)
{
    CaughtErrors errors;
    report.SetName("LineReport");
    Setup(120);
    page.PageHead->Height = 150;
    page.PageFoot->Height = 150;
    report.Run();
    EXPECT_FALSE(report.Running);
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_NE(errors.messages[0].find("LineReport"), std::string::npos);

    // A band that does not stretch meets the same end.
    errors.messages.clear();
    page.Detail->Stretch = false;
    report.Run();
    EXPECT_FALSE(report.Running);
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0], "The page of report LineReport leaves no room between its page header and page footer.");
}

TEST_F(DaxStretch, OneLinePerPageWhenALineBarelyFits)
{
    // 248 - 230 = 18 pixels between header and footer: one 13-pixel line and its margins fit
    // only just; every page takes one line, and the report ends.
    Setup(120);
    page.PageHead->Height = 20 + 230;
    page.PageFoot->Height = 20 - 2;
    report.Run();
    EXPECT_FALSE(report.Running);
    EXPECT_GE(Pages().size(), 8u);
}

TEST_F(DaxStretch, AtLeastOneLinePerPageWhenNoLineFits)
{
    // 10 pixels between header and footer: less than a line with its margins.
    Setup(120);
    page.PageHead->Height = 20 + 238;
    report.Run();
    EXPECT_FALSE(report.Running);
    const auto pages = Pages();
    ASSERT_GE(pages.size(), 15u);
    // The first page only had room for the spacer; then one line a page.
    EXPECT_EQ(Texts(pages[1]), (Strings{"Title", "a", "End"}));
    EXPECT_EQ(Texts(pages[2]), (Strings{"Title", "b", "End"}));
}

TEST_F(DaxLayout, BandExactlyFillingTheRoomMovesAPixelShorterStays)
{
    rows = {"x"};
    page.Foot->Visible = false;
    auto& spacer = Band<TDaxSubBand>(page, "Spacer", 48, page.Detail);
    spacer.Above = true;
    Top(Text(spacer, "S", "S", 0, 0));
    page.Detail->Height = 200;   // 68 + 48 = 116: exactly 200 left above the footer
    report.Run();
    auto pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1], (Strings{"Title@50", "x@70", "End@318"}));

    page.Detail->Height = 199;
    windows->viewer.reset();
    report.Run();
    pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], (Strings{"Title@50", "S@70", "x@118", "End@318"}));

    // At the top of a page a band that fills it exactly stays: no blank page before it.
    spacer.Visible = false;
    page.Detail->Height = 248;
    windows->viewer.reset();
    report.Run();
    pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], (Strings{"Title@50", "x@70", "End@318"}));
}

TEST_F(DaxLayout, OverlaysPrintAtTheirOffsetsWithoutMovingBands)
{
    Rows(14);
    auto& first = Band<TDaxOverlayBand>(page, "Watermark", 20);
    first.TopOffset = 100;
    first.LeftOffset = 10;
    Top(Text(first, "WM", "WM", 0, 0));
    auto& last = Band<TDaxOverlayBand>(page, "Stamp", 20);
    last.First = false;
    last.UseMargins = false;
    Top(Text(last, "ST", "ST", 0, 0));
    report.Run();
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    for (const auto& p : pages) {
        EXPECT_EQ(p.front(), "WM@150");
        EXPECT_EQ(p[1], "Title@50");
        EXPECT_EQ(p[2].substr(p[2].find('@')), "@70");
        EXPECT_EQ(p.back(), "ST@2");
    }
}

TEST_F(DaxLayout, SubDataBandWithHeadAndFoot)
{
    Rows(2);
    auto& sub = Band<TDaxSubDataBand>(page, "Items", 20, page.Detail);
    auto& head = Band<TDaxDataHeadBand>(page, "ItemsHead", 20, &sub);
    auto& foot = Band<TDaxDataFootBand>(page, "ItemsFoot", 20, &sub);
    Top(Text(head, "H", "H", 0, 0));
    Top(Text(foot, "F", "F", 0, 0));
    auto& item = static_cast<TDaxTextLabel&>(Top(Text(sub, "Item", "", 20, 0)));
    int index = 0, finished = 0;
    sub.OnDataStart = [&](TDaxSubDataBand& b) {
        index = 0;
        b.DataFinished = row == 1;   // the second row has no items
    };
    sub.OnDataSkip = [&](TDaxSubDataBand& b) { b.DataFinished = ++index >= 3; };
    sub.OnDataFinish = [&](TDaxSubDataBand&) { ++finished; };
    sub.OnBeforePrint = [&](TDaxBand&) { item.Caption = "s" + std::to_string(index); };
    report.Run();
    EXPECT_EQ(Texts(Pages()[0]), (Strings{"Title", "r0", "H", "s0", "s1", "s2", "F", "r1", "F", "End"}));
    EXPECT_EQ(finished, 2);
}

TEST_F(DaxLayout, StretchingDetailPrintsEveryRowWhateverWasHiddenBefore)
{
    // As the line report does: a spacer row ("~") shows the sub band above the detail band
    // and hides the detail band; any other row shows the detail band.
    page.Detail->Stretch = true;
    static_cast<TDaxTVLabel*>(page.Detail->Labels().front())->SetWrapText(true);
    auto& spacer = Band<TDaxSubBand>(page, "Spacer", 10, page.Detail);
    spacer.Above = true;
    Top(Text(spacer, "Stars", "**", 0, 0));
    page.OnAfterDataSkip = [&](TDaxReportPage&) {
        const bool isSpacer = rows[static_cast<size_t>(row)] == "~";
        page.Detail->Visible = !isSpacer;
        spacer.Visible = isSpacer;
    };
    struct Case {
        Strings rows, printed;
    };
    for (const Case& c : {Case{{"r0", "r1", "r2"}, {"Title", "r0", "r1", "r2", "End"}},
                          Case{{"~", "r0", "~", "r1", "~", "r2"}, {"Title", "**", "r0", "**", "r1", "**", "r2", "End"}},
                          Case{{"r0", "~", "~", "r1"}, {"Title", "r0", "**", "**", "r1", "End"}}}) {
        rows = c.rows;
        windows->viewer.reset();
        report.Run();
        const auto pages = Pages();
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(Texts(pages[0]), c.printed) << c.printed.size();
    }
}

TEST_F(DaxLayout, WrappedLinesAreOneTextEachAndJustifiedLinesOneTextAWord)
{
    // 6-pixel characters in a 196-pixel line: the text wraps after "six".
    rows = {"x"};
    page.Detail->Stretch = true;
    auto& memo = Label<TDaxTextLabel>(*page.Detail, "Memo", 0, 20, 200, 17);
    memo.AlignVertical = laTop;
    memo.SetWrapText(true);
    memo.Caption = "one two three four five six seven eight";
    report.Run();
    EXPECT_EQ(Texts(Pages()[0]), (Strings{"Title", "x", "one two three four five six", "seven eight", "End"}));

    // Justified: the words of a justified line go out one by one, spread to the line's
    // right edge; the last line is not justified.
    memo.JustifyMemo = true;
    windows->viewer.reset();
    report.Run();
    const auto page0 = Pages()[0];
    EXPECT_EQ(Texts(page0), (Strings{"Title", "x", "one", "two", "three", "four", "five", "six", "seven eight", "End"}));
    auto doc = Document();
    ASSERT_TRUE(doc);
    TRpxRecordingDevice dev;
    doc->PlayPage(dev, 1);
    int sixRight = -1;
    for (const auto& call : dev.Calls)
        if (call.find(" 'six'") != std::string::npos) sixRight = std::stoi(call.substr(5)) + 3 * 6;
    // The memo's line runs from x 50 (margin and border margin) over 196 pixels; its last
    // pixel stays free.
    EXPECT_EQ(sixRight, 50 + 196);
}

// The calls a page of the recorded report made on a recording device, those that start
// with prefix.
std::vector<std::string> PageCalls(const TRpxRpxFile& doc, int n, const std::string& prefix)
{
    TRpxRecordingDevice dev;
    const_cast<TRpxRpxFile&>(doc).PlayPage(dev, n);
    std::vector<std::string> calls;
    for (const auto& c : dev.Calls)
        if (c.rfind(prefix, 0) == 0) calls.push_back(c);
    return calls;
}

TEST_F(DaxStretch, LineForcedOntoATooSmallPageIsClippedToTheRoom)
{
    // 10 pixels between header (ending at 306) and footer (starting at 316): each page
    // forces one 13-pixel line on, which must not reach into the footer.
    Setup(120);
    page.PageHead->Height = 20 + 238;
    auto* memo = static_cast<TDaxTVLabel*>(page.Detail->Labels().back());
    memo->BorderType = btSingle;
    report.Run();
    auto doc = Document();
    ASSERT_TRUE(doc);
    ASSERT_GE(doc->PageCount(), 3);
    for (int n = 2; n <= 3; ++n) {
        const std::string line(1, static_cast<char>('a' + n - 2));
        bool found = false;
        for (const auto& c : PageCalls(*doc, n, "text ")) {
            if (c.find(" '" + line + "'") == std::string::npos) continue;
            found = true;
            const size_t at = c.find(" clip 50,");
            ASSERT_NE(at, std::string::npos) << c;
            EXPECT_EQ(c.substr(c.rfind(',')), ",316") << c;
        }
        EXPECT_TRUE(found) << n;
        // The label's border stays above the footer too.
        for (const auto& c : PageCalls(*doc, n, "fill ")) {
            int l = 0, t = 0, r = 0, b = 0;
            ASSERT_EQ(std::sscanf(c.c_str(), "fill %d,%d,%d,%d", &l, &t, &r, &b), 4) << c;
            if (t >= 306) {
                EXPECT_LE(b, 317) << c;
            }
        }
    }
}

TEST_F(DaxGroups, RepeatedGroupHeaderWalksItsSubDataAgain)
{
    Rows(14, "a");
    auto& g = KeyGroup();
    g.Header->NewPageRepeat = true;
    auto& items = Band<TDaxSubDataBand>(page, "Items", 20, g.Header);
    items.NewPageRepeat = true;
    auto& item = static_cast<TDaxTextLabel&>(Top(Text(items, "Item", "", 20, 0)));
    int index = 0, started = 0, finished = 0;
    items.OnDataStart = [&](TDaxSubDataBand& b) {
        ++started;
        index = 0;
        b.DataFinished = false;
    };
    items.OnDataSkip = [&](TDaxSubDataBand& b) { b.DataFinished = ++index >= 2; };
    items.OnDataFinish = [&](TDaxSubDataBand&) { ++finished; };
    items.OnBeforePrint = [&](TDaxBand&) { item.Caption = "i" + std::to_string(index); };
    report.Run();
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(Strings(pages[0].begin(), pages[0].begin() + 5), (Strings{"Title@50", "a@70", "i0@90", "i1@110", "a0@130"}));
    // Below the next page's header: the group header and its items again, then the rows.
    EXPECT_EQ(Strings(pages[1].begin(), pages[1].begin() + 5), (Strings{"Title@50", "a@70", "i0@90", "i1@110", "a9@130"}));
    EXPECT_EQ(started, 2);
    EXPECT_EQ(finished, 2);

    // Without NewPageRepeat on the sub data band only the header repeats.
    items.NewPageRepeat = false;
    windows->viewer.reset();
    report.Run();
    const auto again = Pages();
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(Strings(again[1].begin(), again[1].begin() + 3), (Strings{"Title@50", "a@70", "a9@90"}));
}

TEST_F(DaxLayout, SubDataBandBrokenInItsWalkRepeatsItsHeadAndLosesNoRecord)
{
    // The break falls inside the items' own walk: opening their data again would move the
    // walk's record; the head repeats and the walk goes on where it was.
    rows = {"r0"};
    auto& items = Band<TDaxSubDataBand>(page, "Items", 20, page.Detail);
    items.NewPageRepeat = true;
    auto& head = Band<TDaxDataHeadBand>(page, "ItemsHead", 20, &items);
    head.NewPageRepeat = true;
    Top(Text(head, "H", "H", 0, 0));
    auto& item = static_cast<TDaxTextLabel&>(Top(Text(items, "Item", "", 20, 0)));
    int index = 0;
    items.OnDataStart = [&](TDaxSubDataBand& b) {
        index = 0;
        b.DataFinished = false;
    };
    items.OnDataSkip = [&](TDaxSubDataBand& b) { b.DataFinished = ++index >= 15; };
    items.OnBeforePrint = [&](TDaxBand&) { item.Caption = "i" + std::to_string(index); };
    report.Run();
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    Strings expected0{"Title", "r0", "H"}, expected1{"Title", "H"};
    for (int i = 0; i < 15; ++i) (i < 10 ? expected0 : expected1).push_back("i" + std::to_string(i));
    expected0.push_back("End");
    expected1.push_back("End");
    EXPECT_EQ(Texts(pages[0]), expected0);
    EXPECT_EQ(Texts(pages[1]), expected1);
}

TEST_F(DaxGroups, SubDataRepeatedAfterABreakIsCountedOnce)
{
    // Two items under the one group; the group header and its items repeat on page 2. The
    // report's total of the items counts each item once.
    Rows(14, "a");
    auto& g = KeyGroup();
    g.Header->NewPageRepeat = true;
    auto& items = Band<TDaxSubDataBand>(page, "Items", 20, g.Header);
    items.NewPageRepeat = true;
    items.Updatelevel = &Level(page, "Itemslevel");
    auto& item = static_cast<TDaxTextLabel&>(Top(Text(items, "Item", "", 20, 0)));
    int index = 0;
    items.OnDataStart = [&](TDaxSubDataBand& b) {
        index = 0;
        b.DataFinished = false;
    };
    items.OnDataSkip = [&](TDaxSubDataBand& b) { b.DataFinished = ++index >= 2; };
    items.OnBeforePrint = [&](TDaxBand&) { item.Caption = "i" + std::to_string(index); };
    auto& quantity = ExprVar(page, "Quantity", dtypeFloat, items.Updatelevel);
    quantity.OnGetData = [&](TDaxVar& v) { v.SetAsFloat(index == 0 ? 1.5 : 2.0); };
    auto& label = Label<TDaxTotalvarLabel>(*page.Foot, "ItemsSum", 0, 0, 100, 17);
    label.AlignVertical = laTop;
    label.SetTotalVariable(&Total(page, "Sum", quantity));
    label.AutoLevel = false;
    label.SetLevel(page.Foot->Updatelevel);
    report.Run();
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(Strings(pages[1].begin(), pages[1].begin() + 4), (Strings{"Title@50", "a@70", "i0@90", "i1@110"}));
    const auto texts = Texts(pages[1]);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "3.50"), texts.end()) << ::testing::PrintToString(texts);
}

TEST_F(DaxLayout, StretchingOverlayTallerThanThePageEndsWithTheNoRoomError)
{
    // 30 wrapped lines of 13 pixels: more than the 288-pixel page has, and an overlay cannot
    // break the page. Printed at the start and at the end of the page, from the page's top
    // and from below its middle, the run ends with the no-room error instead of looping.
    struct Case {
        bool first;
        int topOffset;
    };
    for (const Case c : {Case{false, 200}, Case{true, 0}, Case{false, 0}, Case{true, 200}}) {
        SCOPED_TRACE(testing::Message() << "First " << c.first << " TopOffset " << c.topOffset);
        TDaxReport overlaid;
        overlaid.SetName("OverlayReport");
        auto& p = Page(overlaid, "OverlayPage");
        DefaultBands(p, 20);
        p.PageSetup.SetHeight(4.0);
        overlaid.Prompt = false;
        overlaid.ReportWindows = windows;
        p.OnDataStart = [](TDaxReportPage& q) { q.DataFinished = true; };
        auto& o = Band<TDaxOverlayBand>(p, "Tall", 17);
        o.Stretch = true;
        o.First = c.first;
        o.TopOffset = c.topOffset;
        auto& memo = Label<TDaxTextLabel>(o, "Memo", 0, 0, 200, 17);
        memo.SetWrapText(true);
        std::string text;
        for (int i = 0; i < 30; ++i) text += "line\n";
        memo.Caption = text + "end";
        CaughtErrors errors;
        overlaid.Run();
        EXPECT_FALSE(overlaid.Running);
        ASSERT_EQ(errors.messages.size(), 1u);
        EXPECT_EQ(errors.messages[0],
                  "The page of report OverlayReport leaves no room between its page header and page footer.");
    }
}

TEST_F(DaxStretch, BlankLinesOfTheMemoAsItsSuppressionsSay)
{
    // The memo's first line is drawn at y 198 on the first page and at 71 on a continuation
    // (13-pixel lines); eight lines fit on the first page.
    struct Case {
        const char* caption;
        bool suppressWhiteSpace, suppressBlankLines;
        std::vector<Strings> pages;   // the memo's texts of each page
    };
    const std::string eight = "a\nb\nc\nd\ne\nf\ng\nh\n";
    const Strings firstEight = {"a@198", "b@211", "c@224", "d@237", "e@250", "f@263", "g@276", "h@289"};
    const Case cases[] = {
        {"\n\na\nb", false, false, {{"a@224", "b@237"}}},
        {"\n\na\nb\n\n", true, false, {{"a@198", "b@211"}}},
        {"a\n\n\nb", true, false, {{"a@198", "b@237"}}},
        {"a\n\n\nb", false, true, {{"a@198", "b@211"}}},
        {"\na\n\nb", true, true, {{"a@198", "b@211"}}},
    };
    Setup(120);
    auto& memo = static_cast<TDaxTextLabel&>(*page.Detail->Labels().front());
    auto run = [&](const std::string& caption, bool white, bool blank) {
        memo.Caption = caption;
        memo.SuppressWhiteSpace = white;
        memo.SuppressBlankLines = blank;
        windows->viewer.reset();
        report.Run();
        std::vector<Strings> memoTexts;
        for (const auto& p : Pages()) memoTexts.emplace_back(p.begin() + 1, p.end() - 1);   // without Title and End
        return memoTexts;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.caption)));
        EXPECT_EQ(run(c.caption, c.suppressWhiteSpace, c.suppressBlankLines), c.pages);
    }
    // A continuation begins at its first line that is not empty.
    EXPECT_EQ(run(eight + "\n\n\ni\nj", true, false), (std::vector<Strings>{firstEight, {"i@71", "j@84"}}));
    EXPECT_EQ(run(eight + "\n\n\ni\nj", false, false), (std::vector<Strings>{firstEight, {"i@110", "j@123"}}));
}

TEST_F(DaxLayout, FreedComponentsAreForgottenByWhatReferredToThem)
{
    // Each reference is set, its component freed; the reference is then empty and the run
    // reads nothing freed (under the address sanitizer a read of the freed component fails).
    struct Case {
        const char* name;
        std::function<TDaxComponent*()> refer;   // sets the reference, answers the component to free
        std::function<bool()> forgotten;
    };
    TDaxGroup* group = nullptr;
    TDaxSubBand* sub = nullptr;
    TDaxSubDataBand* subData = nullptr;
    TDaxDataHeadBand* head = nullptr;
    TDaxDSGuide* guide = nullptr;
    const Case cases[] = {
        {"group variable",
         [&] {
             auto& v = ExprVar(page, "GroupKey", dtypeString);
             group = &Group(page, "ByKey", &v, 20, 0);
             return &v;
         },
         [&] { return group->Variable == nullptr; }},
        {"group header",
         [&] { return group->Header; }, [&] { return group->Header == nullptr; }},
        {"reserved band",
         [&] {
             auto& b = Band<TDaxBand>(page, "Reserved", 20);
             page.Detail->ReserveSpace.Band = &b;
             return &b;
         },
         [&] { return page.Detail->ReserveSpace.Band == nullptr; }},
        {"band's update level",
         [&] { return page.Detail->Updatelevel; }, [&] { return page.Detail->Updatelevel == nullptr; }},
        {"sub band's band",
         [&] {
             auto& owner = Band<TDaxBand>(page, "Owner", 20);
             sub = &Band<TDaxSubBand>(page, "Sub", 20, &owner);
             return &owner;
         },
         [&] { return sub->Band == nullptr; }},
        {"sub data band's band and data source",
         [&] {
             auto& owner = Band<TDaxBand>(page, "DataOwner", 20);
             subData = &Band<TDaxSubDataBand>(page, "SubData", 20, &owner);
             head = &Band<TDaxDataHeadBand>(page, "SubHead", 20);
             head->Band = subData;
             auto* ds = new TDaxDataSource(&page);
             subData->DataSource = ds;
             page.DataSource = ds;
             guide = new TDaxDSGuide(&page);
             guide->SetParent(&page);
             guide->DataSource = ds;
             delete ds;
             EXPECT_EQ(subData->DataSource, nullptr);
             EXPECT_EQ(page.DataSource, nullptr);
             EXPECT_EQ(guide->DataSource, nullptr);
             return &owner;
         },
         [&] { return subData->Band == nullptr; }},
        {"data head band's sub data band", [&] { return subData; }, [&] { return head->Band == nullptr; }},
        {"guide's update level",
         [&] {
             auto& l = Level(page, "GuideLevel");
             guide->SetUpdateLevel(&l);
             return &l;
         },
         [&] { return guide->UpdateLevel() == page.Detail->Updatelevel; }},
        {"page's detail band", [&] { return page.Detail; }, [&] { return page.Detail == nullptr; }},
    };
    Rows(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        delete c.refer();
        EXPECT_TRUE(c.forgotten());
        windows->viewer.reset();
        report.Run();
        EXPECT_FALSE(report.Running);
    }
}

TEST_F(DaxLayout, ArrangeSortsByOrderAndLevelTakingEqualKeysAsTheRulesSay)
{
    // Selection sorts: overlay bands and sub bands take the last found of equal keys first,
    // sub data bands and groups the first found; every sorted set is renumbered from 0.
    // Found in the order made here, A 2, B 1, C 2, D 1, a selection sort (each smallest
    // swapped into place) gives D, B, A, C when the last found is taken first, and B, D, C, A
    // when the first is.
    auto make = [&](auto tag, const char* prefix, TDaxBand* owner, std::initializer_list<int> orders) {
        using B = typename decltype(tag)::type;
        std::vector<B*> made;
        char name = 'A';
        for (int order : orders) {
            auto& b = Band<B>(page, std::string(prefix) + name++, 10, owner);
            b.Order = order;
            made.push_back(&b);
        }
        return made;
    };
    auto overlays = make(std::type_identity<TDaxOverlayBand>{}, "Over", nullptr, {2, 1, 2, 1});
    auto ends = make(std::type_identity<TDaxOverlayBand>{}, "End", nullptr, {2, 1, 2, 1});
    for (auto* e : ends) e->First = false;
    auto subs = make(std::type_identity<TDaxSubBand>{}, "Sub", page.Detail, {2, 1, 2, 1});
    Band<TDaxBand>(page, "Holder", 10);
    auto subData = make(std::type_identity<TDaxSubDataBand>{}, "Data", page.Foot, {2, 1, 2, 1});
    TDaxGroup& g1 = Group(page, "G1", value, 10, 0);
    TDaxGroup& g2 = Group(page, "G2", value, 10, 0);
    TDaxGroup& g3 = Group(page, "G3", value, 10, 0);
    g1.Level = 1;
    g2.Level = 0;
    g3.Level = 1;
    page.Arrange();
    Strings names;
    for (TDaxBand* b : page.Bands()) names.push_back(b->Name());
    const Strings expected = {"ReportHeaderBand", "PageHeaderBand", "G2Header", "G1Header", "G3Header", "DetailBand",
                              "SubD", "SubB", "SubA", "SubC", "PageFooterBand", "ReportFooterBand", "DataB", "DataD",
                              "DataC", "DataA", "OverD", "OverB", "OverA", "OverC", "EndD", "EndB", "EndA", "EndC"};
    // Bands of no family (Holder) keep their place after the arranged ones.
    ASSERT_GE(names.size(), expected.size());
    EXPECT_EQ(Strings(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(expected.size())), expected);
    EXPECT_EQ(names.back(), "Holder");
    const auto orders = [](const auto& bands) {
        std::vector<int> o;
        for (auto* b : bands) o.push_back(b->Order);
        return o;
    };
    // A B C D are now numbered by their place.
    EXPECT_EQ(orders(overlays), (std::vector<int>{2, 1, 3, 0}));
    EXPECT_EQ(orders(ends), (std::vector<int>{2, 1, 3, 0}));
    EXPECT_EQ(orders(subs), (std::vector<int>{2, 1, 3, 0}));
    EXPECT_EQ(orders(subData), (std::vector<int>{3, 0, 2, 1}));
    EXPECT_EQ((std::vector<int>{g1.Level, g2.Level, g3.Level}), (std::vector<int>{1, 0, 2}));
}
