// Animated cursors built by the tests' writer: steps, rates and sequences, shared icons, hot
// spots, damaged files; the icon list's stream and the library's cursors.
#include "AniWriter.h"
#include "GifTestSupport.h"

#include "launcher/graphics/AniFile.h"
#include "launcher/graphics/ClipIcon.h"
#include "launcher/graphics/IcoList.h"
#include "launcher/graphics/QVConst.h"
#include "platform/runtime/ByteIO.h"
#include "platform/ui/ScriptedUi.h"

#include <QCursor>
#include <QGuiApplication>

#include <fstream>

using aniw::AniSpec;

namespace {

void Load(TAnimatedCursorImage& cursor, const aniw::Bytes& bytes)
{
    TMemoryStream m;
    m.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    m.SetPosition(0);
    cursor.LoadFromStream(m);
}

TIcon MakeIcon(int size, int bits, uint32_t seed)
{
    TIcon icon;
    icon.LoadFromBytes(aniw::IconFile(size, bits, seed));
    return icon;
}

} // namespace

TEST(AnimatedCursor, StepsRatesAndTexts)
{
    AniSpec spec;
    spec.Icons = {aniw::IconFile(16, 32, 1), aniw::IconFile(16, 32, 2), aniw::IconFile(16, 32, 3)};
    spec.Rates = {5, 6, 7};
    spec.Title = "Spinning mast";
    spec.Artist = "Belvor";
    TAnimatedCursorImage c;
    Load(c, aniw::AniFile(spec));
    ASSERT_EQ(c.FrameCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(c.FrameAt(i).Rate, 5 + i) << "every value of the rate chunk, in order";
        EXPECT_EQ(c.FrameAt(i).Sequence, i);
        EXPECT_TRUE(c.FrameAt(i).IsIcon);
        EXPECT_EQ(c.FrameAt(i).HotX, 8);
        EXPECT_EQ(c.FrameIcon(i).Width(), 16);
    }
    EXPECT_NE(c.FrameIcon(0).Image(), c.FrameIcon(1).Image());
    EXPECT_EQ(c.Title, "Spinning mast");
    EXPECT_EQ(c.Creator, "Belvor");
    EXPECT_EQ(c.FileColors, 0);
}

TEST(AnimatedCursor, SequenceSharesIconsFreedOnce)
{
    AniSpec spec;
    spec.Icons = {aniw::IconFile(8, 8, 1), aniw::IconFile(8, 8, 9)};
    spec.Sequence = {0, 1, 0, 1, 0};
    spec.Rates = {1, 2, 3, 4, 5};
    TAnimatedCursorImage c;
    Load(c, aniw::AniFile(spec));
    ASSERT_EQ(c.FrameCount(), 5);
    EXPECT_EQ(c.FrameAt(0).Icon, c.FrameAt(2).Icon);
    EXPECT_EQ(c.FrameAt(0).Icon, c.FrameAt(4).Icon);
    EXPECT_NE(c.FrameAt(0).Icon, c.FrameAt(1).Icon);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(c.FrameAt(i).Rate, i + 1);
    EXPECT_EQ(c.FrameAt(3).Sequence, 1);
    EXPECT_EQ(c.FileColors, 256);
    std::weak_ptr<TIcon> shared = c.FrameAt(0).Icon;
    EXPECT_EQ(shared.use_count(), 3);
    c.Clear();
    EXPECT_TRUE(shared.expired());
    EXPECT_EQ(c.FrameCount(), 0);
}

TEST(AnimatedCursor, CursorImagesKeepTheirHotSpot)
{
    AniSpec spec;
    spec.Icons = {aniw::IconFile(16, 4, 2, true, 3, 5), aniw::IconFile(16, 32, 1)};
    spec.Frames = 1;  // the second image lies beyond the header's count
    TAnimatedCursorImage c;
    Load(c, aniw::AniFile(spec));
    ASSERT_EQ(c.FrameCount(), 2);
    EXPECT_FALSE(c.FrameAt(0).IsIcon);
    EXPECT_EQ(c.FrameAt(0).HotX, 3);
    EXPECT_EQ(c.FrameAt(0).HotY, 5);
    EXPECT_EQ(c.FrameAt(0).Rate, 10);
    EXPECT_EQ(c.FrameAt(1).Sequence, -1);
    EXPECT_EQ(c.FileColors, 16);
}

TEST(AnimatedCursor, DamagedFilesRaiseReadErrors)
{
    AniSpec good;
    good.Icons = {aniw::IconFile(8, 32, 1), aniw::IconFile(8, 32, 2)};
    const aniw::Bytes sound = aniw::AniFile(good);
    auto with = [&](auto change) {
        AniSpec s = good;
        change(s);
        return aniw::AniFile(s);
    };
    auto patchedAt = [&](const std::string& marker, size_t offset, uint32_t value) {
        aniw::Bytes b = sound;
        const auto at = std::search(b.begin(), b.end(), marker.begin(), marker.end()) - b.begin();
        StoreLE32(&b[static_cast<size_t>(at) + offset], value);
        return b;
    };
    struct Case {
        std::string name;
        aniw::Bytes bytes;
    };
    aniw::Bytes badIconOffset = sound;
    {
        const std::string tag = "icon";
        const auto at = std::search(badIconOffset.begin(), badIconOffset.end(), tag.begin(), tag.end()) - badIconOffset.begin();
        StoreLE32(&badIconOffset[static_cast<size_t>(at) + 8 + 6 + 12], 100000);  // the entry's image offset
    }
    const std::vector<Case> cases = {
        {"not RIFF", aniw::Bytes{'R', 'I', 'F', 'X', 4, 0, 0, 0, 'A', 'C', 'O', 'N'}},
        {"another form", patchedAt("ACON", 0, 0x20495641)},
        {"too short", aniw::Bytes{'R', 'I', 'F', 'F'}},
        {"empty", aniw::Bytes{}},
        {"flags without icons", with([](AniSpec& s) { s.Flags = 0; })},
        {"no steps", patchedAt("anih", 8 + 8, 0)},
        {"sequence shorter than the steps", with([](AniSpec& s) { s.Sequence = {0, 1}; s.Steps = 3; })},
        {"sequence beyond the images", with([](AniSpec& s) { s.Sequence = {0, 7}; })},
        {"rates fewer than the steps", with([](AniSpec& s) { s.Rates = {4}; })},
        {"absurd frame count", patchedAt("anih", 8 + 4, 0x7FFFFFFF)},
        {"chunk beyond the file", patchedAt("anih", 4, 5000)},
        {"list beyond the file", patchedAt("fram", -4, 99999)},
        {"directory beyond the icon", patchedAt("icon", 8 + 4, 0x0000FFFF)},
        {"image offset beyond the icon", badIconOffset},
        {"no icons", with([](AniSpec& s) { s.Icons.clear(); })},
    };
    for (const Case& c : cases) {
        TAnimatedCursorImage cursor;
        EXPECT_THROW(Load(cursor, c.bytes), EReadError) << c.name;
        EXPECT_EQ(cursor.FrameCount(), 0) << c.name;
    }
    // Cut at every length: a read error or a cursor with what there was, never a crash.
    for (size_t n = 0; n < sound.size(); ++n) {
        TAnimatedCursorImage cursor;
        try {
            Load(cursor, aniw::Bytes(sound.begin(), sound.begin() + static_cast<std::ptrdiff_t>(n)));
        } catch (const EReadError&) {
        }
    }
}

TEST(AnimatedCursor, AssignsToIconBitmapListAndGif)
{
    AniSpec spec;
    spec.Icons = {aniw::IconFile(16, 32, 1), aniw::IconFile(16, 32, 5)};
    spec.Rates = {6, 12};
    TAnimatedCursorImage c;
    Load(c, aniw::AniFile(spec));

    TIcon icon;
    c.AssignTo(icon);
    EXPECT_EQ(icon.Bytes(), c.FrameIcon(0).Bytes());

    TBitmap strip;
    c.AssignTo(strip);
    EXPECT_EQ(strip.Width(), 32);
    EXPECT_EQ(strip.Height(), 16);
    // Drawn side by side: the pixel at (16 + 2, 3) is frame 1's pixel (2, 3); true-colour
    // images keep their colours.
    EXPECT_EQ(strip.Canvas().Pixels(18, 3), FromQRgb(c.FrameIcon(1).Image().pixel(2, 3)));

    // A file of 16-colour images: the strip is reduced to 4 bits.
    AniSpec few;
    few.Icons = {aniw::IconFile(16, 4, 1)};
    TAnimatedCursorImage c16;
    Load(c16, aniw::AniFile(few));
    TBitmap strip16;
    c16.AssignTo(strip16);
    EXPECT_EQ(strip16.PixelFormat(), pf4bit);

    TIconList list;
    c.AssignTo(list);
    EXPECT_EQ(list.GetCount(), 2);

    QvGIF::TGIFImage gif;
    gif.Assign(c);
    ASSERT_EQ(gif.FrameCount(), 2);
    EXPECT_EQ(gif.FrameAt(0).Delay, 100);
    EXPECT_EQ(gif.FrameAt(1).Delay, 200);
    const gift::Bytes bytes = gift::SaveGif(gif);
    const gift::Pixels second = gift::GiflibDecode(bytes, 1);
    ASSERT_EQ(second.Width, 16);
    // Frame 1's top-left pixel, through the popularity reduction (exact for so few colours).
    EXPECT_EQ(second.Rgb[0], c.FrameIcon(1).Image().pixel(0, 0) & 0xFFFFFF);

    TAnimatedCursorImage copy;
    copy.Assign(&c);
    ASSERT_EQ(copy.FrameCount(), 2);
    EXPECT_NE(copy.FrameAt(0).Icon, c.FrameAt(0).Icon);
    EXPECT_EQ(copy.FrameIcon(0).Bytes(), c.FrameIcon(0).Bytes());
}

TEST(AnimatedCursor, LoadsFilesAndDoesNotSave)
{
    AniSpec spec;
    spec.Icons = {aniw::IconFile(32, 8, 3)};
    const aniw::Bytes bytes = aniw::AniFile(spec);
    const std::string name = ::testing::TempDir() + "qv_cursor.ani";
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    TAnimatedCursorImage c;
    c.LoadFromFile(name);
    EXPECT_EQ(c.FrameCount(), 1);
    std::remove(name.c_str());
    EXPECT_THROW(c.LoadFromFile(name), EFOpenError);
    EXPECT_EQ(c.FrameCount(), 0);

    TScriptedUiServices ui;
    ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
    TUiServicesScope scope(ui);
    ui.ExpectMessage(IDOK, "Function not yet implemented");
    TMemoryStream out;
    EXPECT_THROW(c.SaveToStream(out), EAbort);
    EXPECT_TRUE(ui.AllUsed());
}

TEST(IconList, StreamRoundTripWithEmptyEntries)
{
    TIconList list;
    int changes = 0;
    list.OnChange = [&](TIconList&) { ++changes; };
    list.Add(MakeIcon(16, 32, 1));
    list.Add(TIcon());  // empty
    list.PutIcon(2, MakeIcon(8, 8, 2));  // at the count: appended
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(changes, 3);

    TMemoryStream m;
    list.WriteIcons(m);
    m.SetPosition(0);
    TIconList back;
    int backChanges = 0;
    back.OnChange = [&](TIconList&) { ++backChanges; };
    back.ReadIcons(m);
    EXPECT_EQ(backChanges, 1) << "one notification for the whole read";
    ASSERT_EQ(back.GetCount(), 3);
    EXPECT_EQ(back.GetIcon(1), nullptr);
    EXPECT_EQ(back.GetIcon(0)->Bytes(), list.GetIcon(0)->Bytes());
    EXPECT_EQ(back.GetIcon(2)->Bytes(), list.GetIcon(2)->Bytes());

    // An icon of the list tells the list when it changes.
    back.GetIcon(0)->Assign(MakeIcon(16, 32, 4));
    EXPECT_EQ(backChanges, 2);

    back.Exchange(0, 2);
    EXPECT_EQ(back.GetIcon(0)->Width(), 8);
    back.Move(0, 1);
    EXPECT_EQ(back.GetIcon(0), nullptr);
    back.Delete(0);
    EXPECT_EQ(back.GetCount(), 2);
    EXPECT_TRUE(back.StoresIcons(nullptr));
    EXPECT_THROW(back.GetIcon(5), EListError);
}

TEST(IconList, DamagedStreams)
{
    struct Case {
        const char* name;
        std::vector<int32_t> words;
        aniw::Bytes tail;
        bool readError;
    };
    const Case cases[] = {
        {"absurd count", {0x7FFFFFFF}, {}, true},
        {"negative count", {-1}, {}, true},
        {"size beyond the stream", {1, 5000}, {1, 2, 3}, true},
        {"not an icon", {1, 4}, {1, 2, 3, 4}, false},
    };
    for (const Case& c : cases) {
        TMemoryStream m;
        for (int32_t w : c.words) m.WriteI32(w);
        if (!c.tail.empty()) m.WriteBuffer(c.tail.data(), static_cast<int64_t>(c.tail.size()));
        m.SetPosition(0);
        TIconList list;
        if (c.readError) {
            EXPECT_THROW(list.ReadIcons(m), EReadError) << c.name;
        } else {
            EXPECT_THROW(list.ReadIcons(m), EInvalidGraphic) << c.name;
        }
    }
}

TEST(IconList, IconsOnTheClipboard)
{
    RegisterIconClipboardFormat();
    EXPECT_EQ(ClipboardFormatName(CF_ICON()), "Tasklander Icon");
    EXPECT_NE(dynamic_cast<TIcon*>(CreateGraphicForClipboardFormat(CF_ICON()).get()), nullptr);
}

TEST(LibraryCursors, HandAndDragInTheScreenTable)
{
    RegisterQvCursors();
    TQtUiServices ui;
    ui.SetCursor(crQvHand);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BitmapCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor()->hotSpot(), QPoint(10, 4));
    ui.SetCursor(crQvDrag);
    EXPECT_EQ(QGuiApplication::overrideCursor()->hotSpot(), QPoint(14, 12));
    ui.SetCursor(crDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
