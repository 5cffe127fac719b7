#include "gif/GIFImage.h"
#include "planner/resources/PlannerPictures.h"
#include "planner/resources/glyphs/AntennaPictures.h"
#include "planner/resources/glyphs/Pictures.h"
#include "planner/ui/Main.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

int Colours(const QImage& img)
{
    QSet<QRgb> c;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) c.insert(img.pixel(x, y));
    return static_cast<int>(c.size());
}

}  // namespace

TEST(PlannerPictures, AnimationsHoldFourDistinctFrames)
{
    struct Case {
        const char* name;
        QSize screen;
    };
    for (const Case& c : {Case{"Showcase", {400, 330}}, Case{"BeamTilt", {350, 350}}}) {
        SCOPED_TRACE(c.name);
        const std::vector<QImage> frames = LoadPlannerAnimation(c.name);
        ASSERT_EQ(frames.size(), 4u);
        for (size_t i = 0; i < frames.size(); ++i) {
            EXPECT_EQ(frames[i].size(), c.screen);
            if (i > 0) {
                EXPECT_NE(frames[i], frames[i - 1]) << "frame " << i + 1 << " repeats the one before";
            }
        }
    }
    EXPECT_TRUE(LoadPlannerAnimation("NoSuchPicture").empty());
    EXPECT_EQ(LoadPlannerPicture("NoSuchPicture"), nullptr);
}

TEST(PlannerPictures, WindowsShowTheCompiledInPictures)
{
    // Tutorial slides at the sizes the tutorial's pages give them, as the GIF control shows them.
    GIFImage::TGIFImage slides;
    ASSERT_TRUE(slides.LoadGIFBytes(PlannerPictureBytes("BeamTilt")));
    ASSERT_EQ(slides.FrameCount(), 4);
    for (int f = 1; f <= 4; ++f) {
        SCOPED_TRACE(f);
        const QSize size = f == 2 ? QSize(350, 175) : QSize(175, 350);
        slides.SetCurrentFrame(f);
        EXPECT_EQ(QSize(slides.Frame(f).Width, slides.Frame(f).Height), size);
        EXPECT_GT(Colours(slides.CanvasImage().copy(QRect(QPoint(0, 0), size))), 8) << "an empty slide";
    }
    EXPECT_TRUE(PlannerPictureBytes("NoSuchPicture").empty());
    EXPECT_EQ(PresenterPhoto({72, 90}).size(), QSize(72, 90));
    // Page 1's pictures at their place, and shrunk with their shape kept for page 5's.
    for (TAntennaPicture p : {TAntennaPicture::SideMountedHighPower, TAntennaPicture::TopMounted,
                              TAntennaPicture::SideMountedLowPower, TAntennaPicture::OtherMake}) {
        EXPECT_EQ(AntennaPicture(p, {100, 336}).size(), QSize(100, 336));
        const QPixmap small = AntennaPicture(p, {82, 152});
        EXPECT_EQ(small.height(), 152);
        EXPECT_LE(small.width(), 82);
    }

    TFrmMain main;
    EXPECT_EQ(main.GIFImage1->FrameCount(), 4);
    EXPECT_EQ(main.BeamTilt->FrameCount(), 4);
    main.SpeedButton1->click();  // the presenter's photo is read when the tutorial opens
    EXPECT_FALSE(main.Image5->pixmap().isNull());
}
