// The codec's code streams are checked by giflib and Qt's reader; our decoder reads files that
// giflib and gifsicle wrote, and damaged files give clear errors or warnings, never a crash.
#include "gif/GIFCodec.h"
#include "gif/GIFImg.h"
#include "gif/GifPeers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace GIFImg;
using gifpeers::Load;
using gifpeers::Loaded;
using gifpeers::Save;
namespace fs = std::filesystem;

namespace {

TColor Entry(int i) { return RGB((i * 37) % 256, (i * 91 + 7) % 256, i); }

enum class Pattern { Random, OneColour, Alternating, Runs };

// A one-frame picture whose global table holds 2^bits colours.
std::unique_ptr<TGIFImage> MakePicture(int bits, int w, int h, bool interlaced, Pattern pattern,
                                       TGIFCompression compression, uint32_t seed = 7)
{
    auto p = std::make_unique<TGIFImage>();
    p->Compression = compression;
    const int colours = 1 << bits;
    for (int i = 0; i < colours; ++i) p->GlobalColorMap().Add(Entry(i));
    p->Header().Width = static_cast<uint16_t>(w);
    p->Header().Height = static_cast<uint16_t>(h);
    auto f = std::make_unique<TGIFSubImage>(p.get());
    f->SetWidth(w);
    f->SetHeight(h);
    f->SetInterlaced(interlaced);
    f->AllocData();
    std::mt19937 rng(seed);
    int run = 0, value = 0;
    for (int64_t i = 0; i < f->DataSize(); ++i) {
        switch (pattern) {
        case Pattern::Random: f->Data()[i] = static_cast<uint8_t>(rng() % static_cast<unsigned>(colours)); break;
        case Pattern::OneColour: f->Data()[i] = static_cast<uint8_t>(colours - 1); break;
        case Pattern::Alternating: f->Data()[i] = static_cast<uint8_t>(i % 2); break;
        case Pattern::Runs:
            if (run == 0) {
                run = 1 + static_cast<int>(rng() % 300);
                value = static_cast<int>(rng() % static_cast<unsigned>(colours));
            }
            --run;
            f->Data()[i] = static_cast<uint8_t>(value);
            break;
        }
    }
    p->Images().Add(std::move(f));
    return p;
}



std::vector<uint8_t> Pixels(TGIFSubImage& f) { return {f.Data(), f.Data() + f.DataSize()}; }

std::string TempDir()
{
    const fs::path d = fs::temp_directory_path() / ("gifcodec_" + std::to_string(::getpid()));
    fs::create_directories(d);
    return d.string();
}

// Writes the picture's frame with giflib's encoder.
std::vector<uint8_t> GiflibEncode(TGIFImage& p, bool interlaced)
{
    const std::string name = TempDir() + "/giflib.gif";
    TGIFSubImage& f = *p.Images().First();
    int err = 0;
    GifFileType* g = EGifOpenFileName(name.c_str(), false, &err);
    EXPECT_NE(g, nullptr);
    const int count = p.GlobalColorMap().Count();
    ColorMapObject* map = GifMakeMapObject(count, nullptr);
    for (int i = 0; i < count; ++i) {
        const TColor c = p.GlobalColorMap().Colors(i);
        map->Colors[i] = {static_cast<GifByteType>(GetRValue(c)), static_cast<GifByteType>(GetGValue(c)),
                          static_cast<GifByteType>(GetBValue(c))};
    }
    EGifPutScreenDesc(g, f.Width(), f.Height(), 8, 0, map);
    EGifPutImageDesc(g, 0, 0, f.Width(), f.Height(), interlaced, nullptr);
    std::vector<int> rows;
    if (interlaced) {
        for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
            for (int y = start; y < f.Height(); y += step) rows.push_back(y);
    } else {
        for (int y = 0; y < f.Height(); ++y) rows.push_back(y);
    }
    for (int y : rows) EGifPutLine(g, f.Data() + y * f.Width(), f.Width());
    EGifCloseFile(g, &err);
    GifFreeMapObject(map);
    return gifpeers::ReadFile(name);
}

// giflib, Qt and our decoder all read back exactly the frame's indexes.
void ExpectDecodedByAll(TGIFImage& p, const std::string& what)
{
    TGIFSubImage& f = *p.Images().First();
    const std::vector<uint8_t> bytes = Save(p);
    const gifpeers::Decoded g = gifpeers::GiflibDecode(bytes);
    ASSERT_TRUE(g.ok) << what << ": " << g.error;
    ASSERT_EQ(g.frames.size(), 1u) << what;
    EXPECT_EQ(g.frames[0].indexes, Pixels(f)) << what << " (giflib)";

    const QImage q = gifpeers::QtDecode(bytes);
    ASSERT_FALSE(q.isNull()) << what;
    ASSERT_EQ(q.width(), f.Width());
    int wrong = 0;
    for (int y = 0; y < f.Height(); ++y)
        for (int x = 0; x < f.Width(); ++x)
            wrong += FromQRgb(q.pixel(x, y)) != Entry(f.Data()[y * f.Width() + x]);
    // Qt's reader misplaces rows of some short interlaced frames (3 or 4 rows high), also in
    // giflib's files: there it must read ours as it reads giflib's.
    if (wrong > 0 && f.Interlaced())
        EXPECT_EQ(q, gifpeers::QtDecode(GiflibEncode(p, true))) << what << " (Qt, as giflib's file)";
    else
        EXPECT_EQ(wrong, 0) << what << " (Qt)";

    Loaded back = Load(bytes);
    ASSERT_EQ(back.error, "") << what;
    EXPECT_TRUE(back.warnings.empty()) << what << ": " << back.warnings.front();
    ASSERT_EQ(back.picture->Images().Count(), 1);
    EXPECT_EQ(Pixels(*back.picture->Images().First()), Pixels(f)) << what << " (ours)";
}

TEST(GIFCodec, BothEncodersRoundTripThroughGiflibQtAndOurDecoder)
{
    struct Case {
        int bits, w, h;
        bool interlaced;
        Pattern pattern;
    };
    std::vector<Case> cases;
    for (int bits = 1; bits <= 8; ++bits) cases.push_back({bits, 37, 23, false, Pattern::Random});
    for (int h : {2, 3, 4, 9}) cases.push_back({3, 11, h, true, Pattern::Random});
    cases.push_back({1, 1, 1, false, Pattern::Random});
    cases.push_back({8, 1, 1, true, Pattern::Random});
    cases.push_back({8, 200, 150, false, Pattern::Random});  // many more than 4,000 strings: clears
    cases.push_back({8, 301, 257, true, Pattern::OneColour});
    cases.push_back({2, 64, 64, false, Pattern::Alternating});
    cases.push_back({5, 333, 111, false, Pattern::Runs});
    cases.push_back({8, 640, 100, false, Pattern::Runs});
    for (TGIFCompression c : {gcLZW, gcRLE})
        for (const Case& k : cases) {
            auto p = MakePicture(k.bits, k.w, k.h, k.interlaced, k.pattern, c);
            ExpectDecodedByAll(*p, std::string(c == gcLZW ? "LZW " : "RLE ") + std::to_string(k.bits) + " bits " +
                                       std::to_string(k.w) + "x" + std::to_string(k.h) +
                                       (k.interlaced ? " interlaced" : ""));
        }
}

TEST(GIFCodec, OneBitPixelsUseCodeSizeTwo)
{
    auto p = MakePicture(1, 8, 8, false, Pattern::Random, gcLZW);
    const std::vector<uint8_t> bytes = Save(*p);
    // header 13, global table 2 x 3, descriptor 10: the LZW minimum code size follows.
    EXPECT_EQ(bytes[13 + 6 + 10], 2);
}

// The LZW coder clears when its next free code would be 4095, so codes never pass 12 bits: a
// decoder reading codes of at most 12 bits sees the whole frame.
TEST(GIFCodec, LzwClearsBeforeTheTableOverflows)
{
    auto p = MakePicture(8, 256, 256, false, Pattern::Random, gcLZW, 99);
    const std::vector<uint8_t> bytes = Save(*p);
    // Count clear codes by decoding the stream with a 12-bit-limited reader of our own.
    TByteReader r(bytes);
    r.Seek(13 + 768 + 10);
    const int ics = r.U8();
    std::vector<uint8_t> data;
    for (int n; (n = r.U8()) != 0;) {
        auto b = r.Take(static_cast<size_t>(n));
        data.insert(data.end(), b.begin(), b.end());
    }
    int width = ics + 1, next = (1 << ics) + 2, clears = 0;
    uint64_t pos = 0;
    auto code = [&] {
        uint32_t v = 0;
        for (int i = 0; i < width; ++i, ++pos) v |= ((data[pos >> 3] >> (pos & 7)) & 1u) << i;
        return static_cast<int>(v);
    };
    bool first = true, afterClear = false;
    while (pos + static_cast<uint64_t>(width) <= data.size() * 8) {
        const int c = code();
        if (c == (1 << ics)) {
            if (!first) {
                ++clears;
                EXPECT_EQ(next, 4095) << "a clear code only where the next free code would be 4095";
            }
            first = false;
            afterClear = true;
            width = ics + 1;
            next = (1 << ics) + 2;
            continue;
        }
        if (c == (1 << ics) + 1) break;
        if (!afterClear && next < 4096 && ++next == (1 << width) && width < 12) ++width;
        afterClear = false;
        ASSERT_LE(width, 12);
    }
    EXPECT_GT(clears, 0);
}

// --- Files written by others ---------------------------------------------------------------------

void ExpectOursMatchesGiflib(const std::vector<uint8_t>& bytes, const std::string& what)
{
    const gifpeers::Decoded g = gifpeers::GiflibDecode(bytes);
    ASSERT_TRUE(g.ok) << what << ": " << g.error;
    Loaded ours = Load(bytes);
    ASSERT_EQ(ours.error, "") << what;
    ASSERT_EQ(static_cast<size_t>(ours.picture->Images().Count()), g.frames.size()) << what;
    for (size_t i = 0; i < g.frames.size(); ++i) {
        TGIFSubImage& f = *ours.picture->Images().Items(static_cast<int>(i));
        EXPECT_EQ(f.Left(), g.frames[i].left);
        EXPECT_EQ(f.Width(), g.frames[i].width) << what;
        EXPECT_EQ(Pixels(f), g.frames[i].indexes) << what << " frame " << i;
        std::vector<TColor> colours;
        for (uint8_t ix : Pixels(f)) colours.push_back(f.ActiveColorMap().Colors(ix));
        EXPECT_EQ(colours, g.frames[i].colours) << what << " frame " << i;
    }
}

TEST(GIFCodec, ReadsGiflibAndGifsicleFiles)
{
    for (bool interlaced : {false, true}) {
        auto p = MakePicture(8, 180, 97, false, Pattern::Runs, gcLZW, 3);
        ExpectOursMatchesGiflib(GiflibEncode(*p, interlaced), interlaced ? "giflib interlaced" : "giflib");
    }
    ASSERT_EQ(std::system("gifsicle --version >/dev/null 2>&1"), 0) << "gifsicle is needed (scripts/setup)";
    const std::string dir = TempDir();
    // An animation of our own, rewritten by gifsicle in several ways.
    auto p = MakePicture(6, 120, 80, false, Pattern::Runs, gcRLE, 5);
    for (int k = 1; k < 4; ++k) {
        auto f = std::make_unique<TGIFSubImage>(p.get());
        f->Assign(*p->Images().First());
        for (int64_t i = 0; i < f->DataSize(); i += k * 7) f->Data()[i] = static_cast<uint8_t>((f->Data()[i] + k) % 64);
        auto* gce = new TGIFGraphicControlExtension(f.get());
        f->Extensions().Add(std::unique_ptr<TGIFExtension>(gce));
        gce->SetDelay(10);
        p->Images().Add(std::move(f));
    }
    gifpeers::WriteFile(dir + "/in.gif", Save(*p));
    for (const char* options : {"-O3", "-O1 --interlace", "--colors 16 -O2", "--crop 10,10+50x40 -O3"}) {
        const std::string cmd =
            std::string("gifsicle ") + options + " " + dir + "/in.gif -o " + dir + "/out.gif 2>/dev/null";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
        ExpectOursMatchesGiflib(gifpeers::ReadFile(dir + "/out.gif"), options);
    }
    fs::remove_all(dir);
}

// --- Damaged files -------------------------------------------------------------------------------

// Two frames with the extensions a file carries.
std::vector<uint8_t> SampleFile()
{
    auto p = MakePicture(4, 16, 12, false, Pattern::Runs, gcLZW, 11);
    TGIFSubImage& first = *p->Images().First();
    auto* loop = new TGIFAppExtNSLoop(&first);
    first.Extensions().Add(std::unique_ptr<TGIFExtension>(loop));
    auto* comment = new TGIFCommentExtension(&first);
    comment->Comment = {"sample"};
    first.Extensions().Add(std::unique_ptr<TGIFExtension>(comment));
    auto second = std::make_unique<TGIFSubImage>(p.get());
    second->Assign(first);
    second->SetInterlaced(true);
    auto* gce = new TGIFGraphicControlExtension(second.get());
    second->Extensions().Add(std::unique_ptr<TGIFExtension>(gce));
    gce->SetTransparent(true);
    gce->TransparentIndex = 3;
    p->Images().Add(std::move(second));
    return Save(*p);
}

TEST(GIFCodec, TruncationAtEveryByteGivesAClearErrorOrAWarning)
{
    const std::vector<uint8_t> file = SampleFile();
    ASSERT_EQ(Load(file).error, "");
    for (size_t cut = 0; cut < file.size(); ++cut) {
        const std::vector<uint8_t> part(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
        Loaded l = Load(part);
        if (!l.error.empty()) {
            EXPECT_TRUE(l.error == "Premature end of data" || l.error == "Invalid GIF signature" ||
                        l.error == "Unknown extension type")
                << "cut at " << cut << ": " << l.error;
        }
        for (int i = 0; i < l.picture->Images().Count(); ++i) {
            TGIFSubImage& f = *l.picture->Images().Items(i);
            EXPECT_EQ(f.DataSize(), int64_t(f.Width()) * f.Height());
        }
    }
}

TEST(GIFCodec, FlippedBytesNeverCrash)
{
    const std::vector<uint8_t> file = SampleFile();
    for (size_t at = 0; at < file.size(); ++at)
        for (uint8_t flip : {uint8_t(0xFF), uint8_t(0x01), uint8_t(0x80)}) {
            std::vector<uint8_t> bad = file;
            bad[at] ^= flip;
            Loaded l = Load(bad);
            for (int i = 0; i < l.picture->Images().Count(); ++i) l.picture->Images().Items(i)->Bitmap();
        }
}

// Header and screen of a 4 x 4 picture with a 4-colour table, then an image descriptor.
std::vector<uint8_t> Prefix(uint16_t w = 4, uint16_t h = 4)
{
    TByteWriter b;
    b.String("GIF89a");
    b.U16(4);
    b.U16(4);
    b.U8(0x81);
    b.U8(0);
    b.U8(0);
    for (int i = 0; i < 4; ++i) {
        b.U8(static_cast<uint8_t>(i * 60));
        b.U8(0);
        b.U8(0);
    }
    b.U8(0x2C);
    b.U16(0);
    b.U16(0);
    b.U16(w);
    b.U16(h);
    b.U8(0);
    return b.TakeBytes();
}

std::vector<uint8_t> Join(std::vector<uint8_t> a, std::initializer_list<uint8_t> b)
{
    a.insert(a.end(), b);
    return a;
}

TEST(GIFCodec, HostileImageDataIsRefusedWithItsReason)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::string error;
    };
    const Case cases[] = {
        {"65535 x 65535 in a small file", Join(Prefix(65535, 65535), {2, 1, 0x44, 0, 0x3B}), "Image too large"},
        {"code size 12", Join(Prefix(), {12, 1, 0, 0, 0x3B}), "Unsupported decoder code size"},
        {"code size 255", Join(Prefix(), {255, 1, 0, 0, 0x3B}), "Unsupported decoder code size"},
        // clear (4), then code 7: nothing but a literal may follow a clear
        {"table code right after a clear", Join(Prefix(), {2, 1, 0x3C, 0, 0x3B}), "Decoder code out of range"},
        // clear, literal 1, then code 7 where the next free code is 6
        {"code past the next free code", Join(Prefix(), {2, 2, 0xCC, 0x01, 0, 0x3B}), "Decoder code out of range"},
    };
    for (const Case& c : cases) {
        Loaded l = Load(c.bytes);
        EXPECT_EQ(l.error, c.error) << c.what;
        EXPECT_EQ(l.picture->Width(), 4) << c.what << ": the header stays";
    }
    // A frame of 8192 x 8192 without data is a 100-byte file that would take seconds to draw; so
    // is a screen of that size, drawn when the picture becomes one bitmap.
    EXPECT_EQ(Load(Join(Prefix(8192, 8192), {2, 0, 0x3B})).error, "Image too large");
    std::vector<uint8_t> wideScreen = Join(Prefix(), {2, 0, 0x3B});
    wideScreen[6] = wideScreen[7] = wideScreen[8] = wideScreen[9] = 0xFF;  // 65535 x 65535
    EXPECT_EQ(Load(wideScreen).error, "Image too large");
    // Frames of 2048 x 2048 one after another: the picture stops taking them at its budget and
    // keeps those it read.
    std::vector<uint8_t> many = Prefix(2048, 2048);
    many.insert(many.end(), {2, 0});  // no data: the frame keeps its fill value
    const std::vector<uint8_t> frame(many.begin() + 13 + 12, many.end());
    for (int i = 0; i < 5; ++i) many.insert(many.end(), frame.begin(), frame.end());
    Loaded l = Load(many);
    EXPECT_EQ(l.error, "Image too large");
    EXPECT_EQ(l.picture->Images().Count(), 4);
}

TEST(GIFCodec, ShortDataWarnsKeepsTheFillValueAndLaterFramesLoad)
{
    // Frame 1 (transparent index 3) holds one literal and then its data end; frame 2 is whole.
    TByteWriter b;
    const std::vector<uint8_t> prefix = Prefix();
    b.Bytes(prefix.data(), 13 + 12);                              // header and table
    b.Bytes(std::vector<uint8_t>{0x21, 0xF9, 4, 1, 0, 0, 3, 0});  // transparent index 3
    b.Bytes(prefix.data() + 13 + 12, 10);                         // the 4 x 4 descriptor
    b.Bytes(std::vector<uint8_t>{2, 1, 0x0C, 0});                 // clear (4), literal 1
    auto whole = MakePicture(2, 4, 4, false, Pattern::Random, gcLZW);
    const std::vector<uint8_t> second = Save(*whole);
    b.Bytes(second.data() + 13 + 12, second.size() - 13 - 12);  // its frame and trailer
    Loaded l = Load(b.Bytes());
    ASSERT_EQ(l.error, "");
    ASSERT_EQ(l.picture->Images().Count(), 2);
    EXPECT_EQ(l.warnings, std::vector<std::string>{"Decoder bit buffer under-run"});
    const std::vector<uint8_t> expected{1, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3};
    EXPECT_EQ(Pixels(*l.picture->Images().Items(0)), expected);
    EXPECT_EQ(Pixels(*l.picture->Images().Items(1)), Pixels(*whole->Images().First()));
}

TEST(GIFCodec, SubBlockLongerThanTheFileWarnsAndDecodesWhatIsThere)
{
    auto p = MakePicture(2, 4, 4, false, Pattern::OneColour, gcLZW);
    std::vector<uint8_t> bytes = Save(*p);
    const size_t at = 13 + 12 + 10 + 1;  // the first sub-block's length
    bytes.resize(at + 1 + bytes[at]);    // cut right after its data, its length raised below
    bytes[at] = 200;
    Loaded l = Load(bytes);
    EXPECT_EQ(l.error, "");
    ASSERT_FALSE(l.warnings.empty());
    EXPECT_EQ(l.warnings.front(), "Premature end of data");
    EXPECT_EQ(Pixels(*l.picture->Images().First()), Pixels(*p->Images().First()));
}

TEST(GIFCodec, CodesPastTheLastPixelAreSkippedAndTheNextFrameLoads)
{
    // Frame 1 is 1 x 1 but its data hold three literals before the end code.
    TByteWriter b;
    b.Bytes(Prefix(1, 1));
    // clear 4, 1, 2, 3, end 5 at 3 bits: 100 001 010 011 101 -> LSB first
    uint32_t bits = 4 | (1 << 3) | (2 << 6) | (3 << 9) | (5 << 12);
    b.Bytes(std::vector<uint8_t>{2, 2, static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8), 0});
    b.Bytes(std::vector<uint8_t>{0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0});
    bits = 4 | (2 << 3) | (5 << 6);
    b.Bytes(std::vector<uint8_t>{2, 2, static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8), 0, 0x3B});
    Loaded l = Load(b.Bytes());
    ASSERT_EQ(l.error, "");
    ASSERT_EQ(l.picture->Images().Count(), 2);
    EXPECT_EQ(l.picture->Images().Items(0)->Data()[0], 1);
    EXPECT_EQ(l.picture->Images().Items(1)->Data()[0], 2);
    EXPECT_TRUE(l.warnings.empty());
}

TEST(GIFCodec, EncoderRefusesAnIndexOutsideTheTable)
{
    auto p = MakePicture(2, 4, 4, false, Pattern::Random, gcLZW);
    p->Images().First()->ColorMap().Add(clRed);  // a local table of one colour
    p->Images().First()->Data()[5] = 1;
    for (TGIFCompression c : {gcLZW, gcRLE}) {
        p->Compression = c;
        TByteWriter w;
        try {
            p->SaveToBytes(w);
            FAIL() << "no error";
        } catch (const GIFException& e) {
            EXPECT_STREQ(e.what(), "Color not in color table");
        }
    }
}

} // namespace

namespace {
uint64_t Fnv1a(const std::vector<uint8_t>& bytes)
{
    uint64_t h = 14695981039346656037ull;
    for (uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
    return h;
}

// A 24-bit bitmap of the given kind: "page" (white, a few coloured lines and blocks), "photo"
// (noise over gradients, 255 colours), "frame n" (a small photo-like frame).
std::unique_ptr<TBitmap> Pixels(int w, int h, int kind, uint32_t seed)
{
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    std::mt19937 rng(seed);
    const TColor ink[] = {clBlack, clRed, clNavy, clGray, RGB(0, 128, 0)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            TColor c = clWhite;
            if (kind == 0) {
                if (y % 37 == 3 || x % 53 == 5 || (x / 9 + y / 7) % 41 == 0) c = ink[(x / 13 + y / 17) % 5];
            } else {
                const uint32_t noise = rng() % 5;
                const int r = (x * 5 / w + static_cast<int>(noise)) % 6, g = (y * 6 / h) % 6, bl = (x + y) * 5 / (w + h);
                c = (rng() % 7 == 0) ? RGB(3 + r * 6 + g, 3 + r * 6 + g, 3 + r * 6 + g) : RGB(r * 51, g * 51, bl * 51);
            }
            uint8_t* p = b->ScanLine(y) + 3 * x;
            p[0] = static_cast<uint8_t>(GetBValue(c));
            p[1] = static_cast<uint8_t>(GetGValue(c));
            p[2] = static_cast<uint8_t>(GetRValue(c));
        }
    return b;
}
} // namespace

// Pictures made from 24-bit bitmaps of known content save to the same bytes as they always have
// (the saving code may get faster, its output may not change); giflib reads every one of them
// back to the pixels it was given.
TEST(GIFCodec, SavedBitmapPicturesKeepTheirBytes)
{
    struct Case {
        const char* what;
        int width, height, kind, frames;
        TGIFCompression compression;
        uint64_t hash;
    };
    const Case cases[] = {
        {"page", 400, 300, 0, 1, gcLZW, 16485648863747343884ull},
        {"photo", 320, 200, 1, 1, gcLZW, 2163802736607512434ull},
        {"animation", 64, 48, 1, 8, gcLZW, 18419393985560570731ull},
        {"page, run-length", 400, 300, 0, 1, gcRLE, 3816340495411008487ull},
    };
    for (const Case& c : cases) {
        TGIFImage p;
        p.ColorReduction = rdNone;
        p.Compression = c.compression;
        std::vector<std::unique_ptr<TBitmap>> frames;
        for (int f = 0; f < c.frames; ++f) {
            frames.push_back(Pixels(c.width, c.height, c.kind, static_cast<uint32_t>(f + 1)));
            p.Add(*frames.back());
        }
        const std::vector<uint8_t> bytes = Save(p);
        EXPECT_EQ(Fnv1a(bytes), c.hash) << c.what << ": " << bytes.size() << " bytes";
        const gifpeers::Decoded d = gifpeers::GiflibDecode(bytes);
        ASSERT_TRUE(d.ok) << c.what << ": " << d.error;
        ASSERT_EQ(d.frames.size(), frames.size()) << c.what;
        for (size_t f = 0; f < frames.size(); ++f)
            for (int y = 0; y < c.height; ++y)
                for (int x = 0; x < c.width; ++x) {
                    const uint8_t* px = frames[f]->ScanLine(y) + 3 * x;
                    ASSERT_EQ(d.frames[f].colours[static_cast<size_t>(y) * c.width + x], RGB(px[2], px[1], px[0]))
                        << c.what << " frame " << f << " at " << x << "," << y;
                }
    }
}
