#include "DesignFixture.h"

#include "report/design/RpxAlign.h"

using namespace mwtest;

namespace {

class AlignTest : public DesignPage {
protected:
    // A label at (left, 0), `width` wide, on the band.
    TDaxLabel* Put(TDaxBand& band, int left, int width)
    {
        return &DaxBuild::Label<TDaxTextLabel>(band, "L" + std::to_string(++made), left, 0, width, 17);
    }
    std::vector<int> Lefts(const std::vector<TDaxLabel*>& labels)
    {
        std::vector<int> out;
        for (const TDaxLabel* l : labels) out.push_back(l->Left);
        return out;
    }
    int made = 0;
    TRpxAlign align;
    TDaxRecordingDesigner designer;
};

enum TOp { opLefts, opRights, opCenters, opCenterAt100 };

struct Case {
    const char* what;
    TOp op;
    std::vector<std::pair<int, int>> detail;   // left, width on the detail band, in list order
    std::vector<int> lefts;
};

}  // namespace

// One parent: the first label is the reference.
TEST_F(AlignTest, OneParent)
{
    const Case cases[] = {
        {"lefts", opLefts, {{40, 50}, {10, 30}, {90, 65}}, {40, 40, 40}},
        {"rights", opRights, {{40, 50}, {10, 30}, {90, 65}}, {40, 60, 25}},
        // 40 + 50/2 - 31/2 = 50; 40 + 25 - 65/2 = 33
        {"centres", opCenters, {{40, 50}, {10, 31}, {90, 65}}, {40, 50, 33}},
        // The span 10..155 has its middle at 82: everything moves by 18.
        {"centre at x", opCenterAt100, {{40, 50}, {10, 30}, {90, 65}}, {58, 28, 108}},
        {"one label, lefts", opLefts, {{40, 50}}, {40}},
        {"one label, rights", opRights, {{40, 50}}, {40}},
        {"one label, centres", opCenters, {{40, 50}}, {40}},
        // One label: its middle goes to x (100 - 51/2 = 75).
        {"one label, centre at x", opCenterAt100, {{40, 51}}, {75}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<TDaxLabel*> labels;
        for (auto [left, width] : c.detail) labels.push_back(Put(*page.Detail, left, width));
        align.Controls = labels;
        align.Designer = &designer;
        designer.ModifiedCount = 0;
        switch (c.op) {
        case opLefts: align.AlignLefts(); break;
        case opRights: align.AlignRights(); break;
        case opCenters: align.AlignCenters(); break;
        case opCenterAt100: align.CenterAtX(100); break;
        }
        EXPECT_EQ(Lefts(labels), c.lefts);
        EXPECT_EQ(designer.ModifiedCount, 1);
        for (TDaxLabel* l : labels) delete l;
    }
}

// Lefts, rights and centres follow the first label whatever band the others are on.
TEST_F(AlignTest, SeveralParentsFollowTheFirst)
{
    TDaxLabel* a = Put(*page.Detail, 40, 50);
    TDaxLabel* b = Put(*page.PageHead, 10, 30);
    TDaxLabel* c = Put(*page.PageFoot, 90, 20);
    align.Controls = {a, b, c};
    align.AlignRights();
    EXPECT_EQ(Lefts(align.Controls), (std::vector<int>{40, 60, 70}));
    align.AlignLefts();
    EXPECT_EQ(Lefts(align.Controls), (std::vector<int>{40, 40, 40}));
    align.AlignCenters();
    EXPECT_EQ(Lefts(align.Controls), (std::vector<int>{40, 50, 55}));
}

// Centring at x with several parents: each band's labels move as one block, grouped in list
// order, so labels of different bands do not pull each other.
TEST_F(AlignTest, CenterAtXMovesEachParentAsABlock)
{
    TDaxLabel* d1 = Put(*page.Detail, 10, 20);      // detail span 10..80, middle 45
    TDaxLabel* h1 = Put(*page.PageHead, 200, 40);   // header span 200..240, middle 220
    TDaxLabel* d2 = Put(*page.Detail, 50, 30);
    TDaxLabel* h2 = Put(*page.PageHead, 230, 11);   // header span 200..241, middle 220
    align.Controls = {d1, h1, d2, h2};
    align.Designer = &designer;
    align.CenterAtX(100);
    EXPECT_EQ(Lefts({d1, d2}), (std::vector<int>{65, 105}));
    EXPECT_EQ(Lefts({h1, h2}), (std::vector<int>{80, 110}));
    EXPECT_EQ(designer.ModifiedCount, 1);
    // The block keeps its shape: widths and gaps are untouched.
    EXPECT_EQ(d2->Left - d1->Left, 40);
    EXPECT_EQ(h1->Width, 40);
}

TEST_F(AlignTest, NoControlsTellsNobody)
{
    align.Designer = &designer;
    align.AlignLefts();
    align.CenterAtX(10);
    EXPECT_EQ(designer.ModifiedCount, 0);
}

TEST(RpxAlign, OneSharedInstance)
{
    EXPECT_EQ(&RpxAlign(), &RpxAlign());
}
