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
