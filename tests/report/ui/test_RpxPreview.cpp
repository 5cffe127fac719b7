#include "ViewerFixture.h"

#include "ui_RpxViewer.h"

#include <QComboBox>
#include <QScrollBar>

using namespace mwtest;

namespace {

// Picks a zoom entry as a user does: the zoom box focused, arrow keys to the entry.
void ChooseZoom(QComboBox* box, int index)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(box, Qt::Key_Down);
    ASSERT_EQ(box->currentIndex(), index);
}

}  // namespace

TEST_F(ViewerTest, PageBoxFollowsTheChosenZoom)
{
    ASSERT_EQ(TRpxPreview::ScreenPixelsPerInch(), 96);
    viewer->SetDocument(RecordedDocument(2));
    auto* preview = viewer->ActivePreview();
    EXPECT_EQ(preview->PageBox()->size(), QSize(816, 1056));   // 100 % at start
    struct {
        int index, zoom;
        QSize box;
    } const cases[] = {
        {0, 200, {1632, 2112}}, {4, 50, {408, 528}}, {2, 100, {816, 1056}}, {6, 10, {82, 106}},
    };
    for (const auto& c : cases) {
        ChooseZoom(viewer->Form().ZoomValues, c.index);
        EXPECT_EQ(preview->Zoom(), c.zoom) << c.index;
        EXPECT_EQ(preview->PageBox()->size(), c.box) << c.index;
    }
}

TEST_F(ViewerTest, PageWidthFitsTheControlAndRefitsOnResize)
{
    viewer->SetDocument(RecordedDocument(1));
    auto* preview = viewer->ActivePreview();
    preview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    preview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Settle();
    viewer->resize(viewer->width() + 850 - preview->viewport()->width(), viewer->height());
    Settle();
    ASSERT_EQ(preview->viewport()->width(), 850);
    ChooseZoom(viewer->Form().ZoomValues, 7);
    EXPECT_EQ(preview->Zoom(), 102);
    EXPECT_EQ(preview->PageBox()->width(), 832);

    viewer->resize(viewer->width() + 200, viewer->height());
    Settle();
    const int w = preview->viewport()->width();
    ASSERT_EQ(w, 1050);
    EXPECT_EQ(preview->Zoom(), 127);   // 1050 x 100 / 816, less 2

    ChooseZoom(viewer->Form().ZoomValues, 8);   // page height
    const int h = preview->viewport()->height();
    EXPECT_EQ(preview->Zoom(), static_cast<int>(std::lround(h * 100.0 / (11 * 96))) - 2);
    ChooseZoom(viewer->Form().ZoomValues, 9);   // whole page: the narrower fit
    const bool tall = double(h) / w > 11 / 8.5;
    EXPECT_EQ(preview->Zoom(), static_cast<int>(std::lround(tall ? w * 100.0 / 816 : h * 100.0 / 1056)) - 2);
}

TEST(RpxPreview, ZoomsStayPositiveAndZeroPaperDividesNothing)
{
    TRpxPreview preview;
    preview.resize(400, 300);
    auto doc = RecordedDocument(1);
    preview.ShowDocument(doc);
    preview.SetZoom(-40);
    EXPECT_EQ(preview.Zoom(), 1);
    preview.resize(5, 5);
    preview.SetZoomIndex(7);
    EXPECT_GE(preview.Zoom(), 1);

    TRpxPrinterSetup flat;
    flat.PaperWidth = 0;
    flat.PaperLength = 0;
    preview.SetPrinterSetup(flat);
    preview.SetZoomIndex(9);
    EXPECT_GE(preview.Zoom(), 1);
    preview.SetZoomIndex(2);
    EXPECT_GE(preview.PageBox()->width(), 0);
}

TEST(RpxPreview, PaintsThePageThroughThePlayer)
{
    TRpxPreview preview;
    preview.resize(900, 1100);
    preview.ShowDocument(RecordedDocument(2));
    preview.GoToPage(2);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    const QImage shot = preview.PageBox()->grab().toImage();
    // The text of page 2 sits an inch in from the corner: dark pixels there, white elsewhere.
    int dark = 0;
    for (int y = 96; y < 130; ++y)
        for (int x = 96; x < 400; ++x) dark += qGray(shot.pixel(x, y)) < 100;
    EXPECT_GT(dark, 50);
    EXPECT_EQ(shot.pixel(700, 900), qRgb(255, 255, 255));
}

TEST(RpxMeter, FillsByProgressAndShowsThePercentage)
{
    struct {
        int min, max, progress;
        double fraction;
        const char* text;
    } const cases[] = {
        {0, 100, 0, 0, "0.0%"}, {0, 100, 42, 0.42, "42.0%"}, {0, 100, 150, 1, "100.0%"},
        {10, 20, 15, 0.5, "50.0%"}, {20, 20, 30, 0, "0.0%"}, {0, 100, -5, 0, "0.0%"},
    };
    for (const auto& c : cases) {
        TRpxMeter m;
        m.SetMin(c.min);
        m.SetMax(c.max);
        m.SetProgress(c.progress);
        EXPECT_DOUBLE_EQ(m.Fraction(), c.fraction) << c.progress;
        EXPECT_EQ(m.Text().toStdString(), c.text);
    }
    TRpxMeter m;
    m.resize(100, 20);
    m.SetMeterColor(Qt::yellow);
    m.SetProgress(50);
    const QImage img = m.grab().toImage();
    EXPECT_EQ(QColor(img.pixel(10, 3)), QColor(Qt::yellow));
    EXPECT_EQ(QColor(img.pixel(90, 3)), QColor(Qt::white));
}
