// Every GIF picture of the planner decodes through the registered GIF picture class exactly as
// giflib decodes it.
#include "gif/GIFImg.h"
#include "gif/GifPeers.h"
#include "planner/resources/PlannerPictures.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(PlannerGifs, EveryPictureDecodesThroughThePictureClassLikeGiflib)
{
    GIFImg::RegisterGIFImage();
    int files = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(MW_SOURCE_DIR) / "planner/resources/pictures")) {
        if (entry.path().extension() != ".gif") continue;
        ++files;
        const std::string name = entry.path().string();
        SCOPED_TRACE(name);
        const gifpeers::Decoded g = gifpeers::GiflibDecode(gifpeers::ReadFile(name));
        ASSERT_TRUE(g.ok) << g.error;

        TPicture picture;
        picture.LoadFromFile(name);
        auto* gif = dynamic_cast<GIFImg::TGIFImage*>(picture.Graphic());
        ASSERT_NE(gif, nullptr) << "not read by the GIF picture class";
        // A comment after the last image is a frame without image of its own.
        std::vector<GIFImg::TGIFSubImage*> images;
        for (int i = 0; i < gif->Images().Count(); ++i)
            if (!gif->Images().Items(i)->Empty()) images.push_back(gif->Images().Items(i));
        ASSERT_EQ(images.size(), g.frames.size());
        for (size_t i = 0; i < g.frames.size(); ++i) {
            GIFImg::TGIFSubImage& f = *images[i];
            const gifpeers::Frame& want = g.frames[i];
            ASSERT_EQ(f.Width(), want.width);
            ASSERT_EQ(f.Height(), want.height);
            // The rendered frame bitmap shows giflib's colours pixel for pixel.
            TBitmap* b = f.Bitmap();
            ASSERT_NE(b, nullptr);
            const QImage shown = b->ToImage();
            int wrong = 0;
            for (int y = 0; y < want.height; ++y)
                for (int x = 0; x < want.width; ++x)
                    wrong += FromQRgb(shown.pixel(x, y)) != want.colours[static_cast<size_t>(y * want.width + x)];
            EXPECT_EQ(wrong, 0) << "frame " << i;
        }
        // The still that the windows get: the first frame on the screen.
        const auto still = LoadPlannerPicture(entry.path().stem().string());
        ASSERT_NE(still, nullptr);
        EXPECT_EQ(still->Width(), g.width);
        const gifpeers::Frame& first = g.frames[0];
        if (first.width == g.width && first.height == g.height) {
            const QImage shown = still->ToImage();
            int wrong = 0;
            for (int y = 0; y < first.height; ++y)
                for (int x = 0; x < first.width; ++x)
                    wrong += FromQRgb(shown.pixel(x, y)) != first.colours[static_cast<size_t>(y * first.width + x)];
            EXPECT_EQ(wrong, 0);
        }
    }
    EXPECT_GE(files, 10);
}
