// Animated painting of GIF pictures: the delay arithmetic, synchronous and threaded painters
// (loops, disposals, paint events, pausing), Draw with its cached bitmap and direct drawing,
// stopping on Clear, Assign and destruction, and the render pool's wait.
#include "gif/GIFPaint.h"
#include "gif/GifBuilder.h"
#include "platform/runtime/SysUtils.h"
#include "platform/ui/Forms.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using namespace GIFImg;

namespace {

// Index colours of the builder's global table.
constexpr uint8_t kBlack = 0, kRed = 1, kGreen = 2, kBlue = 3;

std::unique_ptr<TGIFImage> Picture(const gifbuild::Gif& gif)
{
    auto picture = std::make_unique<TGIFImage>();
    const std::vector<uint8_t> bytes = gifbuild::Build(gif);
    TByteReader r(bytes);
    picture->LoadFromBytes(r);
    return picture;
}

// Three 2 x 2 frames: red, green, blue; loopCount -1 writes no loop extension.
std::unique_ptr<TGIFImage> ThreeFrames(int loopCount)
{
    gifbuild::Gif g;
    g.width = g.height = 2;
    g.loopCount = loopCount;
    g.frames = {gifbuild::Solid(2, 2, kRed), gifbuild::Solid(2, 2, kGreen), gifbuild::Solid(2, 2, kBlue)};
    return Picture(g);
}

constexpr TGIFPaintOptions Options(std::initializer_list<TGIFPaintOption> options)
{
    TGIFPaintOptions o = 0;
    for (TGIFPaintOption x : options) o |= PaintOption(x);
    return o;
}
constexpr TGIFPaintOptions kSync = Options({doAnimate, doLoop});
constexpr TGIFPaintOptions kAsync = Options({doAsync, doAnimate, doLoop});

// Lets the GUI thread serve the painters until pred holds (false after 20 s).
bool PumpUntil(const std::function<bool()>& pred)
{
    const uint64_t end = MillisecondClock() + 20000;
    while (!pred()) {
        if (MillisecondClock() > end) return false;
        if (!threads::CheckSynchronize()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Serves the painters until a thread waits on the clock for a deadline ahead of it by at most
// a second (a frame's wait, not a render request's), and returns that deadline; 0 when none
// came within 20 s.
uint64_t FrameDeadline(const TManualClock& clock)
{
    uint64_t due = 0;
    PumpUntil([&] {
        const uint64_t now = clock.NowMs();
        for (uint64_t d : clock.Deadlines())
            if (d > now && d <= now + 1000) due = d;
        return due != 0;
    });
    return due;
}

// A thread asking the render pool for a frame. Should the test fail while it waits, it is
// released (woken, its clock moved far on) before it is joined.
class Asker {
public:
    Asker(TGIFPainter& painter, TManualClock& clock)
        : painter_(painter), clock_(clock), thread_([this] {
              result_ = TRenderer::Instance().Render(painter_);
              done_ = true;
          })
    {
    }
    ~Asker()
    {
        if (!done_) {
            clock_.Advance(1u << 30);
            painter_.Wake();
            PumpUntil([this] { return done_.load(); });
        }
        thread_.join();
    }
    // Serves the GUI thread until the request has its answer; false when none came within 20 s.
    bool Answered() { return PumpUntil([this] { return done_.load(); }); }
    bool Result() const { return result_; }

private:
    TGIFPainter& painter_;
    TManualClock& clock_;
    std::atomic<bool> done_{false};
    bool result_ = false;
    std::thread thread_;
};

// The paint events in order: S start, F frame (with the frame's index), L loop, E end.
struct EventLog {
    std::string text;
    int frames = 0;
    void Attach(TGIFImage& picture)
    {
        picture.OnPaintStart = [this](TGIFObject*) { text += "S"; };
        picture.OnPaintFrame = [this](TGIFObject* sender) {
            text += "F" + std::to_string(static_cast<TGIFPainter*>(sender)->ActiveImage());
            ++frames;
        };
        picture.OnPaintLoop = [this](TGIFObject*) { text += "L"; };
        picture.OnPaintEnd = [this](TGIFObject*) { text += "E"; };
    }
};

class GIFPaint : public ::testing::Test {
protected:
    void SetUp() override { SetPainterClock(&clock); }
    void TearDown() override
    {
        SetPainterClock(nullptr);
        TRenderer::Free();
        GIFDelayUnit = 12;
        GIFMaxRenderThreads = 4;
        GIFRenderWait = 5000;
    }
    TManualClock clock;
};

TEST(GIFPaintDelay, DelaysAndWaitsFollowTheFrameAndTheSpeed)
{
    struct Case {
        int gceDelay;
        bool hasGce, async;
        int units;
    };
    const Case delays[] = {
        {1, true, true, 3},        {0, true, true, 10},       {0, false, false, 10},
        {5000, true, false, 1000}, {5000, true, true, 5000}, {7, true, false, 7},
    };
    for (const Case& c : delays)
        EXPECT_EQ(PainterFrameDelay(c.gceDelay, c.hasGce, c.async), c.units) << c.gceDelay << " " << c.async;

    struct Wait {
        int units, speed;
        int64_t overrun;
        bool async;
        int64_t ms;
    };
    const Wait waits[] = {
        {3, 100, 0, true, 36},    {10, 100, 0, true, 120},  {3, 200, 0, true, 18},   {10, 200, 0, false, 60},
        {10, 100, 20, true, 100},  // the previous frame came 20 ms late
        {10, 50, 0, true, 240},   {10, 0, 0, true, -1},     {10, -5, 0, true, -1},   {10, 0, 0, false, 12000},
        {10, -5, 0, false, 12000},
        {3, 110, 0, true, 33},     // 32.7 rounds up
        {3, 110, 50, true, -13},   // -12.7: the previous frame overran this one's time
        {10, 300, 0, true, 40},    {1, 800, 0, true, 2},  // 1.5 rounds up
    };
    for (const Wait& w : waits)
        EXPECT_EQ(PainterWait(w.units, w.speed, w.overrun, w.async), w.ms) << w.units << " " << w.speed;
}

TEST_F(GIFPaint, SynchronousPainterPlaysTheLoopCountAndLeavesTheLastFrame)
{
    SetPainterClock(nullptr);  // the synchronous painter sleeps on the caller's thread
    GIFDelayUnit = 1;
    struct Case {
        int loopCount;
        TGIFPaintOptions options;
        std::string events;
    };
    const Case cases[] = {
        {-1, kSync, "SF0F1F2E"},                                            // no loop extension: once
        {3, kSync, "SF0F1F2LF0F1F2LF0F1F2E"},                               // three passes
        {0, kSync, "SF0F1F2E"},                                             // 0 is once when synchronous
        {3, Options({doAnimate}), "SF0F1F2E"},                              // no doLoop
        {3, Options({doLoop}), "SF0E"},                                     // no doAnimate: first frame
    };
    for (const Case& c : cases) {
        auto picture = ThreeFrames(c.loopCount);
        EventLog log;
        log.Attach(*picture);
        TBitmap target(2, 2, pf24bit);
        TGIFPainter* painter = reinterpret_cast<TGIFPainter*>(1);
        EXPECT_EQ(picture->Paint(painter, target.Canvas(), c.options, Rect(0, 0, 2, 2)), nullptr);
        EXPECT_EQ(painter, nullptr);
        EXPECT_EQ(log.text, c.events) << c.loopCount;
        const TColor last = c.options & PaintOption(doAnimate) ? clBlue : clRed;
        EXPECT_EQ(target.Canvas().Pixels(1, 1), last) << c.loopCount;
    }
}

TEST_F(GIFPaint, EmptyPictureOrRectangleMakesNoPainter)
{
    TGIFImage empty;
    TBitmap target(2, 2, pf24bit);
    TGIFPainter* painter = nullptr;
    EXPECT_EQ(empty.Paint(painter, target.Canvas(), kAsync, Rect(0, 0, 2, 2)), nullptr);
    auto picture = ThreeFrames(-1);
    EXPECT_EQ(picture->Paint(painter, target.Canvas(), kAsync, Rect(0, 0, 0, 2)), nullptr);
    EXPECT_EQ(painter, nullptr);
}

TEST_F(GIFPaint, OneFrameIsDrawnAtOnceWithoutAPainter)
{
    gifbuild::Gif g;
    g.width = g.height = 2;
    g.frames = {gifbuild::Solid(2, 2, kGreen)};
    auto picture = Picture(g);
    EventLog log;
    log.Attach(*picture);
    TBitmap target(2, 2, pf24bit);
    picture->Draw(target.Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(target.Canvas().Pixels(0, 0), clLime);
    EXPECT_EQ(log.text, "");
    // Paint runs one frame synchronously whatever the options (sleeping on the real clock).
    SetPainterClock(nullptr);
    TGIFPainter* painter = nullptr;
    EXPECT_EQ(picture->Paint(painter, target.Canvas(), kAsync, Rect(0, 0, 2, 2)), nullptr);
    EXPECT_EQ(log.text, "SF0E");
}

// Disposal 2 restores the background over the frame, 3 the picture as it was before it.
TEST_F(GIFPaint, DisposalsRestoreBackgroundAndPrevious)
{
    SetPainterClock(nullptr);
    GIFDelayUnit = 1;
    for (int disposal : {2, 3}) {
        gifbuild::Gif g;
        g.width = g.height = 2;
        gifbuild::Frame dot = gifbuild::Solid(1, 1, kBlue, 1, 1);
        dot.disposal = disposal;
        g.frames = {gifbuild::Solid(2, 2, kRed), dot, gifbuild::Solid(1, 1, kGreen, 0, 0)};
        auto picture = Picture(g);
        picture->DrawBackgroundColor = clWhite;
        TBitmap target(2, 2, pf24bit);
        std::vector<TColor> dotPixel;  // (1, 1) before each frame is painted, and at the end
        picture->OnPaintFrame = [&](TGIFObject*) { dotPixel.push_back(target.Canvas().Pixels(1, 1)); };
        picture->OnPaintEnd = [&](TGIFObject*) { dotPixel.push_back(target.Canvas().Pixels(1, 1)); };
        TGIFPainter* painter = nullptr;
        picture->Paint(painter, target.Canvas(), Options({doAnimate}), Rect(0, 0, 2, 2));
        const TColor restored = disposal == 2 ? clWhite : clRed;
        EXPECT_EQ(dotPixel, (std::vector<TColor>{clWhite, clRed, clBlue, restored})) << disposal;
        EXPECT_EQ(target.Canvas().Pixels(0, 0), clLime);
    }
}

// Plays a picture synchronously on a white 2 x 2 target (the real clock, 1 ms units) and
// returns the target's (x, y) before each frame is painted and at the end.
std::vector<TColor> PixelBeforeEachFrame(const gifbuild::Gif& g, TGIFPaintOptions options, int x, int y,
                                         const TRect& rect = Rect(0, 0, 2, 2))
{
    auto picture = Picture(g);
    picture->DrawBackgroundColor = clWhite;
    TBitmap target(rect.Right, rect.Bottom, pf24bit);
    target.Canvas().Brush.Color = clWhite;
    target.Canvas().FillRect(rect);
    std::vector<TColor> seen;
    picture->OnPaintFrame = [&](TGIFObject*) { seen.push_back(target.Canvas().Pixels(x, y)); };
    picture->OnPaintEnd = [&](TGIFObject*) { seen.push_back(target.Canvas().Pixels(x, y)); };
    TGIFPainter* painter = nullptr;
    picture->Paint(painter, target.Canvas(), options, rect);
    return seen;
}

// A frame that restores what was before it (disposal 3) after one that was restored to the
// background (2) or to what was before it (3) is drawn over the picture as restored, not over
// the previous frame still on show.
TEST_F(GIFPaint, RestoreToPreviousAfterARestoringFrame)
{
    SetPainterClock(nullptr);
    GIFDelayUnit = 1;
    struct Case {
        int firstDisposal;
        TColor dotAtEnd;  // where the first restoring frame was
    } cases[] = {{2, clWhite}, {3, clRed}, {1, clBlue}};
    for (const Case& c : cases) {
        gifbuild::Gif g;
        g.width = g.height = 2;
        gifbuild::Frame dot = gifbuild::Solid(1, 1, kBlue, 1, 1);
        dot.disposal = c.firstDisposal;
        gifbuild::Frame corner = gifbuild::Solid(1, 1, kGreen, 0, 0);
        corner.disposal = 3;
        g.frames = {gifbuild::Solid(2, 2, kRed), dot, corner};
        const std::vector<TColor> seen = PixelBeforeEachFrame(g, Options({doAnimate}), 1, 1);
        ASSERT_EQ(seen.size(), 4u) << c.firstDisposal;
        EXPECT_EQ(seen.back(), c.dotAtEnd) << c.firstDisposal;
    }
}

// doClearOnLoop restores the background under the first frame before every pass, so what a
// transparent first frame lets through is the background, not the last frame of the pass.
TEST_F(GIFPaint, ClearOnLoopRestoresTheBackgroundBeforeEachPass)
{
    SetPainterClock(nullptr);
    GIFDelayUnit = 1;
    gifbuild::Gif g;
    g.width = g.height = 2;
    g.loopCount = 2;
    gifbuild::Frame holed = gifbuild::Solid(2, 2, kRed);
    holed.pixels[3] = kBlack;
    holed.transparent = true;
    holed.transparentIndex = kBlack;
    g.frames = {holed, gifbuild::Solid(1, 1, kBlue, 1, 1)};
    const TGIFPaintOptions plain = Options({doAnimate, doLoop, doTransparent});
    struct Case {
        TGIFPaintOptions options;
        std::vector<TColor> hole;  // (1, 1) before each frame and at the end
    } cases[] = {
        {plain, {clWhite, clWhite, clBlue, clBlue, clBlue}},
        {plain | PaintOption(doClearOnLoop), {clWhite, clWhite, clBlue, clWhite, clBlue}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PixelBeforeEachFrame(g, c.options, 1, 1), c.hole) << c.options;
}

// Tiled over a rectangle twice the picture's size, a frame restored to the background is
// cleared at every tile position when it covers neither the picture's width nor its height,
// and over its scaled rectangle otherwise.
TEST_F(GIFPaint, TiledRestoreToBackground)
{
    SetPainterClock(nullptr);
    GIFDelayUnit = 1;
    struct Case {
        const char* what;
        gifbuild::Frame restored;
        int x, y;
        TColor atEnd;
    } cases[] = {
        // 1 x 1 at (0, 0): cleared in every tile, (2, 2) too.
        {"small frame, next tile", gifbuild::Solid(1, 1, kBlue, 0, 0), 2, 2, clWhite},
        // 2 x 1 (the full width) at the top: cleared over its scaled rectangle, rows 0 and 1
        // of the 4 x 4 rectangle; the second tile row keeps the frame.
        {"full-width frame, its scaled rectangle", gifbuild::Solid(2, 1, kBlue, 0, 0), 0, 1, clWhite},
        {"full-width frame, next tile row", gifbuild::Solid(2, 1, kBlue, 0, 0), 0, 2, clBlue},
    };
    for (Case& c : cases) {
        gifbuild::Gif g;
        g.width = g.height = 2;
        c.restored.disposal = 2;
        g.frames = {gifbuild::Solid(2, 2, kRed), c.restored, gifbuild::Solid(1, 1, kGreen, 1, 1)};
        const std::vector<TColor> seen =
            PixelBeforeEachFrame(g, Options({doAnimate, doTile}), c.x, c.y, Rect(0, 0, 4, 4));
        ASSERT_FALSE(seen.empty()) << c.what;
        EXPECT_EQ(seen.back(), c.atEnd) << c.what;
    }
}

// A frame drawn once is drawn again in its new colours or size after an edit of its own
// table or size: the bitmap drawn first is not reused.
TEST_F(GIFPaint, AFrameIsDrawnAgainAfterAnEdit)
{
    struct Case {
        const char* what;
        std::function<void(TGIFImage&, TGIFSubImage&)> edit;
        TColor topLeft, bottomRight;
    } cases[] = {
        {"colour changed", [](TGIFImage&, TGIFSubImage& f) { f.ColorMap().SetColor(kRed, clYellow); }, clYellow, clBlue},
        {"sorted by use", [](TGIFImage&, TGIFSubImage& f) { f.ColorMap().SortByUse(); }, clRed, clBlue},
        {"same width and height set", [](TGIFImage&, TGIFSubImage& f) { f.SetWidth(2), f.SetHeight(2); }, clRed, clBlue},
        {"narrower", [](TGIFImage&, TGIFSubImage& f) { f.SetWidth(1); }, clRed, clWhite},
    };
    for (const Case& c : cases) {
        gifbuild::Gif g;
        g.width = g.height = 2;
        gifbuild::Frame f = gifbuild::Solid(2, 2, kRed);
        f.pixels = {kRed, kRed, kRed, kBlue};
        f.localTable = gifbuild::FourColourTable();
        g.frames = {f};
        auto picture = Picture(g);
        TGIFSubImage& frame = *picture->Images().Items(0);
        TBitmap target(2, 2, pf24bit);
        picture->Draw(target.Canvas(), Rect(0, 0, 2, 2));
        ASSERT_EQ(target.Canvas().Pixels(1, 1), clBlue) << c.what;
        c.edit(*picture, frame);
        target.Canvas().Brush.Color = clWhite;
        target.Canvas().FillRect(Rect(0, 0, 2, 2));
        picture->Draw(target.Canvas(), Rect(0, 0, 2, 2));
        EXPECT_EQ(target.Canvas().Pixels(0, 0), c.topLeft) << c.what;
        EXPECT_EQ(target.Canvas().Pixels(1, 1), c.bottomRight) << c.what;
    }
}

TEST_F(GIFPaint, ThreadedPainterKeepsTheDelaysOnItsClock)
{
    auto picture = ThreeFrames(0);  // 0: for ever when threaded
    EventLog log;
    log.Attach(*picture);
    TBitmap target(2, 2, pf24bit);
    TGIFPainter* painter = nullptr;
    TGIFPainter* made = picture->Paint(painter, target.Canvas(), kAsync, Rect(0, 0, 2, 2));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(painter, made);
    EXPECT_FALSE(made->Started());
    made->Start();
    ASSERT_TRUE(PumpUntil([&] { return target.Canvas().Pixels(0, 0) == clRed; })) << "the first frame";
    // Frames without a delay show for GIFDefaultDelay units of 12 ms.
    EXPECT_EQ(FrameDeadline(clock), 120u) << "the painter waiting for the second frame";
    clock.Advance(119);
    EXPECT_EQ(clock.Deadlines().front(), 120u);
    EXPECT_EQ(log.frames, 1);
    clock.Advance(1);
    ASSERT_TRUE(PumpUntil([&] { return target.Canvas().Pixels(0, 0) == clLime; })) << "the second frame";
    // On, past the loop count of 0, each frame due 120 ms after the one before.
    while (log.frames < 7) {
        const int frames = log.frames;
        const uint64_t due = FrameDeadline(clock);
        ASSERT_EQ(due, clock.NowMs() + 120) << "the painter waiting after frame " << frames;
        clock.Advance(120);
        ASSERT_TRUE(PumpUntil([&] { return log.frames > frames; })) << "the frame after " << frames;
    }
    EXPECT_TRUE(log.text.starts_with("SF0F1F2LF0F1F2LF0")) << log.text;
    picture->StopDraw();
    EXPECT_EQ(painter, nullptr);
    // A stopped painter still tells its end, once, and nothing after it.
    EXPECT_EQ(log.text.find('E'), log.text.size() - 1) << log.text;
}

TEST_F(GIFPaint, ThreadedPainterWithNegativeSpeedWaitsUntilStopped)
{
    auto picture = ThreeFrames(0);
    picture->AnimationSpeed = -1;
    EventLog log;
    log.Attach(*picture);
    TBitmap target(2, 2, pf24bit);
    TGIFPainter* painter = nullptr;
    picture->Paint(painter, target.Canvas(), kAsync, Rect(0, 0, 2, 2))->Start();
    const auto waitsWithoutEnd = [&] {
        const std::vector<uint64_t> deadlines = clock.Deadlines();
        return deadlines.size() == 1 && deadlines.front() == TClock::kNoDeadline;
    };
    ASSERT_TRUE(PumpUntil([&] { return log.frames == 1 && waitsWithoutEnd(); }))
        << "the painter waiting without a deadline after the first frame";
    clock.Advance(1000000);
    EXPECT_TRUE(waitsWithoutEnd());
    EXPECT_EQ(log.frames, 1);
    picture->StopDraw();
    EXPECT_EQ(painter, nullptr);
}

TEST_F(GIFPaint, DrawPlaysIntoTheCachedBitmapAndItsChangesReachThePicture)
{
    auto picture = ThreeFrames(0);
    int changes = 0;
    picture->OnChange = [&](TGraphic&) { ++changes; };
    TBitmap screen(4, 4, pf24bit);
    const TRect place = Rect(0, 0, 4, 4);
    picture->Draw(screen.Canvas(), place);
    EXPECT_EQ(screen.Canvas().Pixels(3, 3), clRed);  // Draw waited for the first frame
    const int before = changes;
    const uint64_t due = FrameDeadline(clock);
    ASSERT_NE(due, 0u) << "the painter waiting for the second frame";
    clock.Advance(due - clock.NowMs());
    ASSERT_TRUE(PumpUntil([&] { return changes > before; }));
    ASSERT_TRUE(PumpUntil([&] {
        picture->Draw(screen.Canvas(), place);
        return screen.Canvas().Pixels(3, 3) == clLime;
    }));
}

TEST_F(GIFPaint, DirectDrawKeepsOnePainterPerCanvasAndRectangle)
{
    auto picture = ThreeFrames(0);
    picture->DrawOptions |= PaintOption(doDirectDraw);
    EventLog log;
    log.Attach(*picture);
    TBitmap screen(4, 4, pf24bit);
    picture->Draw(screen.Canvas(), Rect(0, 0, 2, 2));
    ASSERT_TRUE(PumpUntil([&] { return screen.Canvas().Pixels(1, 1) == clRed; }));
    picture->Draw(screen.Canvas(), Rect(0, 0, 2, 2));
    // A painter made anew would have told its start and first frame before it waits.
    ASSERT_NE(FrameDeadline(clock), 0u) << "the painter waiting for the second frame";
    EXPECT_EQ(log.text, "SF0");
    picture->Draw(screen.Canvas(), Rect(2, 2, 4, 4));  // another place: a new painter
    ASSERT_TRUE(PumpUntil([&] { return screen.Canvas().Pixels(3, 3) == clRed; }));
    EXPECT_EQ(log.text, "SF0ESF0");  // the first painter was stopped before the second began
}

// With doValidateCanvas a painter drawing straight onto a canvas stops once the canvas has
// gone, and tells its end; without it, it would paint on freed memory.
TEST_F(GIFPaint, AValidatingPainterStopsWhenItsCanvasGoes)
{
    auto picture = ThreeFrames(0);
    picture->DrawOptions |= PaintOption(doDirectDraw) | PaintOption(doValidateCanvas);
    EventLog log;
    log.Attach(*picture);
    auto screen = std::make_unique<TBitmap>(2, 2, pf24bit);
    picture->Draw(screen->Canvas(), Rect(0, 0, 2, 2));
    ASSERT_TRUE(PumpUntil([&] { return screen->Canvas().Pixels(1, 1) == clRed; })) << "the first frame";
    const uint64_t due = FrameDeadline(clock);
    ASSERT_NE(due, 0u) << "the painter waiting for the second frame";
    screen.reset();
    clock.Advance(due - clock.NowMs());
    ASSERT_TRUE(PumpUntil([&] { return log.text.ends_with("E"); })) << "the painter's end: " << log.text;
    EXPECT_EQ(log.text, "SF0F1E");
    picture->StopDraw();
}

TEST_F(GIFPaint, ClearAssignAndDestructionStopThePainters)
{
    for (int how = 0; how < 4; ++how) {
        auto picture = ThreeFrames(0);
        EventLog log;
        log.Attach(*picture);
        TBitmap screen(2, 2, pf24bit);
        picture->Draw(screen.Canvas(), Rect(0, 0, 2, 2));
        TGIFPainter* other = nullptr;
        TBitmap second(2, 2, pf24bit);
        picture->Paint(other, second.Canvas(), kAsync, Rect(0, 0, 2, 2))->Start();
        ASSERT_TRUE(PumpUntil([&] { return log.frames == 2; }));
        if (how == 0) picture->Clear();
        if (how == 1) picture->Assign(ThreeFrames(-1).get());
        if (how == 2) picture->SetWidth(3);
        if (how == 3) picture.reset();
        EXPECT_EQ(other, nullptr) << how;
        EXPECT_EQ(log.text, "SF0SF0EE") << how;  // both ended, and told so
        // The painters have ended: nothing they could still have queued may run.
        clock.Advance(1000);
        threads::CheckSynchronize();
        EXPECT_TRUE(clock.Deadlines().empty()) << how;
        EXPECT_EQ(log.frames, 2) << how;
    }
}

// A failure inside a painter stops it; a threaded painter's is raised again on the GUI thread
// when the painter is freed (it reaches the application's handler), a synchronous painter's
// reaches the caller of Paint. Either way nothing more is painted or told.
TEST_F(GIFPaint, AFailureStopsThePainterAndIsRaisedAgainWhenItIsFreed)
{
    for (const bool async : {true, false}) {
        SCOPED_TRACE(async ? "threaded" : "synchronous");
        if (!async) SetPainterClock(nullptr);
        GIFDelayUnit = 1;
        auto picture = ThreeFrames(0);
        EventLog log;
        log.Attach(*picture);
        picture->OnPaintFrame = [&](TGIFObject* sender) {
            log.text += "F";
            if (static_cast<TGIFPainter*>(sender)->ActiveImage() == 1) throw Exception("frame refused");
        };
        std::vector<std::string> raised;
        Application->OnException = [&](QObject*, std::exception_ptr e) {
            try {
                std::rethrow_exception(e);
            } catch (const Exception& x) {
                raised.push_back(x.Message());
            }
        };
        TBitmap target(2, 2, pf24bit);
        TGIFPainter* painter = nullptr;
        if (async) {
            picture->Paint(painter, target.Canvas(), kAsync, Rect(0, 0, 2, 2))->Start();
            ASSERT_TRUE(PumpUntil([&] { return log.text == "SF"; })) << "the first frame";
            const uint64_t due = FrameDeadline(clock);
            ASSERT_NE(due, 0u) << "the painter waiting for the second frame";
            clock.Advance(due - clock.NowMs());
            ASSERT_TRUE(PumpUntil([&] { return !raised.empty(); })) << "the failure raised again";
            EXPECT_EQ(painter, nullptr);
        } else {
            try {
                picture->Paint(painter, target.Canvas(), kSync, Rect(0, 0, 2, 2));
                ADD_FAILURE() << "Paint returned";
            } catch (const Exception& x) {
                raised.push_back(x.Message());
            }
        }
        Application->OnException = nullptr;
        EXPECT_EQ(raised, std::vector<std::string>{"frame refused"});
        EXPECT_EQ(log.text, "SFF");  // the second frame's event, and nothing after it
        EXPECT_EQ(target.Canvas().Pixels(0, 0), clRed);
    }
}

TEST_F(GIFPaint, PainterNeverStartedIsFreedByStopDraw)
{
    auto picture = ThreeFrames(0);
    TBitmap target(2, 2, pf24bit);
    TGIFPainter* painter = nullptr;
    ASSERT_NE(picture->Paint(painter, target.Canvas(), kAsync, Rect(0, 0, 2, 2)), nullptr);
    picture->StopDraw();
    EXPECT_EQ(painter, nullptr);
}

TEST_F(GIFPaint, RenderRequestsAreServedOrWithdrawnAfterTheWait)
{
    auto picture = ThreeFrames(0);
    TBitmap target(2, 2, pf24bit);
    TGIFPainter* painter = nullptr;
    TGIFPainter* p = picture->Paint(painter, target.Canvas(), kAsync, Rect(0, 0, 2, 2));
    ASSERT_NE(p, nullptr);

    // No worker may be made: the request is not served and is withdrawn when the wait ends.
    GIFMaxRenderThreads = 0;
    GIFRenderWait = 500;
    {
        Asker asker(*p, clock);
        ASSERT_TRUE(PumpUntil([&] {
            return TRenderer::Instance().QueueCount() == 1 && clock.Deadlines() == std::vector<uint64_t>{500};
        })) << "the request queued and its wait begun";
        clock.Advance(499);
        EXPECT_EQ(clock.Deadlines(), std::vector<uint64_t>{500});
        clock.Advance(1);
        ASSERT_TRUE(asker.Answered()) << "the request withdrawn when its wait ran out";
        EXPECT_FALSE(asker.Result());
    }
    EXPECT_EQ(TRenderer::Instance().QueueCount(), 0);
    EXPECT_FALSE(picture->Images().Items(0)->Rendered());

    // One worker renders the first frame not yet rendered, on this (the GUI) thread.
    GIFMaxRenderThreads = 1;
    {
        Asker asker(*p, clock);
        ASSERT_TRUE(asker.Answered()) << "the request served";
        EXPECT_TRUE(asker.Result());
        EXPECT_TRUE(picture->Images().Items(0)->Rendered());
    }
    EXPECT_EQ(TRenderer::Instance().WorkerCount(), 1);
    EXPECT_FALSE(picture->Images().Items(1)->Rendered());
    picture->StopDraw();
    EXPECT_EQ(painter, nullptr);
}

}  // namespace
