#include "planner/controls/ImpGrid.h"

#include "platform/runtime/SysUtils.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

TStringList List(std::initializer_list<const char*> items)
{
    TStringList l;
    for (const char* s : items) l.Add(s);
    return l;
}

} // namespace

TEST(ImpGrid, ListsFillTheHeaderCellsAndWidths)
{
    TImpGrid g;
    g.SetColCount(3);
    g.SetRowCount(4);
    g.SetHeaderCol(List({"Description", "QTY"}));
    g.SetHeaderRow(List({"Antenna"}));
    g.SetColWidth(List({"50", "570"}));

    struct Cell { int col, row; const char* text; };
    const Cell cells[] = {
        {0, 0, "Description"}, {1, 0, "QTY"}, {2, 0, ""}, // shorter list: empty
        {0, 1, "Antenna"}, {0, 2, ""}, {0, 3, ""},
        {1, 1, ""}, {9, 9, ""},
    };
    for (const auto& c : cells) {
        SCOPED_TRACE(testing::Message() << c.col << "," << c.row);
        EXPECT_EQ(g.Cells(c.col, c.row), c.text);
    }
    EXPECT_EQ(g.ColWidths(0), 50);
    EXPECT_EQ(g.ColWidths(1), 570);
    EXPECT_EQ(g.ColWidths(2), 64); // the grid's default
    EXPECT_EQ(g.HeaderCol().Count(), 2);
    EXPECT_THROW(g.SetCells(3, 0, "x"), EListError);
}

TEST(ImpGrid, LoadedAppliesTheListsToTheFinalSize)
{
    TImpGrid g;
    g.setProperty("HeaderCol", QStringList{"A", "B", "C", "D", "E", "F"});
    g.setProperty("ColWidth", QStringList{"10", "20", "30", "40", "50", "60"});
    g.setProperty("ColCount", 6); // read after the lists, as a layout file may order them
    EXPECT_EQ(g.Cells(5, 0), "");
    g.Loaded();
    EXPECT_EQ(g.Cells(5, 0), "F");
    EXPECT_EQ(g.ColWidths(5), 60);
    EXPECT_EQ(g.property("HeaderCol").toStringList().size(), 6);
}

TEST(ImpGrid, BadWidthRaisesAConversionError)
{
    TImpGrid g;
    EXPECT_THROW(g.SetColWidth(List({"80", "5x", "90"})), EConvertError);
    EXPECT_EQ(g.ColWidths(0), 80); // entries before the bad one are applied
    EXPECT_THROW(g.Loaded(), EConvertError);
}

TEST(ImpGrid, ListOfMaterialsGridPaints)
{
    // As the list of materials sets it up: two columns, one row, nothing fixed.
    TImpGrid g;
    g.SetColCount(2);
    g.SetRowCount(1);
    g.SetFixedCols(0);
    g.SetFixedRows(0);
    g.setShowGrid(false);
    g.SetColWidth(List({"50", "570"}));
    g.SetHeaderCol(List({"1", "Antenna"}));
    g.resize(640, 60);
    g.show();
    EXPECT_EQ(g.Cells(1, 0), "Antenna");
    EXPECT_TRUE(g.item(0, 0)->flags() & Qt::ItemIsSelectable);
    const QImage img = g.grab().toImage();
    ASSERT_FALSE(img.isNull());
    EXPECT_GE(img.width(), 640);
    // Some text pixels differ from the background.
    const QRgb bg = img.pixel(img.width() - 2, img.height() - 2);
    int differing = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) differing += img.pixel(x, y) != bg;
    EXPECT_GT(differing, 20);
}
