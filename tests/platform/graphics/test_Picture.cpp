#include "platform/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace {
namespace fs = std::filesystem;

// Colour table white, red, blue, black; LZW codes with a clear code after every two pixels.
const char kTinyGif[] =
    "\x47\x49\x46\x38\x39\x61\x03\x00\x02\x00\x81\x00\x00\xff\xff\xff\xff\x00\x00\x00\x00\xff\x00\x00"
    "\x00\x2c\x00\x00\x00\x00\x03\x00\x02\x00\x00\x02\x04\x0c\x08\x10\x2a\x00\x3b";

// A stand-in picture class: remembers how many bytes it was given.
class TFakePicture : public TGraphic {
public:
    int Width() const override { return 1; }
    int Height() const override { return 1; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return false; }
    void Draw(TCanvas&, const TRect&) override {}
    void LoadFromStream(TStream& s) override { bytes = s.Size() - s.Position(); }
    void SaveToStream(TStream&) override {}
    int64_t bytes = -1;
};

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("mw_picture_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        TPicture::UnregisterGraphicClass<TFakePicture>();
        fs::remove_all(dir_);
    }
    std::string Path(const std::string& leaf) const { return (dir_ / leaf).string(); }
    // A 3 x 2 picture, red at the top left and blue at the bottom right, in the given format
    // (Qt writes it; Qt writes no GIF, so that one is spelled out).
    std::string WriteQtPicture(const std::string& leaf, const char* format)
    {
        if (std::string(format) == "GIF") {
            WriteBytes(leaf, std::string(kTinyGif, sizeof kTinyGif - 1));
            return Path(leaf);
        }
        QImage img(3, 2, QImage::Format_RGB32);
        img.fill(qRgb(255, 255, 255));
        img.setPixel(0, 0, qRgb(255, 0, 0));
        img.setPixel(2, 1, qRgb(0, 0, 255));
        EXPECT_TRUE(img.save(QString::fromStdString(Path(leaf)), format));
        return Path(leaf);
    }
    void WriteBytes(const std::string& leaf, const std::string& bytes)
    {
        std::ofstream(Path(leaf), std::ios::binary) << bytes;
    }
    fs::path dir_;
};
} // namespace

TEST_F(PictureTest, FormatsWithoutAClassAreReadByQt)
{
    for (const char* fmt : {"PNG", "GIF", "BMP"}) {
        SCOPED_TRACE(fmt);
        const std::string file = WriteQtPicture(std::string("pic.") + fmt, fmt);  // upper-case extension
        TPicture p;
        p.LoadFromFile(file);
        auto* b = dynamic_cast<TBitmap*>(p.Graphic());
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(p.Width(), 3);
        EXPECT_EQ(p.Height(), 2);
        EXPECT_EQ(b->Canvas().Pixels(0, 0), clRed);
        EXPECT_EQ(b->Canvas().Pixels(2, 1), clBlue);
        EXPECT_EQ(b->Canvas().Pixels(1, 0), clWhite);
    }
}

TEST_F(PictureTest, ARegisteredClassWinsUntilItIsUnregistered)
{
    const std::string file = WriteQtPicture("splash.Gif", "GIF");
    TPicture::RegisterFileFormat<TFakePicture>("GIF", "GIF Image");
    TPicture p;
    p.LoadFromFile(file);
    auto* fake = dynamic_cast<TFakePicture*>(p.Graphic());
    ASSERT_NE(fake, nullptr);
    EXPECT_EQ(fake->bytes, static_cast<int64_t>(fs::file_size(file)));

    // Loading by extension from a stream (resources), with or without the dot.
    TMemoryStream m;
    m.LoadFromFile(file);
    for (const char* ext : {"gif", ".GIF"}) {
        m.SetPosition(0);
        p.LoadFromStream(m, ext);
        EXPECT_NE(dynamic_cast<TFakePicture*>(p.Graphic()), nullptr) << ext;
    }

    TPicture::UnregisterGraphicClass<TFakePicture>();
    p.LoadFromFile(file);
    EXPECT_NE(dynamic_cast<TBitmap*>(p.Graphic()), nullptr);
    EXPECT_EQ(TPicture::CreateGraphic("gif"), nullptr);
    EXPECT_NE(dynamic_cast<TBitmap*>(TPicture::CreateGraphic("BMP").get()), nullptr);
}

TEST_F(PictureTest, UnknownExtensionsAndDamagedFilesRaiseAndKeepThePicture)
{
    const std::string good = WriteQtPicture("good.png", "PNG");
    WriteBytes("bad.png", "\x89PNG\r\n\x1a\n not really");
    WriteBytes("bad.gif", "GIF89a\x03");
    WriteBytes("bad.bmp", "BM\x10\x00\x00\x00garbage-garbage-garbage");
    WriteBytes("empty.jpg", "");
    WriteBytes("data.xyz", "anything");
    struct Case {
        std::string file;
        std::string message;  // empty: any message
    };
    const Case cases[] = {
        {Path("data.xyz"), "Unknown picture file extension (.xyz)"},
        {Path("DATA.XYZ"), "Unknown picture file extension (.xyz)"},  // decided before opening
        {Path("noext"), "Unknown picture file extension (.)"},
        {Path("bad.png"), ""},
        {Path("bad.gif"), ""},
        {Path("bad.bmp"), "Bitmap image is not valid"},
        {Path("empty.jpg"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TPicture p;
        p.LoadFromFile(good);
        try {
            p.LoadFromFile(c.file);
            ADD_FAILURE() << "no exception";
        } catch (const EInvalidGraphic& e) {
            if (!c.message.empty()) {
                EXPECT_EQ(e.Message(), c.message);
            }
        }
        EXPECT_EQ(p.Width(), 3);
    }
    TPicture p;
    EXPECT_THROW(p.LoadFromFile(Path("missing.png")), EFOpenError);
    // Names that are not plain files fail at once: a folder, a pipe nobody writes, a device
    // that never ends.
    fs::create_directory(Path("folder.png"));
    ASSERT_EQ(::mkfifo(Path("pipe.png").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", Path("zero.bmp"));
    for (const std::string& name : {Path("folder.png"), Path("pipe.png"), Path("zero.bmp")}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(p.LoadFromFile(name), EFOpenError);
    }
    // A file far larger than any picture is refused before it is read (a sparse file: no disk
    // space is used).
    WriteBytes("huge.png", "\x89PNG\r\n\x1a\n");
    fs::resize_file(Path("huge.png"), std::uintmax_t(300) << 20);
    try {
        p.LoadFromFile(Path("huge.png"));
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Picture file too large: " + Path("huge.png"));
    }
}

TEST_F(PictureTest, PicturesHeldInMemoryComeBackAsBitmaps)
{
    const std::string gif(kTinyGif, sizeof kTinyGif - 1);
    auto b = LoadPictureBitmap(gif.data(), gif.size(), "gif");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Width(), 3);
    EXPECT_EQ(b->Height(), 2);
    EXPECT_EQ(b->Canvas().Pixels(0, 0), clRed);

    EXPECT_THROW(LoadPictureBitmap(gif.data(), 0, "gif"), EInvalidGraphic);
    const std::string cut = gif.substr(0, 12);
    EXPECT_THROW(LoadPictureBitmap(cut.data(), cut.size(), "gif"), EInvalidGraphic);
    EXPECT_THROW(LoadPictureBitmap(gif.data(), gif.size(), "xyz"), EInvalidGraphic);
}
