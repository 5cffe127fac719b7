// The GIF model and stream format: signatures, block quirks, versions, colour tables, and the
// picture class (size, frames, palette, assignment, registration).
#include "gif/GIFCodec.h"
#include "gif/GIFImg.h"
#include "gif/GifPeers.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cstring>
#include <functional>
#include <algorithm>

using namespace GIFImg;
using gifpeers::Load;
using gifpeers::Loaded;
using gifpeers::Save;

namespace {



std::vector<uint8_t> Bytes(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<uint8_t> Text(std::string_view s) { return {s.begin(), s.end()}; }

// A 2 x 2 picture with a 2-colour global table.
const std::vector<uint8_t> kScreen = {2, 0, 2, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255};
// One 2 x 2 frame of pixels 0, 1, 1, 0.
std::vector<uint8_t> EncodedFrame()
{
    TByteWriter w;
    w.Bytes(std::vector<uint8_t>{0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0});
    const uint8_t pixels[4] = {0, 1, 1, 0};
    TLZWEncoder().Encode(w, 1, 2, pixels, false, 2, 2);
    return w.TakeBytes();
}
const std::vector<uint8_t> kFrame = EncodedFrame();

TEST(GIFImg, SignatureAndTrailerQuirks)
{
    const auto gif = Text("GIF89a");
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::string error;
        std::vector<std::string> warnings;
        int frames;
    };
    const Case cases[] = {
        {"plain", Bytes({gif, kScreen, kFrame, {0x3B}}), "", {}, 1},
        {"lower-case signature", Bytes({Text("gif87a"), kScreen, kFrame, {0x3B}}), "", {}, 1},
        {"four bytes ahead", Bytes({{1, 2, 3, 4}, gif, kScreen, kFrame, {0x3B}}), "", {}, 1},
        {"no signature", Bytes({{1, 2, 3, 4}, Text("GIT89a"), kScreen, kFrame}), "Invalid GIF signature", {}, 0},
        {"no trailer", Bytes({gif, kScreen, kFrame}), "", {}, 1},
        {"wrong trailer", Bytes({gif, kScreen, kFrame, {0x3A}}), "", {"Unknown GIF block type", "Invalid Image trailer"}, 1},
        {"unknown block", Bytes({gif, kScreen, kFrame, {0x2A, 0x3B}}), "", {"Unknown GIF block type", "Invalid Image trailer"}, 1},
        {"zeros between blocks", Bytes({gif, kScreen, {0, 0}, kFrame, {0, 0x3B}}), "", {}, 1},
        {"unknown extension label", Bytes({gif, kScreen, {0x21, 0x02, 0}, kFrame, {0x3B}}), "Unknown extension type", {}, 0},
        {"bad loop block", Bytes({gif, kScreen, {0x21, 0xFF, 11}, Text("NETSCAPE2.0"), {3, 2, 0, 0, 0}, kFrame}),
         "Invalid GIF data", {}, 0},
        {"short application block", Bytes({gif, kScreen, {0x21, 0xFF, 5, 1, 2, 3, 4, 5, 0}, kFrame}),
         "Unsupported Application Extension block size", {}, 0},
        {"truncated table", Bytes({gif, {2, 0, 2, 0, 0x87, 0, 0, 1, 2, 3}}), "Premature end of data", {}, 0},
    };
    for (const Case& c : cases) {
        Loaded l = Load(c.bytes);
        EXPECT_EQ(l.error, c.error) << c.what;
        EXPECT_EQ(l.warnings, c.warnings) << c.what;
        EXPECT_EQ(l.picture->Images().Count(), c.frames) << c.what;
    }
}

TEST(GIFImg, FrameOfWidthZeroTakesTheScreenSize)
{
    std::vector<uint8_t> frame = kFrame;
    frame[5] = 0;  // width 0
    Loaded l = Load(Bytes({Text("GIF89a"), kScreen, frame, {0x3B}}));
    ASSERT_EQ(l.error, "");
    EXPECT_EQ(l.warnings, std::vector<std::string>{"Image exceeds Logical Screen size"});
    EXPECT_EQ(l.picture->Images().First()->Width(), 2);
}

TEST(GIFImg, ExtensionsRoundTripAndSetTheVersion)
{
    // A comment after the last frame becomes a frame without image; "ANIMEXTS1.0" reads as a loop
    // and is written back under its own name; an application block larger than 11 bytes is kept.
    const auto anim = Bytes({{0x21, 0xFF, 11}, Text("ANIMEXTS1.0"), {3, 1, 5, 0, 0}});
    const auto big = Bytes({{0x21, 0xFF, 13}, Text("BELVORXX1.0"), {9, 9, 2, 7, 7, 0}});
    const auto gce = std::vector<uint8_t>{0x21, 0xF9, 4, 0x05, 10, 0, 1, 0};
    const auto text = Bytes({{0x21, 0x01, 12, 0, 0, 0, 0, 8, 0, 8, 0, 4, 4, 1, 0, 2}, Text("hi"), {0}});
    const auto comment = Bytes({{0x21, 0xFE, 3}, Text("end"), {0}});
    const auto file = Bytes({Text("GIF89a"), kScreen, anim, big, gce, text, kFrame, comment, {0x3B}});
    Loaded l = Load(file);
    ASSERT_EQ(l.error, "");
    EXPECT_TRUE(l.warnings.empty());
    ASSERT_EQ(l.picture->Images().Count(), 2);
    TGIFSubImage& f = *l.picture->Images().First();
    ASSERT_EQ(f.Extensions().Count(), 4);
    auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(f.Extensions().Items(0));
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->Loops, 5);
    EXPECT_NE(dynamic_cast<TGIFApplicationExtension*>(f.Extensions().Items(1)), nullptr);
    ASSERT_EQ(f.GraphicControlExtension(), f.Extensions().Items(2));
    EXPECT_TRUE(f.Transparent());
    EXPECT_EQ(f.GraphicControlExtension()->Disposal(), 1);
    EXPECT_EQ(dynamic_cast<TGIFTextExtension*>(f.Extensions().Items(3))->Text, std::vector<std::string>{"hi"});
    EXPECT_TRUE(l.picture->Images().Items(1)->Empty());
    // Written back byte for byte: the frame's pixels take the same codes.
    EXPECT_EQ(Save(*l.picture), file);
}

TEST(GIFImg, VersionFollowsTheBlocks)
{
    Loaded l = Load(Bytes({Text("GIF89a"), kScreen, kFrame, {0x3B}}));
    ASSERT_EQ(l.error, "");
    std::vector<uint8_t> saved = Save(*l.picture);
    EXPECT_EQ(std::string(saved.begin(), saved.begin() + 6), "GIF87a");
    TGIFSubImage& f = *l.picture->Images().First();
    f.Extensions().Add(std::make_unique<TGIFGraphicControlExtension>(&f));
    saved = Save(*l.picture);
    EXPECT_EQ(std::string(saved.begin(), saved.begin() + 6), "GIF89a");
    TGIFImage empty;
    TByteWriter w;
    EXPECT_THROW(empty.SaveToBytes(w), GIFException);
}

TEST(GIFImg, GlobalTableIsPaddedToItsBitCount)
{
    TGIFImage p;
    for (int i = 0; i < 5; ++i) p.GlobalColorMap().Add(RGB(i, i, i));
    TBitmap b(3, 1, pf8bit);
    b.SetPalette({RGB(0, 0, 0), RGB(1, 1, 1), RGB(4, 4, 4)});
    b.ScanLine(0)[0] = 0;
    b.ScanLine(0)[1] = 1;
    b.ScanLine(0)[2] = 2;
    p.Add(b);
    p.Images().First()->ColorMap().Clear();  // the frame uses the global table
    const std::vector<uint8_t> bytes = Save(p);
    EXPECT_EQ(bytes[10] & 0x87, 0x82);  // table present, size bits 2: 8 entries
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 13 + 15, bytes.begin() + 13 + 24), std::vector<uint8_t>(9, 0));
    const gifpeers::Decoded g = gifpeers::GiflibDecode(bytes);
    ASSERT_TRUE(g.ok);
    EXPECT_EQ(g.frames[0].colours, (std::vector<TColor>{RGB(0, 0, 0), RGB(1, 1, 1), RGB(2, 2, 2)}));
}

TEST(GIFImg, ColorTable)
{
    TGIFImage p;
    std::vector<std::string> warnings;
    p.OnWarning = [&](TGIFObject*, TGIFSeverity, const std::string& m) { warnings.push_back(m); };
    TGIFColorMap& m = p.GlobalColorMap();
    EXPECT_THROW(m.Colors(0), GIFException);
    warnings.clear();
    for (int i = 0; i < 256; ++i) EXPECT_EQ(m.Add(RGB(i, 0, 0)), i);
    EXPECT_EQ(m.Add(RGB(7, 0, 0)), 7);
    EXPECT_EQ(m.BitsPerPixel(), 8);
    try {
        m.Add(clBlue);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Color table overflow");
    }
    EXPECT_EQ(m.Colors(300), RGB(0, 0, 0));
    EXPECT_EQ(warnings, std::vector<std::string>{"Invalid color index"});
}

TEST(GIFImg, SortByUseReordersAndRenumbers)
{
    TGIFImage p;
    TBitmap b(4, 1, pf8bit);
    b.SetPalette({clRed, clGreen, clBlue});
    const uint8_t px[4] = {2, 1, 2, 2};
    std::memcpy(b.ScanLine(0), px, 4);
    p.Add(b);
    TGIFSubImage& f = *p.Images().First();
    ASSERT_EQ(f.ColorMap().Count(), 3);
    EXPECT_TRUE(f.ColorMap().SortByUse());
    EXPECT_EQ(f.ColorMap().Count(), 2);  // red is unused
    EXPECT_EQ(f.ColorMap().Colors(0), clBlue);
    EXPECT_EQ(f.ColorMap().Colors(1), clGreen);
    EXPECT_EQ(std::vector<uint8_t>(f.Data(), f.Data() + 4), (std::vector<uint8_t>{0, 1, 0, 0}));
    // The global table sorts only for exactly one frame that uses it.
    p.Add(b);
    EXPECT_FALSE(p.GlobalColorMap().SortByUse());
}

TEST(GIFImg, PictureSizeAndFrames)
{
    TGIFImage p;
    std::vector<std::string> warnings;
    p.OnWarning = [&](TGIFObject*, TGIFSeverity, const std::string& m) { warnings.push_back(m); };
    p.SetWidth(100);
    p.SetHeight(100);
    TBitmap b(300, 200, pf8bit);
    EXPECT_EQ(p.Add(b), 0);
    EXPECT_EQ(p.Width(), 300);
    EXPECT_EQ(p.Height(), 200);
    EXPECT_EQ(warnings, (std::vector<std::string>{"Image width too small for contained frames",
                                                  "Image height too small for contained frames",
                                                  "Image exceeds Logical Screen size"}));
    try {
        p.SetWidth(299);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Image width too small for contained frames");
    }
    EXPECT_EQ(p.Width(), 300);
    TGIFImage q;
    EXPECT_FALSE(p.Equals(q));
    EXPECT_TRUE(p.Equals(p));
}

TEST(GIFImg, AssignCopiesFramesAndOptionsButKeepsCompression)
{
    TGIFImage p;
    TBitmap b(5, 4, pf8bit);
    b.SetPalette({clRed, clLime});
    b.ScanLine(2)[3] = 1;
    p.Add(b);
    p.ColorReduction = rdGray256;
    p.Compression = gcRLE;
    p.AnimationSpeed = 50;
    TGIFImage q;
    q.Compression = gcLZW;
    q.Assign(&p);
    EXPECT_EQ(q.Images().Count(), 1);
    EXPECT_EQ(q.ColorReduction, rdGray256);
    EXPECT_EQ(q.Compression, gcLZW);
    EXPECT_EQ(q.AnimationSpeed, 100);
    EXPECT_EQ(q.Images().First()->Data()[2 * 5 + 3], 1);
}

// A progress handler that cancels (EAbort) at the starting or the ending report of each
// operation: loading, saving, converting and copying pass the abort to their caller, rendering
// keeps the frame without a bitmap; none of them ends the program. The ending report still comes
// when the operation itself fails.
TEST(GIFImg, ProgressHandlerMayAbortAtTheStartAndAtTheEnd)
{
    TBitmap source(4, 3, pf8bit);
    source.SetPalette({clRed, clLime});
    source.ScanLine(1)[2] = 1;
    TGIFImage original;
    original.Add(source);
    const std::vector<uint8_t> file = Save(original);

    struct TOperation {
        const char* message;
        bool abortReachesCaller;
        std::function<void(TGIFImage& picture)> run;
    };
    const std::vector<TOperation> operations = {
        {"Loading...", true, [&](TGIFImage& p) {
             TByteReader r(file);
             p.LoadFromBytes(r);
         }},
        {"Saving...", true, [&](TGIFImage& p) { Save(p); }},
        {"Converting...", true, [&](TGIFImage& p) { p.Add(source); }},
        {"Copying...", true, [&](TGIFImage& p) {
             TGIFImage copy;
             copy.Assign(&p);
         }},
        {"Rendering...", false, [&](TGIFImage& p) {
             p.Images().First()->FreeBitmap();
             EXPECT_EQ(p.Images().First()->Bitmap(), nullptr);
         }},
    };
    for (const TOperation& op : operations)
        for (const TProgressStage stage : {psStarting, psEnding}) {
            SCOPED_TRACE(std::string(op.message) + (stage == psStarting ? " at the start" : " at the end"));
            TGIFImage picture;
            TByteReader r(file);
            picture.LoadFromBytes(r);
            std::vector<TProgressStage> seen;
            picture.OnProgress = [&](TGIFObject*, TProgressStage s, int, bool, const std::string& message) {
                if (message != op.message) return;
                seen.push_back(s);
                if (s == stage) throw EAbort();
            };
            bool aborted = false;
            try {
                op.run(picture);
            } catch (const EAbort&) {
                aborted = true;
            }
            EXPECT_EQ(aborted, op.abortReachesCaller);
            ASSERT_FALSE(seen.empty());
            EXPECT_EQ(seen.back(), stage);
            EXPECT_EQ(std::count(seen.begin(), seen.end(), psEnding), stage == psEnding ? 1 : 0);
        }

    // A damaged file: the ending report (0 %) comes while the error leaves, and an abort raised
    // there is dropped in favour of the error.
    TGIFImage damaged;
    std::vector<int> endings;
    damaged.OnProgress = [&](TGIFObject*, TProgressStage s, int percent, bool, const std::string&) {
        if (s != psEnding) return;
        endings.push_back(percent);
        throw EAbort();
    };
    const std::vector<uint8_t> notGif = Text("NOTAGIF.......");
    TByteReader bad(notGif);
    EXPECT_THROW(damaged.LoadFromBytes(bad), GIFException);
    EXPECT_EQ(endings, std::vector<int>{0});
}

TEST(GIFImg, PaletteOfAPictureWithoutGlobalTableIsItsFramesAndNotStored)
{
    TGIFImage p;
    TBitmap b(2, 2, pf1bit);
    b.SetPalette({clNavy, clYellow});
    p.Add(b);
    const TGIFPalette palette = p.GetPalette();
    ASSERT_GE(palette.size(), 2u);
    EXPECT_EQ(palette[0], clNavy);
    EXPECT_EQ(palette[1], clYellow);
}

// Setting a rendered frame's palette to none drops its bitmap, marks the palette modified and
// reports a change of the picture; a first frame that does not cover the screen gives a picture
// bitmap that carries the picture's palette.
TEST(GIFImg, FramePaletteOfNoneAndTheOffsetFramesBitmapPalette)
{
    TGIFImage p;
    p.DrawOptions &= static_cast<TGIFPaintOptions>(~PaintOption(doDither));
    TBitmap b(4, 2, pf8bit);
    b.SetPalette({clNavy, clYellow});
    for (int y = 0; y < 2; ++y) std::memset(b.ScanLine(y), 0, 4);
    b.ScanLine(1)[3] = 1;
    p.Add(b);
    TGIFSubImage& f = *p.Images().First();
    ASSERT_NE(f.Bitmap(), nullptr);
    int changes = 0;
    p.OnChange = [&](TGraphic&) { ++changes; };
    p.SetPaletteModified(false);
    f.SetPalette({});
    EXPECT_FALSE(f.Rendered());
    EXPECT_TRUE(p.PaletteModified());
    EXPECT_EQ(changes, 1);

    p.OnChange = nullptr;
    p.GlobalColorMap().ImportPalette({clNavy, clYellow, clRed});
    p.SetWidth(6);
    p.SetHeight(5);
    f.SetLeft(1);
    f.SetTop(2);
    TBitmap* whole = p.Bitmap();
    ASSERT_NE(whole, nullptr);
    const TGIFPalette palette = whole->Palette();
    ASSERT_GE(palette.size(), 3u);
    EXPECT_EQ(TGIFPalette(palette.begin(), palette.begin() + 3), (TGIFPalette{clNavy, clYellow, clRed}));
    const QImage shown = whole->ToImage();
    EXPECT_EQ(FromQRgb(shown.pixel(1, 2)), clNavy);
    EXPECT_EQ(FromQRgb(shown.pixel(4, 3)), clYellow);
}

TEST(GIFImg, ClipboardFormatCarriesTheFileAndTheBitmap)
{
    TGIFImage p;
    TBitmap b(3, 3, pf8bit);
    b.SetPalette({clRed, clBlue});
    p.Add(b);
    std::vector<uint8_t> data;
    TBitmap shown;
    ASSERT_TRUE(p.SaveToClipboardFormat(data, shown));
    EXPECT_EQ(shown.Width(), 3);
    TGIFImage q;
    q.LoadFromClipboardFormat(TGIFImage::ClipboardFormatName, data);
    EXPECT_EQ(q.Images().Count(), 1);
    // A clipboard that holds only a bitmap gives a one-frame picture.
    TMemoryStream m;
    shown.SaveToStream(m);
    std::vector<uint8_t> bmp(static_cast<size_t>(m.Size()));
    m.SetPosition(0);
    m.ReadBuffer(bmp.data(), m.Size());
    TGIFImage r;
    r.LoadFromClipboardFormat("Bitmap", bmp);
    EXPECT_EQ(r.Images().Count(), 1);
    EXPECT_EQ(r.Width(), 3);
}

TEST(GIFImg, SystemClipboardHoldsTheBitmapAndTheGifImageFormat)
{
    TGIFImage p;
    TBitmap b(4, 3, pf8bit);
    b.SetPalette({clRed, clBlue});
    for (int y = 0; y < 3; ++y) std::memset(b.ScanLine(y), 1, 4);
    p.Add(b);
    ASSERT_TRUE(CopyToClipboard(p));
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasImage());
    EXPECT_EQ(gifpeers::GiflibDecode([&] {
                  const QByteArray gif = mime->data("application/x-qt-windows-mime;value=\"GIF Image\"");
                  return std::vector<uint8_t>(gif.begin(), gif.end());
              }()).frames.size(),
              1u);
    TGIFImage q;
    ASSERT_TRUE(PasteFromClipboard(q));
    EXPECT_EQ(q.Images().Count(), 1);
    EXPECT_EQ(q.Images().First()->ColorMap().Colors(q.Images().First()->Data()[0]), clBlue);
    // Only a bitmap there: a one-frame picture.
    QImage image(5, 2, QImage::Format_RGB32);
    image.fill(Qt::green);
    QGuiApplication::clipboard()->setImage(image);
    TGIFImage r;
    ASSERT_TRUE(PasteFromClipboard(r));
    EXPECT_EQ(r.Images().Count(), 1);
    EXPECT_EQ(r.Width(), 5);
}

TEST(GIFImg, RegisteredForGifInThePictureRegistry)
{
    RegisterGIFImage();
    RegisterGIFImage();
    auto g = TPicture::CreateGraphic("GIF");
    EXPECT_NE(dynamic_cast<TGIFImage*>(g.get()), nullptr);
}

} // namespace
