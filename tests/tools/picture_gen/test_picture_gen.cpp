#include "support/TestFiles.h"

#include <QImageReader>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

using mwtest::ReadFileText;
using mwtest::TempDir;

namespace {

struct Picture {
    const char* file;  // relative to the source root
    int frames;
    QSize size;  // of the picture's screen
};

const Picture kPictures[] = {
    {"launcher/resources/Splash.gif", 1, {407, 243}},
    {"planner/resources/pictures/Showcase.gif", 4, {400, 330}},
    {"planner/resources/pictures/BeamTilt.gif", 4, {350, 350}},
    {"planner/resources/pictures/Presenter.gif", 1, {72, 90}},
    {"planner/resources/pictures/SideMountedHighPower.gif", 1, {100, 336}},
    {"planner/resources/pictures/TopMounted.gif", 1, {100, 336}},
    {"planner/resources/pictures/SideMountedLowPower.gif", 1, {100, 336}},
    {"planner/resources/pictures/OtherMake.gif", 1, {100, 336}},
    {"planner/resources/pictures/REDBELVOR.gif", 1, {540, 168}},
    {"planner/resources/pictures/TLINE_H.gif", 1, {960, 80}},
    {"planner/resources/pictures/TLINE_V.gif", 1, {90, 1050}},
};

}  // namespace

TEST(PictureGen, CommittedPicturesEqualGeneratorOutput)
{
    TempDir dir;
    const std::string cmd = std::string("\"") + PICTURE_GEN + "\" \"" + dir.path().string() + "\" >/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    for (const Picture& p : kPictures) {
        SCOPED_TRACE(p.file);
        const std::string generated = ReadFileText(dir.path() / p.file);
        const std::string committed = ReadFileText(fs::path(MW_SOURCE_DIR) / p.file);
        ASSERT_FALSE(generated.empty());
        EXPECT_TRUE(generated == committed) << p.file << " is stale: rerun picture_gen (sizes " << generated.size()
                                            << " and " << committed.size() << ")";
    }
}

TEST(PictureGen, PicturesOpenInQtsReaderWithTheirFrames)
{
    for (const Picture& p : kPictures) {
        SCOPED_TRACE(p.file);
        QImageReader reader(QString::fromStdString((fs::path(MW_SOURCE_DIR) / p.file).string()));
        EXPECT_EQ(reader.imageCount(), p.frames);
        int frames = 0;
        while (reader.canRead()) {
            const QImage img = reader.read();
            if (img.isNull()) break;
            EXPECT_EQ(img.size(), p.size);
            ++frames;
        }
        EXPECT_EQ(frames, p.frames);
    }
}

TEST(PictureGen, RefusesAnUnknownPicture)
{
    TempDir dir;
    const std::string cmd =
        std::string("\"") + PICTURE_GEN + "\" \"" + dir.path().string() + "\" no-such-picture 2>/dev/null >/dev/null";
    EXPECT_NE(std::system(cmd.c_str()), 0);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

// The tutorial's tall slides, read by Qt's own decoder: the beam leaves the tower top (40, 105)
// level without tilt, a little below the horizon with the right tilt, and clearly steeper with
// too much. The tilt is measured from the beam's far tip (its pixels are the only tan ones).
TEST(PictureGen, TutorialBeamsTiltAsTheirCaptionsSay)
{
    QImageReader reader(QString::fromStdString((fs::path(MW_SOURCE_DIR) / "planner/resources/pictures/BeamTilt.gif").string()));
    std::vector<QImage> frames;
    for (QImage img; !(img = reader.read()).isNull();) frames.push_back(img.convertToFormat(QImage::Format_RGB32));
    ASSERT_EQ(frames.size(), 4u);
    auto tiltOf = [](const QImage& img) {
        int tipX = -1, tipY = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < 175; ++x) {
                const QColor c = img.pixelColor(x, y);
                if (c.red() > 180 && c.red() - c.blue() > 50 && c.green() > 120 && x > tipX) {
                    tipX = x;
                    tipY = y;
                }
            }
        EXPECT_GT(tipX, 100) << "a beam reaches across the slide";
        return std::atan2(tipY - 105.0, tipX - 40.0) * 180 / 3.14159265358979;
    };
    struct Case { int index; const char* what; double lo, hi; };
    const Case cases[] = {
        {0, "No tilt", -2, 2},
        {3, "The right tilt", 5, 15},
        {2, "Too much tilt", 20, 45},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const double tilt = tiltOf(frames[c.index]);
        EXPECT_GE(tilt, c.lo);
        EXPECT_LE(tilt, c.hi);
    }
    EXPECT_GT(tiltOf(frames[2]), 2 * tiltOf(frames[3])) << "too much is clearly more than right";
}
