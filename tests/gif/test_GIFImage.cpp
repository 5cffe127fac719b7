#include "gif/GIFImage.h"

#include "GifBuilder.h"
#include "platform/runtime/ByteIO.h"
#include "support/WaitFor.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTest>
#include <gtest/gtest.h>

#include <string>

using namespace GIFImage;
using gifbuild::Solid;

namespace {

constexpr QRgb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kBlack = 0xFF000000;

// Serves events until done holds (a failure after a generous deadline).
bool PumpUntil(const std::function<bool()>& done, int ms = mwtest::kWaitMs)
{
    return mwtest::WaitFor(done, "the picture's condition", ms);
}

// Three 2x2 frames: red, green, blue, with the given delays (hundredths) and loop count.
gifbuild::Gif ThreeFrames(int loopCount = -1, std::vector<int> delaysCs = {0, 0, 0})
{
    gifbuild::Gif g;
    g.width = g.height = 2;
    g.loopCount = loopCount;
    for (int i = 0; i < 3; ++i) {
        gifbuild::Frame f = Solid(2, 2, static_cast<uint8_t>(i + 1));
        f.delayCs = delaysCs[static_cast<size_t>(i)];
        g.frames.push_back(f);
    }
    return g;
}

// A parent window of one colour, for what a control shows through its transparent pixels.
void FillParent(QWidget& parent, int side, QRgb colour)
{
    parent.resize(side, side);
    parent.setAutoFillBackground(true);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(colour));
    parent.setPalette(pal);
}

// A control on a manual clock: its timer never ticks unless the test moves the clock.
struct Control : ::testing::Test {
    TManualClock clock;
    TGIFImage image;
    std::vector<std::string> events;

    Control()
    {
        image.SetClock(&clock);
        image.OnChanging = [this](QObject*) { events.push_back("Changing " + std::to_string(image.CurrentFrame())); };
        image.OnChange = [this](QObject*) { events.push_back("Change " + std::to_string(image.CurrentFrame())); };
        image.OnWrapAnimation = [this](QObject*) { events.push_back("Wrap"); };
    }
    bool Load(const gifbuild::Gif& g) { return image.LoadGIFBytes(gifbuild::Build(g)); }
    QRgb Pixel(int x, int y) const { return image.CanvasImage().pixel(x, y); }
    bool TimerOn() const { return image.AnimationTimer().Enabled(); }
};

TEST_F(Control, CreatesEmptyWithItsDefaults)
{
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(image.width(), 105);
    EXPECT_EQ(image.height(), 105);
    EXPECT_EQ(image.CurrentFrame(), 0);
    EXPECT_EQ(image.Speed(), 100);
    EXPECT_TRUE(image.DoubleBuffered());
    EXPECT_TRUE(image.Visible());
    EXPECT_TRUE(image.Threaded());
    EXPECT_FALSE(image.Animate());
    EXPECT_EQ(image.Version(), TGIFVersion::gvGIF87a);
    EXPECT_FALSE(TimerOn());
}

TEST_F(Control, LoadShowsFrameOneAndReportsIt)
{
    ASSERT_TRUE(Load(ThreeFrames()));
    EXPECT_EQ(image.LastError(), geNone);
    EXPECT_FALSE(image.Empty());
    EXPECT_EQ(image.FrameCount(), 3);
    EXPECT_EQ(image.CurrentFrame(), 1);
    EXPECT_EQ(image.Version(), TGIFVersion::gvGIF89a);
    EXPECT_EQ(Pixel(1, 1), kRed);
    EXPECT_EQ(events, (std::vector<std::string>{"Changing 1", "Change 1"}));
    EXPECT_EQ(image.AnimationTimer().Interval(), 1u);
    EXPECT_FALSE(TimerOn());  // not animating
}

TEST_F(Control, LoadFailuresClearThePictureAndKeepTheirCode)
{
    ASSERT_TRUE(Load(ThreeFrames()));
    gifbuild::Gif zeroWidth = ThreeFrames();
    zeroWidth.frames[1].width = 0;
    zeroWidth.frames[1].pixels.clear();
    gifbuild::Gif bigCodes = ThreeFrames();
    bigCodes.frames[0].minCodeSize = 12;
    const std::vector<uint8_t> good = gifbuild::Build(ThreeFrames());
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int error;
    } cases[] = {
        {"no data", {}, geNoData},
        {"not a GIF", {'G', 'I', 'X', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ';'}, geParse},
        {"frame of zero width", gifbuild::Build(zeroWidth), geParse},
        {"code size above 11", gifbuild::Build(bigCodes), geParse},
        {"cut inside a frame", std::vector<uint8_t>(good.begin(), good.begin() + 40), geParse},
        {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 4), geParse},
        {"no frame", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ';'}, geParse},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(image.LoadGIFBytes(c.bytes));
        EXPECT_EQ(image.LastError(), c.error);
        EXPECT_TRUE(image.Empty());
        EXPECT_EQ(image.FrameCount(), 0);
        EXPECT_FALSE(image.HasData());
        // Still usable.
        ASSERT_TRUE(Load(ThreeFrames()));
    }
}

// A file cut short keeps the frames read before the cut; a frame cut inside its image data
// shows what its data holds and black (index 0) for the rest.
TEST_F(Control, AFileCutShortKeepsTheFramesRead)
{
    gifbuild::Gif g;
    g.width = g.height = 8;
    g.trailer = false;
    for (uint8_t colour = 1; colour <= 3; ++colour) g.frames.push_back(Solid(8, 8, colour));
    const std::vector<uint8_t> whole = gifbuild::Build(g);
    g.frames.pop_back();
    const size_t third = gifbuild::Build(g).size();  // where the third frame's blocks start
    g.frames.resize(1);
    const size_t second = gifbuild::Build(g).size();
    const size_t gce = 8, descriptor = 10, codeSize = 1;
    struct Case {
        const char* what;
        size_t length;
        int frames;
        QRgb firstPixel, lastPixel;  // of the last frame kept
    } cases[] = {
        {"inside the third frame's data", third + gce + descriptor + codeSize + 2, 3, kBlue, kBlack},
        {"after the third frame's data", whole.size(), 3, kBlue, kBlue},
        {"inside the third frame's descriptor", third + gce + 5, 2, kGreen, kGreen},
        {"inside the second frame's data", second + gce + descriptor + codeSize + 2, 2, kGreen, kBlack},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_LT(c.length, whole.size() + 1);
        ASSERT_TRUE(image.LoadGIFBytes(std::span<const uint8_t>(whole.data(), c.length)));
        EXPECT_EQ(image.LastError(), geNone);
        ASSERT_EQ(image.FrameCount(), c.frames);
        image.SetCurrentFrame(c.frames);
        EXPECT_EQ(Pixel(0, 0), c.firstPixel);
        EXPECT_EQ(Pixel(7, 7), c.lastPixel);
    }
}

TEST_F(Control, ProgressCanAbortTheLoad)
{
    std::vector<int> percents;
    image.OnProgress = [&](QObject*, int done, int all, int percent, bool& keep) {
        EXPECT_LE(done, all);
        percents.push_back(percent);
        if (percents.size() == 2) keep = false;
    };
    EXPECT_FALSE(Load(ThreeFrames()));
    EXPECT_EQ(image.LastError(), geAborted);
    EXPECT_TRUE(image.Empty());
    image.OnProgress = [&](QObject*, int, int, int percent, bool&) { percents.push_back(percent); };
    percents.clear();
    EXPECT_TRUE(Load(ThreeFrames()));
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.back(), 100);
}

TEST_F(Control, AFileWithoutLoopingBlockPlaysOnceAndStopsOnTheLastFrame)
{
    ASSERT_TRUE(Load(ThreeFrames()));
    image.SetAnimate(true);
    EXPECT_TRUE(TimerOn());
    events.clear();
    image.StepAnimation();  // the first step only notes frame 1 is shown
    EXPECT_EQ(Pixel(0, 0), kRed);
    image.StepAnimation();
    EXPECT_EQ(Pixel(0, 0), kGreen);
    image.StepAnimation();
    EXPECT_EQ(Pixel(0, 0), kBlue);
    EXPECT_EQ(events, (std::vector<std::string>{"Changing 1", "Change 2", "Changing 2", "Change 3", "Changing 3",
                                                "Change 4", "Wrap"}));
    EXPECT_FALSE(TimerOn());
    EXPECT_EQ(image.LoopsPlayed(), 2);
    // Painting does not restart it.
    image.grab();
    EXPECT_FALSE(TimerOn());
    EXPECT_EQ(Pixel(0, 0), kBlue);
}

TEST_F(Control, LoopCountsGivePassesAndZeroLoopsForEver)
{
    struct Case {
        int loopCount;
        int passes;  // -1: for ever
    } cases[] = {{3, 3}, {1, 1}, {0, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.loopCount);
        ASSERT_TRUE(Load(ThreeFrames(c.loopCount)));
        image.SetAnimate(false);
        image.SetAnimate(true);
        int wraps = 0;
        image.OnWrapAnimation = [&](QObject*) { ++wraps; };
        for (int step = 0; step < 3 * 10 && TimerOn(); ++step) image.StepAnimation();
        if (c.passes < 0) {
            EXPECT_TRUE(TimerOn());
            EXPECT_EQ(wraps, 10);
        } else {
            EXPECT_FALSE(TimerOn());
            EXPECT_EQ(wraps, c.passes);
            EXPECT_EQ(Pixel(0, 0), kBlue);
        }
    }
}

TEST_F(Control, LoopRestartsAfterTheLoopsRanOut)
{
    ASSERT_TRUE(Load(ThreeFrames()));
    image.SetAnimate(true);
    for (int i = 0; i < 3; ++i) image.StepAnimation();
    ASSERT_FALSE(TimerOn());
    EXPECT_EQ(image.CurrentFrame(), 4);
    image.SetLoop(true);
    EXPECT_TRUE(TimerOn());
    EXPECT_EQ(image.CurrentFrame(), 1);
    EXPECT_EQ(image.LoopsPlayed(), 1);
    image.StepAnimation();
    EXPECT_EQ(Pixel(0, 0), kRed);
    for (int i = 0; i < 7; ++i) image.StepAnimation();
    EXPECT_TRUE(TimerOn());  // Loop plays for ever
}

TEST_F(Control, DelaysAndSpeedSetTheInterval)
{
    ASSERT_TRUE(Load(ThreeFrames(0, {0, 1, 30})));
    image.SetAnimate(true);
    struct Step {
        int speed;
        uint32_t interval;
    } steps[] = {
        {100, 50},   // frame 1: delay 0 counts as 50 ms
        {100, 50},   // frame 2: 10 ms
        {100, 300},  // frame 3
        {200, 25},   // frame 1 at twice the speed
        {0, 5000},   // frame 2: speed below 1 is 1
    };
    for (const Step& s : steps) {
        image.SetSpeed(s.speed);
        EXPECT_EQ(image.AnimationTimer().Interval(), 1u);  // the next step applies the speed
        image.StepAnimation();
        EXPECT_EQ(image.AnimationTimer().Interval(), s.interval) << "speed " << s.speed;
    }
    EXPECT_EQ(image.Speed(), 1);
}

TEST_F(Control, TheTimerDrivesTheAnimationOnItsClock)
{
    ASSERT_TRUE(Load(ThreeFrames(0, {20, 20, 20})));
    int changes = 0;
    image.OnChange = [&](QObject*) { ++changes; };
    image.SetAnimate(true);
    EXPECT_EQ(image.AnimationTimer().Interval(), 200u);  // from the frame shown
    clock.Advance(200);
    ASSERT_TRUE(PumpUntil([&] { return changes == 1; }));
    EXPECT_EQ(Pixel(0, 0), kRed);
    EXPECT_EQ(image.CurrentFrame(), 2);
    // The timer's thread waits for the next tick, due the frame's 200 ms after this one.
    ASSERT_TRUE(PumpUntil([&] { return clock.Deadlines() == std::vector<uint64_t>{400}; }))
        << "the timer waiting for the tick at 400 ms";
    clock.Advance(199);
    EXPECT_EQ(clock.Deadlines(), std::vector<uint64_t>{400});
    EXPECT_EQ(changes, 1);
    clock.Advance(1);
    ASSERT_TRUE(PumpUntil([&] { return changes == 2; }));
    EXPECT_EQ(Pixel(0, 0), kGreen);
}

TEST_F(Control, OneFrameNeverStartsTheTimer)
{
    gifbuild::Gif g = ThreeFrames();
    g.frames.resize(1);
    ASSERT_TRUE(Load(g));
    image.SetAnimate(true);
    EXPECT_FALSE(TimerOn());
    image.grab();
    EXPECT_FALSE(TimerOn());
}

TEST_F(Control, CurrentFrameOutOfRangeChangesNothing)
{
    ASSERT_TRUE(Load(ThreeFrames()));
    image.SetCurrentFrame(2);
    events.clear();
    for (int frame : {0, 4, -1}) {
        image.SetCurrentFrame(frame);
        EXPECT_EQ(image.LastError(), geFrameIndex);
        EXPECT_EQ(image.CurrentFrame(), 2);
        EXPECT_EQ(Pixel(0, 0), kGreen);
    }
    EXPECT_TRUE(events.empty());
    image.SetCurrentFrame(3);
    EXPECT_EQ(events, (std::vector<std::string>{"Changing 2", "Change 3"}));
    EXPECT_EQ(Pixel(0, 0), kBlue);
}

TEST_F(Control, AnimateOffReturnsToFrameOne)
{
    ASSERT_TRUE(Load(ThreeFrames(0)));
    image.SetAnimate(true);
    image.StepAnimation();
    image.StepAnimation();
    ASSERT_EQ(Pixel(0, 0), kGreen);
    image.SetAnimate(false);
    EXPECT_FALSE(TimerOn());
    EXPECT_EQ(image.CurrentFrame(), 1);
    EXPECT_EQ(Pixel(0, 0), kRed);
}

// A 4x4 screen: red background frame, then a green 2x2 at (1,1) that restores what was under
// it (disposal 3), then a blue 2x2 at (2,2) cleared to the background (disposal 2), then a
// frame whose index 0 is transparent.
gifbuild::Gif Disposals()
{
    gifbuild::Gif g;
    g.width = g.height = 4;
    g.loopCount = 0;
    g.frames.push_back(Solid(4, 4, 1));
    gifbuild::Frame green = Solid(2, 2, 2, 1, 1);
    green.disposal = 3;
    g.frames.push_back(green);
    gifbuild::Frame blue = Solid(2, 2, 3, 2, 2);
    blue.disposal = 2;
    g.frames.push_back(blue);
    gifbuild::Frame holes = Solid(4, 1, 0, 0, 0);
    holes.pixels = {0, 3, 0, 3};
    holes.transparent = true;
    holes.transparentIndex = 0;
    g.frames.push_back(holes);
    return g;
}

TEST_F(Control, DisposalsAndTransparencyComposeTheCanvas)
{
    ASSERT_TRUE(Load(Disposals()));
    image.resize(4, 4);
    image.SetCurrentFrame(2);  // green over red
    EXPECT_EQ(Pixel(1, 1), kGreen);
    EXPECT_EQ(Pixel(0, 0), kRed);
    image.SetCurrentFrame(3);  // green restored to red, then blue
    EXPECT_EQ(Pixel(1, 1), kRed);
    EXPECT_EQ(Pixel(2, 2), kBlue);
    image.SetCurrentFrame(4);  // blue cleared to black; holes keep what is under them
    EXPECT_EQ(Pixel(2, 2), kBlack);
    EXPECT_EQ(Pixel(3, 3), kBlack);
    EXPECT_EQ(Pixel(0, 0), kRed);
    EXPECT_EQ(Pixel(1, 0), kBlue);
    EXPECT_EQ(Pixel(2, 0), kRed);
    // What the user sees: frame 1 is not transparent, so the canvas is copied as it is.
    const QImage shown = image.grab().toImage();
    EXPECT_EQ(shown.pixel(1, 0), kBlue);
    EXPECT_EQ(shown.pixel(2, 2), kBlack);
}

// One 2x2 red frame whose top right and bottom left pixels are transparent.
gifbuild::Gif Holed()
{
    gifbuild::Gif g;
    g.width = g.height = 2;
    gifbuild::Frame f = Solid(2, 2, 1);
    f.pixels = {1, 0, 0, 1};
    f.transparent = true;
    g.frames.push_back(f);
    return g;
}

TEST_F(Control, ATransparentFirstFrameShowsTheParentThrough)
{
    gifbuild::Gif g = Holed();
    QWidget parent;
    FillParent(parent, 10, kBlue);
    auto* child = new TGIFImage(&parent);
    ASSERT_TRUE(child->LoadGIFBytes(gifbuild::Build(g)));
    child->setGeometry(0, 0, 2, 2);
    const QImage shown = parent.grab().toImage();
    EXPECT_EQ(shown.pixel(0, 0), kRed);
    EXPECT_EQ(shown.pixel(1, 0), kBlue);  // transparent: the parent's colour
    EXPECT_EQ(shown.pixel(0, 1), kBlue);
    EXPECT_FALSE(child->testAttribute(Qt::WA_OpaquePaintEvent));

    // In a GIF87a file the flag means nothing.
    g.v89a = false;
    ASSERT_TRUE(child->LoadGIFBytes(gifbuild::Build(g)));
    EXPECT_FALSE(child->Frame(1).Transparent);
    EXPECT_EQ(parent.grab().toImage().pixel(1, 0), kBlack);
    EXPECT_TRUE(child->testAttribute(Qt::WA_OpaquePaintEvent));
}

TEST_F(Control, OpaqueFillsWithColorAndVisibleOffPaintsNothing)
{
    gifbuild::Gif g;
    g.width = g.height = 2;
    g.frames.push_back(Solid(2, 2, 1));
    ASSERT_TRUE(Load(g));
    image.resize(4, 4);
    image.SetOpaque(true);
    image.SetColor(clLime);
    QImage shown = image.grab().toImage();
    EXPECT_EQ(shown.pixel(0, 0), kRed);
    EXPECT_EQ(shown.pixel(3, 3), kGreen);
    image.SetStretch(true);
    EXPECT_EQ(image.grab().toImage().pixel(3, 3), kRed);
    image.SetStretch(false);
    image.SetTile(true);
    EXPECT_EQ(image.grab().toImage().pixel(3, 3), kRed);
    EXPECT_TRUE(image.GetPalette().size() >= 2);
    image.SetVisible(false);
    EXPECT_TRUE(image.GetPalette().empty());
}

TEST_F(Control, DestinationRectangle)
{
    struct Case {
        const char* what;
        int w, h, W, H;
        bool stretch, ratio, center, tile;
        QRect dest;
    } cases[] = {
        {"ratio, wide picture", 100, 50, 200, 200, false, true, false, false, QRect(0, 50, 200, 100)},
        {"ratio, tall picture", 50, 100, 200, 200, false, true, false, false, QRect(50, 0, 100, 200)},
        {"ratio, halves to even", 2, 1, 4, 7, false, true, false, false, QRect(0, 2, 4, 2)},
        {"stretch", 100, 50, 200, 200, true, false, false, false, QRect(0, 0, 200, 200)},
        {"stretch wins over ratio", 100, 50, 200, 200, true, true, false, false, QRect(0, 0, 200, 200)},
        {"ratio at the logical size", 100, 50, 100, 50, false, true, false, false, QRect(0, 0, 100, 50)},
        {"centred", 100, 50, 201, 200, false, false, true, false, QRect(50, 75, 100, 50)},
        {"centred, larger than the control", 100, 50, 41, 20, false, false, true, false, QRect(-29, -15, 100, 50)},
        {"tiled", 100, 50, 201, 200, false, false, false, true, QRect(0, 0, 201, 200)},
        {"plain", 100, 50, 201, 200, false, false, false, false, QRect(0, 0, 100, 50)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gifbuild::Gif g;
        g.width = c.w;
        g.height = c.h;
        g.frames.push_back(Solid(1, 1, 1));
        ASSERT_TRUE(Load(g));
        image.resize(c.W, c.H);
        image.SetStretch(c.stretch);
        image.SetStretchRatio(c.ratio);
        image.SetCenter(c.center);
        image.SetTile(c.tile);
        EXPECT_EQ(image.GetDestRect(), c.dest);
    }
}

TEST_F(Control, AutoSizeTakesTheLogicalScreen)
{
    image.SetAutoSize(true);
    gifbuild::Gif g = ThreeFrames();
    g.frames[2] = Solid(3, 2, 3, 5, 1);  // widens the screen to 8 x 3
    ASSERT_TRUE(Load(g));
    EXPECT_EQ(image.size(), QSize(8, 3));
    EXPECT_EQ(image.LogicalWidth(), 8);
}

TEST_F(Control, DataPropertyRoundTrip)
{
    ASSERT_TRUE(Load(ThreeFrames(2)));
    TMemoryStream stored;
    image.WriteData(stored);
    const std::vector<uint8_t> gif = gifbuild::Build(ThreeFrames(2));
    ASSERT_EQ(stored.Size(), static_cast<int64_t>(gif.size() + 4));
    EXPECT_EQ(LoadLE32(stored.Memory()), gif.size());

    TGIFImage copy;
    stored.SetPosition(0);
    copy.ReadData(stored);
    copy.Loaded();
    EXPECT_EQ(copy.FrameCount(), 3);
    EXPECT_EQ(copy.LoopCount(), 2);

    TMemoryStream none;
    TGIFImage empty;
    empty.WriteData(none);
    EXPECT_EQ(none.Size(), 0);  // nothing stored without data
    const uint8_t zero[4] = {0, 0, 0, 0}, negative[4] = {0xFF, 0xFF, 0xFF, 0xFF}, tooLong[5] = {9, 0, 0, 0, 'G'};
    for (const auto& [bytes, size] : {std::pair{zero, 4}, std::pair{negative, 4}}) {
        TMemoryStream s;
        s.WriteBuffer(bytes, size);
        s.SetPosition(0);
        empty.ReadData(s);
        EXPECT_FALSE(empty.HasData());
    }
    TMemoryStream cut;
    cut.WriteBuffer(tooLong, 5);
    cut.SetPosition(0);
    EXPECT_THROW(empty.ReadData(cut), EReadError);

    copy.Assign(&empty);
    EXPECT_TRUE(copy.Empty());
    copy.Assign(&image);
    EXPECT_EQ(copy.FrameCount(), 3);
    TBitmap first;
    copy.AssignTo(first);
    EXPECT_EQ(first.Width(), 2);
    EXPECT_EQ(first.PixelFormat(), pf8bit);
    EXPECT_EQ(first.ScanLine(0)[0], 1);
    EXPECT_EQ(first.Palette()[1], clRed);
}

TEST_F(Control, FramesAfterTheFirstAreDecodedWhenFirstShown)
{
    ASSERT_TRUE(Load(ThreeFrames()));
    EXPECT_TRUE(image.Frame(1).Decoded);
    EXPECT_FALSE(image.Frame(2).Decoded);
    image.SetCurrentFrame(3);
    EXPECT_TRUE(image.Frame(3).Decoded);
    EXPECT_FALSE(image.Frame(2).Decoded);
}

// A control whose frames are decoded when first shown looks, frame by frame, exactly like one
// that decoded every frame while loading (a control watched through OnProgress does): on a
// parent of another colour, through every disposal, with a transparent first frame too, and
// the animation's wrap back to frame 1.
TEST(DeferredDecoding, ShowsTheSamePixelsAsDecodingEveryFrameAtLoad)
{
    gifbuild::Gif transparentFirst = Disposals();
    transparentFirst.frames[0].pixels = {1, 0, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 0, 1, 1, 1};
    transparentFirst.frames[0].transparent = true;
    transparentFirst.frames[0].transparentIndex = 0;
    transparentFirst.frames[2].transparent = true;  // a transparent frame that is then cleared
    transparentFirst.frames[2].pixels = {3, 0, 0, 3};
    for (const gifbuild::Gif& g : {Disposals(), transparentFirst}) {
        SCOPED_TRACE(g.frames[0].transparent ? "transparent first frame" : "opaque first frame");
        const std::vector<uint8_t> bytes = gifbuild::Build(g);
        TManualClock clock;  // outlives the controls on the parent
        QWidget parent;
        FillParent(parent, 6, kGreen);
        auto* deferred = new TGIFImage(&parent);
        auto* eager = new TGIFImage(&parent);
        eager->OnProgress = [](QObject*, int, int, int, bool&) {};
        for (TGIFImage* c : {deferred, eager}) {
            c->SetClock(&clock);
            c->SetAnimate(true);
            ASSERT_TRUE(c->LoadGIFBytes(bytes));
        }
        deferred->setGeometry(0, 0, 4, 4);
        eager->setGeometry(0, 0, 4, 4);
        EXPECT_FALSE(deferred->Frame(2).Decoded);
        EXPECT_TRUE(eager->Frame(4).Decoded);
        // Shows one control alone on the parent and reads back what the user sees.
        const auto shown = [&](TGIFImage* c) {
            deferred->setVisible(c == deferred);
            eager->setVisible(c == eager);
            return parent.grab().toImage().convertToFormat(QImage::Format_RGB32);
        };
        for (int step = 0; step < 2 * static_cast<int>(g.frames.size()) + 1; ++step) {
            SCOPED_TRACE("step " + std::to_string(step) + ", frame " + std::to_string(deferred->CurrentFrame()));
            EXPECT_TRUE(deferred->CanvasImage() == eager->CanvasImage());
            EXPECT_TRUE(shown(deferred) == shown(eager));
            deferred->StepAnimation();
            eager->StepAnimation();
        }
        // Frames chosen out of order.
        for (int frame : {3, 1, 4, 2, 4}) {
            SCOPED_TRACE("frame " + std::to_string(frame));
            deferred->SetCurrentFrame(frame);
            eager->SetCurrentFrame(frame);
            EXPECT_TRUE(deferred->CanvasImage() == eager->CanvasImage());
            EXPECT_TRUE(shown(deferred) == shown(eager));
        }
    }
}

TEST_F(Control, InterlacedLocalTableAndComments)
{
    gifbuild::Gif g;
    g.width = 3;
    g.height = 9;
    gifbuild::Frame f = Solid(3, 9, 0);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 3; ++x) f.pixels[static_cast<size_t>(y * 3 + x)] = static_cast<uint8_t>((y + x) % 4);
    f.interlaced = true;
    f.localTable = {0, 0, 0, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    g.frames.push_back(f);
    g.frames.push_back(Solid(1, 1, 1));  // global table again, bits raised by the local one
    std::vector<uint8_t> bytes = gifbuild::Build(g);
    const std::vector<uint8_t> comment = {'!', 0xFE, 3, 'a', 'b', 'c', 2, 'd', 'e', 0};
    bytes.insert(bytes.begin() + 13 + 12, comment.begin(), comment.end());  // after the global table
    ASSERT_TRUE(image.LoadGIFBytes(bytes));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 3; ++x) {
            const int i = (y + x) % 4;
            EXPECT_EQ(Pixel(x, y), qRgb(i * 30 - (i ? 20 : 0), i * 30 - (i ? 10 : 0), i * 30)) << x << "," << y;
        }
    EXPECT_EQ(image.Frame(1).Comment, "abcde");
    EXPECT_EQ(image.Frame(1).ColorBits, 2);
    EXPECT_EQ(image.Frame(2).PaletteBits, 2);
}

// The planner's committed showcase, written by our writer with real LZW compression: each
// composed frame matches what Qt's own reader makes of the file.
TEST_F(Control, ComposesTheCommittedShowcaseLikeQtsReader)
{
    QFile file(MW_SOURCE_DIR "/planner/resources/pictures/Showcase.gif");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    ASSERT_TRUE(image.LoadGIFBytes({reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())}));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    for (int frame = 1; frame <= image.FrameCount(); ++frame) {
        SCOPED_TRACE(frame);
        const QImage expected = reader.read().convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(expected.isNull());
        image.SetCurrentFrame(frame);
        ASSERT_EQ(expected.size(), image.CanvasImage().size());
        EXPECT_TRUE(expected == image.CanvasImage());
    }
}

// Each picture the programs ship, loaded into a control that showed a transparent picture
// first: every frame composes and shows as in a control that loaded it alone (the first
// picture's transparency must not outlive it; a larger picture overran it once).
TEST_F(Control, ShippedPicturesLoadAfterATransparentOne)
{
    gifbuild::Gif transparent = Holed();
    transparent.frames.push_back(Solid(2, 2, 2));
    QStringList files;
    for (const char* folder : {"/planner/resources/pictures", "/launcher/resources"})
        for (const QFileInfo& info : QDir(QString(MW_SOURCE_DIR) + folder).entryInfoList({"*.gif"}, QDir::Files))
            files << info.filePath();
    ASSERT_GE(files.size(), 12);
    for (const QString& path : files) {
        SCOPED_TRACE(path.toStdString());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
        ASSERT_TRUE(Load(transparent));
        ASSERT_TRUE(image.LoadGIFBytes(data));
        TGIFImage alone;
        ASSERT_TRUE(alone.LoadGIFBytes(data));
        image.resize(alone.size());
        for (int frame = 1; frame <= alone.FrameCount(); ++frame) {
            SCOPED_TRACE(frame);
            image.SetCurrentFrame(frame);
            alone.SetCurrentFrame(frame);
            EXPECT_TRUE(image.CanvasImage() == alone.CanvasImage());
            EXPECT_TRUE(image.grab().toImage() == alone.grab().toImage());
        }
    }
}

TEST(GIFImageReader, HostileBlocksEndOrAreSkipped)
{
    const std::vector<uint8_t> one = gifbuild::Build([] {
        gifbuild::Gif g;
        g.width = g.height = 2;
        g.frames.push_back(Solid(2, 2, 1));
        g.trailer = false;
        return g;
    }());
    auto with = [&](std::vector<uint8_t> tail) {
        std::vector<uint8_t> bytes = one;
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        return bytes;
    };
    const std::vector<uint8_t> frame2 = {',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0};  // one 1x1 frame
    auto plus2 = [&](std::vector<uint8_t> block) {
        block.insert(block.end(), frame2.begin(), frame2.end());
        return with(block);
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        size_t frames;
        int loopCount;
    } cases[] = {
        {"unknown label ends the read", plus2({'!', 0x77, 1, 0, 0}), 1, 1},
        {"junk introducer ends the read", plus2({0x00}), 1, 1},
        {"graphic control of size 5 is skipped", plus2({'!', 0xF9, 5, 9, 9, 9, 9, 9, 0}), 2, 1},
        {"application block of size 10 is skipped", plus2({'!', 0xFF, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0}), 2, 1},
        {"short looping block is skipped",
         plus2({'!', 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 2, 1, 7, 0}), 2, 1},
        {"looping block", plus2({'!', 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 7, 0, 0}), 2, 7},
        {"plain text is skipped", plus2({'!', 0x01, 2, 1, 2, 1, 'x', 0}), 2, 1},
        {"no trailer", with(frame2), 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TGIFFile file;
        ASSERT_EQ(ReadGIF(c.bytes, {}, file), TGIFReadResult::Ok);
        EXPECT_EQ(file.Frames.size(), c.frames);
        EXPECT_EQ(file.LoopCount, c.loopCount);
    }
}

TEST(GIFImageReader, SizeCapsAndBrokenCodesAreSafe)
{
    // A logical screen past the cap.
    gifbuild::Gif huge;
    huge.width = huge.height = 1;
    huge.frames.push_back(Solid(1, 1, 1, 16000, 16000));
    TGIFFile file;
    EXPECT_EQ(ReadGIF(gifbuild::Build(huge), {}, file), TGIFReadResult::Invalid);
    // Frames whose areas add up past the cap.
    gifbuild::Gif many;
    many.width = many.height = 4000;
    gifbuild::Frame big = Solid(1, 1, 1);
    big.width = big.height = 4000;  // no pixels: decoding leaves index 0
    big.pixels.clear();
    for (int i = 0; i < 10; ++i) many.frames.push_back(big);
    TGIFReadOptions lazy;
    lazy.DecodeAll = false;
    EXPECT_EQ(ReadGIF(gifbuild::Build(many), lazy, file), TGIFReadResult::Invalid);

    // Codes the table never defined, and a stream of nothing but clears: the image ends early.
    std::vector<uint8_t> bytes = gifbuild::Build([] {
        gifbuild::Gif g;
        g.width = g.height = 8;
        g.frames.push_back(Solid(8, 8, 1));
        return g;
    }());
    const size_t data = 13 + 12 + 8 + 10 + 1;  // header, table, control block, descriptor, code size
    bytes[data + 1] = 0xFF;                      // the first code is undefined
    ASSERT_EQ(ReadGIF(bytes, {}, file), TGIFReadResult::Ok);
    EXPECT_EQ(file.Frames[0].Pixels.size(), 64u);
}

}  // namespace
