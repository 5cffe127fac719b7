#include "gif/GIFPaint.h"

#include "platform/runtime/SysUtils.h"
#include "platform/ui/Forms.h"

#include <QCoreApplication>

#include <algorithm>
#include <limits>
#include <set>
#include <vector>

namespace GIFImg {

namespace {

std::atomic<TClock*> painterClock{nullptr};

TClock& Clock()
{
    TClock* c = painterClock.load();
    return c ? *c : SteadyClock();
}

// Set once the application starts quitting: waits for painters end, painters stop.
std::atomic<bool> quitting{false};

// The threaded painters alive (GUI thread only), so that quitting can end them.
std::set<TGIFPainter*>& LivePainters()
{
    static std::set<TGIFPainter*> painters;
    return painters;
}

// GUI thread: stops every threaded painter and the render pool when the application quits.
void WatchQuit()
{
    static bool watching = false;
    QCoreApplication* app = QCoreApplication::instance();
    if (watching || !app) return;
    watching = true;
    QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] {
        quitting = true;
        const auto running = [] {
            return std::any_of(LivePainters().begin(), LivePainters().end(), [](TGIFPainter* p) { return p->Started(); });
        };
        for (TGIFPainter* p : LivePainters()) p->Stop();
        threads::SynchronizeUntil([&] { return !running(); });
        TRenderer::Free();
    });
}

TColor PainterBackground(TGIFImage& image)
{
    if (image.DrawBackgroundColor != clNone) return image.DrawBackgroundColor;
    if (image.GlobalColorMap().Count() == 0) return ColorToRGB(clWindow);
    return image.BackgroundColor();
}

// The pixels of canvas under rect, into a new bitmap of rect's size.
std::unique_ptr<TBitmap> Snapshot(TCanvas& canvas, const TRect& rect, TColor brush)
{
    auto b = std::make_unique<TBitmap>(rect.Width(), rect.Height(), pf32bit);
    b->Canvas().Brush.Color = brush;
    b->Canvas().Brush.Style = bsSolid;
    b->Canvas().FillRect(Rect(0, 0, rect.Width(), rect.Height()));
    b->Canvas().CopyRect(Rect(0, 0, rect.Width(), rect.Height()), canvas, rect);
    return b;
}

}  // namespace

int PainterFrameDelay(int gceDelay, bool hasGce, bool async)
{
    if (!hasGce || gceDelay <= 0) return GIFDefaultDelay;
    int delay = std::max(gceDelay, GIFMinimumDelay);
    if (!async) delay = std::min(delay, GIFMaximumDelay);
    return delay;
}

int64_t PainterWait(int delayUnits, int animationSpeed, int64_t overrunMs, bool async)
{
    const int64_t longest = int64_t(GIFMaximumDelay) * GIFDelayUnit;
    if (animationSpeed <= 0) return async ? -1 : longest;
    // Rounded to the nearest millisecond, halves away from zero.
    const int64_t scaled = (int64_t(delayUnits) * GIFDelayUnit - overrunMs) * 100;
    const int64_t half = animationSpeed / 2;
    const int64_t wait = (scaled >= 0 ? scaled + half : scaled - half) / animationSpeed;
    if (wait > std::numeric_limits<int32_t>::max() || wait < std::numeric_limits<int32_t>::min()) return longest;
    return wait;
}

void SetPainterClock(TClock* clock) { painterClock = clock; }

// --- The painter -------------------------------------------------------------------------------

// What the painter needs to know of a frame, read on the GUI thread.
struct TGIFPainter::TStep {
    bool exists = false;
    bool empty = true;
    int loops = -1;  // the frame's loop extension's count; -1 without one
    int disposal = -1;  // -1 without a graphic control extension
    int nextDelay = 0;
};

TGIFPainter::TGIFPainter(TGIFPainter** painterVar, TGIFPaintOptions options, const TRect& rect, TCanvas& canvas,
                         TGIFImage& image)
    : TThread(true), image_(&image), canvas_(&canvas), rect_(rect), options_(options),
      animationSpeed_(image.AnimationSpeed), painterVar_(painterVar)
{
    FreeOnTerminate = true;
    OnTerminate = [this](TThread*) { End(); };
    if (painterVar_) *painterVar_ = this;
    onPaintStart_ = image.OnPaintStart;
    onPaintFrame_ = image.OnPaintFrame;
    onPaintLoop_ = image.OnPaintLoop;
    onPaintEnd_ = image.OnPaintEnd;
    backgroundColor_ = ColorToRGB(PainterBackground(image));

    bool restoreBackground = options_ & PaintOption(doClearOnLoop);
    bool restorePrevious = false;
    for (int i = 0; i < image.Images().Count(); ++i)
        if (const TGIFGraphicControlExtension* gce = image.Images().Items(i)->GraphicControlExtension()) {
            restoreBackground |= gce->Disposal() == 2;
            restorePrevious |= gce->Disposal() == 3;
        }
    if (restoreBackground && (options_ & PaintOption(doTransparent)))
        background_ = Snapshot(canvas, rect, backgroundColor_);
    if (restoreBackground || restorePrevious) {
        backupBuffer_ = Snapshot(canvas, rect, backgroundColor_);
        frameBuffer_ = std::make_unique<TBitmap>(rect.Width(), rect.Height(), pf32bit);
        frameBuffer_->Canvas().Brush.Color = backgroundColor_;
    }
    if (options_ & PaintOption(doValidateCanvas)) canvasLife_ = canvas.Lifetime();
    if (Async()) {
        WatchQuit();
        LivePainters().insert(this);
    }
}

TGIFPainter::~TGIFPainter()
{
    Stop();
    // A threaded painter is freed once its thread ended; a synchronous one never started one.
    Join();
    End();
    LivePainters().erase(this);
    // Freed on the GUI thread, a threaded painter's failure goes where the GUI thread's own
    // do (a synchronous painter's reaches the caller of Paint).
    if (failure_ && Async()) Application->HandleException(failure_);
}

void TGIFPainter::Stop()
{
    Terminate();
    Wake();
}

void TGIFPainter::Wake()
{
    {
        std::lock_guard g(wakeLock_);
        woken_ = true;
    }
    wakeCv_.notify_all();
}

bool TGIFPainter::WaitWake(int64_t ms)
{
    std::unique_lock lock(wakeLock_);
    const auto wake = [this] { return woken_ || Terminated(); };
    TClock& clock = Clock();
    const uint64_t deadline = ms < 0 ? TClock::kNoDeadline : clock.NowMs() + static_cast<uint64_t>(ms);
    const bool woke = clock.WaitUntil(lock, wakeCv_, deadline, wake);
    woken_ = false;
    return woke;
}

bool TGIFPainter::Gui(const std::function<void()>& fn, bool whenStopped)
{
    bool alive = false;  // the picture is still there after fn (read on the GUI thread)
    const auto skip = [this, whenStopped] { return Terminated() && !whenStopped; };
    const auto run = [this, &fn, &alive, &skip] {
        if (!image_ || skip()) return;
        fn();
        alive = image_ != nullptr;
    };
    if (!Async()) {
        run();
    } else if (!threads::Synchronize(this, run, skip)) {
        Terminate();
    }
    return alive && !Terminated();
}

void TGIFPainter::Fire(const std::function<void(TGIFObject*)>& event)
{
    if (event) Gui([&] { event(this); });
}

bool TGIFPainter::Look(int index, TStep& step)
{
    return Gui([&] {
        TGIFImageList& frames = image_->Images();
        step.exists = index < frames.Count();
        if (!step.exists) return;
        TGIFSubImage& frame = *frames.Items(index);
        step.empty = frame.Empty();
        TGIFExtensionList& extensions = frame.Extensions();
        for (int i = 0; i < extensions.Count(); ++i) {
            TGIFExtension* e = extensions.Items(i);
            if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(e); loop && step.loops < 0) step.loops = loop->Loops;
            if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(e)) step.disposal = gce->Disposal();
        }
        const TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
        step.nextDelay = PainterFrameDelay(gce ? gce->Delay() : 0, gce != nullptr, Async());
    });
}

void TGIFPainter::Execute()
{
    try {
        Play();
    } catch (const Exception&) {
        failure_ = std::current_exception();
        Terminate();
    }
}

void TGIFPainter::Play()
{
    const bool async = Async();
    const bool animate = options_ & PaintOption(doAnimate);
    const bool loop = options_ & PaintOption(doLoop);
    const bool continuously = options_ & PaintOption(doLoopContinuously);
    TClock& clock = Clock();

    activeImage_ = 0;
    Fire(onPaintStart_);
    bool painted = false;  // this thread's copy of the frame-painted flag
    int loops = 1;
    int loopStart = 0;
    bool loopSeen = false;
    int delay = async ? 0 : 1;
    previousDisposal_ = 1;
    uint64_t timeBase = clock.NowMs();
    int64_t previousTarget = 0;

    while ((loops != 0 || continuously) && !Terminated()) {
        activeImage_ = loopStart;
        if (painted) Fire(onPaintLoop_);
        while (!Terminated()) {
            TStep step;
            if (!Look(activeImage_, step) || !step.exists || step.empty) break;
            if (delay <= 0) {
                std::this_thread::yield();
            } else {
                PrepareNext();
                const uint64_t now = clock.NowMs();
                const int64_t overrun = static_cast<int64_t>(now - timeBase) - previousTarget;
                const int64_t wait = PainterWait(delay, animationSpeed_, overrun, async);
                if (animationSpeed_ > 0) previousTarget = int64_t(delay) * GIFDelayUnit;
                timeBase = now;
                WaitFrame(wait);
            }
            if (Terminated()) break;
            Fire(onPaintFrame_);
            if (Terminated()) break;

            if (step.loops >= 0 && !loopSeen) {
                loopSeen = true;
                loops = step.loops;
                if (async && (loops == 0 || continuously)) loops = -1;
                loopStart = activeImage_;
            }
            const int disposal = step.disposal >= 0 ? step.disposal : 1;
            if (!Gui([&] { PaintFrame(disposal); })) break;
            painted = true;
            previousDisposal_ = disposal;
            if (!animate || Terminated()) break;
            delay = step.nextDelay;
            ++activeImage_;
        }
        if (loops > 0) --loops;
        if (!(animate && loop)) break;
    }
    activeImage_ = -1;
    // Told however the painter ended, unless its picture has left it.
    if (onPaintEnd_) Gui([this] { onPaintEnd_(this); }, true);
}

void TGIFPainter::RunAndFree()
{
    try {
        Execute();
    } catch (...) {
        delete this;
        throw;
    }
    const std::exception_ptr failure = failure_;
    delete this;
    if (failure) std::rethrow_exception(failure);
}

void TGIFPainter::WaitFrame(int64_t ms)
{
    if (Async()) {
        if (ms > 0 || animationSpeed_ <= 0) WaitWake(ms > 0 ? ms : -1);
        return;
    }
    // Synchronous: short sleeps, letting the program's messages run between them.
    TClock& clock = Clock();
    int64_t rest = std::max<int64_t>(ms, 1);
    std::mutex m;
    std::condition_variable cv;
    while (rest > 0 && !Terminated()) {
        const uint64_t before = clock.NowMs();
        {
            std::unique_lock lock(m);
            clock.WaitUntil(lock, cv, before + static_cast<uint64_t>(std::min<int64_t>(rest, 100)),
                            [this] { return Terminated(); });
        }
        rest -= static_cast<int64_t>(clock.NowMs() - before);
        if (QCoreApplication::instance()) QCoreApplication::processEvents();
        if (quitting) Terminate();
    }
}

void TGIFPainter::PrepareNext()
{
    if (Async() && (options_ & PaintOption(doAnimate)) && animationSpeed_ >= 0) {
        bool needed = false;
        if (!Gui([&] { needed = NeedsRender(); })) return;
        if (needed) TRenderer::Instance().Render(*this);
        return;
    }
    Gui([&] {
        if (activeImage_ >= image_->Images().Count()) return;
        TGIFSubImage& frame = *image_->Images().Items(activeImage_);
        if (!frame.Empty()) frame.Bitmap();
    });
}

bool TGIFPainter::NeedsRender()
{
    if (!image_) return false;
    TGIFImageList& frames = image_->Images();
    for (int i = std::max(activeImage_.load(), 0); i < frames.Count(); ++i)
        if (!frames.Items(i)->Empty() && !frames.Items(i)->Rendered()) return true;
    return false;
}

void TGIFPainter::RenderAhead()
{
    if (!image_) return;
    TGIFImageList& frames = image_->Images();
    for (int i = std::max(activeImage_.load(), 0); i < frames.Count(); ++i)
        if (!frames.Items(i)->Empty() && !frames.Items(i)->Rendered()) {
            frames.Items(i)->Bitmap();
            return;
        }
}

// --- Painting (GUI thread) ---------------------------------------------------------------------

void TGIFPainter::PaintFrame(int disposal)
{
    if (activeImage_ >= image_->Images().Count()) return;
    if ((options_ & PaintOption(doValidateCanvas)) && canvasLife_.expired()) {
        Terminate();  // the canvas has gone
        return;
    }
    TGIFSubImage& frame = *image_->Images().Items(activeImage_);
    if (backupBuffer_)
        PaintBuffered(frame, disposal);
    else
        PaintDirect(frame);
    framePainted_ = true;
    // A bitmap's canvas reports the change when it lets go of its pixels.
    canvas_->Release();
}

void TGIFPainter::PaintDirect(TGIFSubImage& frame)
{
    frame.Draw(*canvas_, rect_, options_ & PaintOption(doTile), options_ & PaintOption(doTransparent));
}

// The buffers hold the destination rectangle from their own 0,0.
void TGIFPainter::PaintBuffered(TGIFSubImage& frame, int disposal)
{
    const TRect full = ::Rect(0, 0, rect_.Width(), rect_.Height());
    const bool clearFirst = (options_ & PaintOption(doClearOnLoop)) && activeImage_ == 0;
    TCanvas* target = nullptr;
    bool copy = false;
    TRect targetRect = full;
    switch (disposal) {
    case 0:
    case 1:
    case 2:
        target = &backupBuffer_->Canvas();
        copy = true;
        break;
    case 3:
        if (previousDisposal_ <= 1) {
            target = canvas_;  // the backup keeps the picture as it was before this frame
            targetRect = rect_;
        } else {
            frameBuffer_->Canvas().CopyRect(full, backupBuffer_->Canvas(), full);
            target = &frameBuffer_->Canvas();
            copy = true;
        }
        break;
    default:
        break;
    }
    if (clearFirst) RestoreBackground(frame);
    if (target) {
        frame.Draw(*target, targetRect, options_ & PaintOption(doTile), options_ & PaintOption(doTransparent));
        if (copy) canvas_->CopyRect(rect_, *target, full);
    }
    if (disposal == 2) RestoreBackground(frame);
}

void TGIFPainter::RestoreBackground(TGIFSubImage& frame)
{
    TCanvas& backup = backupBuffer_->Canvas();
    const TRect full = ::Rect(0, 0, rect_.Width(), rect_.Height());
    const bool tile = options_ & PaintOption(doTile);
    const int sw = std::max(image_->Width(), 1);
    const int sh = std::max(image_->Height(), 1);
    const auto eachTile = [&](const std::function<void(const TRect&)>& fn) {
        for (int x = frame.Left(); x < full.Right; x += sw)
            for (int y = frame.Top(); y < full.Bottom; y += sh) fn(Bounds(x, y, frame.Width(), frame.Height()));
    };
    if (options_ & PaintOption(doTransparent)) {
        if (!background_) return;
        const auto restore = [&](const TRect& r) { backup.CopyRect(r, background_->Canvas(), r); };
        if (tile)
            eachTile(restore);
        else
            restore(frame.ScaleRect(full));
        return;
    }
    backup.Brush.Color = backgroundColor_;
    backup.Brush.Style = bsSolid;
    const auto fill = [&](const TRect& r) { backup.FillRect(r); };
    if (tile && frame.Width() < image_->Width() && frame.Height() < image_->Height())
        eachTile(fill);
    else
        fill(frame.ScaleRect(full));
}

// The painter's end: off the picture's list and its painter variable, buffers gone.
void TGIFPainter::End()
{
    if (ended_) return;
    ended_ = true;
    if (image_) {
        auto& list = image_->painters_.LockList();
        list.remove(this);
        if (painterVar_ && *painterVar_ == this) *painterVar_ = nullptr;
        image_->painters_.UnlockList();
        image_ = nullptr;
    }
    backupBuffer_.reset();
    frameBuffer_.reset();
    background_.reset();
    LivePainters().erase(this);
}

// --- The render pool ---------------------------------------------------------------------------

class TRenderer::TRenderThread : public TThread {
public:
    explicit TRenderThread(TRenderer& renderer) : TThread(true), renderer_(renderer) {}
    ~TRenderThread() override
    {
        Terminate();
        WaitFor();
    }

protected:
    void Execute() override
    {
        while (!Terminated()) {
            if (renderer_.semaphore_.WaitFor(static_cast<uint32_t>(GIFRenderIdle)) == TWaitResult::wrTimeout) break;
            if (Terminated()) break;
            TGIFPainter* painter = nullptr;
            {
                std::lock_guard g(renderer_.m_);
                if (renderer_.closing_) break;
                if (!renderer_.queue_.empty()) {
                    idle_ = false;
                    painter = renderer_.queue_.front();
                    renderer_.queue_.pop_front();
                    renderer_.served_.push_back(painter);
                } else {
                    idle_ = true;
                    renderer_.workers_.remove(this);
                    renderer_.workers_.push_front(this);  // the first worker tells whether any is idle
                }
            }
            if (!painter) continue;
            SetPriority(painter->Priority());
            threads::Synchronize(this, [painter] { painter->RenderAhead(); });
            SetPriority(TThreadPriority::tpNormal);
            bool more;
            {
                std::lock_guard g(renderer_.m_);
                painter->Wake();
                renderer_.served_.remove(painter);
                idle_ = true;
                more = !renderer_.queue_.empty();
            }
            renderer_.changed_.notify_all();
            threads::WakeSynchronize();
            if (more) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        // Gone from the list, the worker touches the renderer no more (it may be freed).
        std::lock_guard g(renderer_.m_);
        renderer_.workers_.remove(this);
        renderer_.changed_.notify_all();
    }

public:
    bool idle_ = true;  // guarded by the renderer's lock
    TRenderer& renderer_;
};

namespace {
std::atomic<TRenderer*> renderer{nullptr};
}

TRenderer::TRenderer() = default;

TRenderer& TRenderer::Instance()
{
    static std::mutex making;
    std::lock_guard g(making);
    if (!renderer.load()) renderer = new TRenderer;
    return *renderer.load();
}

void TRenderer::Free() { delete renderer.exchange(nullptr); }

TRenderer::~TRenderer()
{
    std::unique_lock lock(m_);
    closing_ = true;
    for (TRenderThread* w : workers_) w->Terminate();
    semaphore_.Release(static_cast<int>(std::max<size_t>(workers_.size(), 1)));
    for (TGIFPainter* p : queue_) p->Wake();
    // The workers leave their list when they end, woken painters leave the queue; a worker
    // may be rendering on this thread.
    const auto settled = [this] { return workers_.empty() && queue_.empty() && served_.empty(); };
    if (threads::IsGuiThread()) {
        lock.unlock();
        threads::SynchronizeUntil([&] {
            std::lock_guard g(m_);
            return settled();
        });
    } else {
        changed_.wait(lock, settled);
        lock.unlock();
    }
    owned_.clear();
}

bool TRenderer::Render(TGIFPainter& painter)
{
    std::list<std::unique_ptr<TRenderThread>> ended;  // joined and freed outside the lock
    {
        std::lock_guard g(m_);
        if (closing_) return false;
        // Workers that ended after their idle time are joined and freed here.
        for (auto it = owned_.begin(); it != owned_.end();) {
            const auto next = std::next(it);
            if ((*it)->Finished() && std::find(workers_.begin(), workers_.end(), it->get()) == workers_.end())
                ended.splice(ended.end(), owned_, it);
            it = next;
        }
        if ((workers_.empty() || !workers_.front()->idle_) && static_cast<int>(workers_.size()) < GIFMaxRenderThreads) {
            owned_.push_back(std::make_unique<TRenderThread>(*this));
            workers_.push_front(owned_.back().get());
            owned_.back()->Start();
        }
        queue_.push_back(&painter);
    }
    semaphore_.Release();
    const bool served = painter.WaitWake(GIFRenderWait);
    // Withdrawn when not served; when a worker is rendering for it, wait for that worker so
    // that it never wakes a painter that is gone.
    std::unique_lock lock(m_);
    const bool queued = std::find(queue_.begin(), queue_.end(), &painter) != queue_.end();
    queue_.remove(&painter);
    changed_.wait(lock, [&] { return std::find(served_.begin(), served_.end(), &painter) == served_.end(); });
    lock.unlock();
    changed_.notify_all();
    threads::WakeSynchronize();
    return served && !queued && !painter.Terminated();
}

int TRenderer::WorkerCount()
{
    std::lock_guard g(m_);
    return static_cast<int>(workers_.size());
}

int TRenderer::QueueCount()
{
    std::lock_guard g(m_);
    return static_cast<int>(queue_.size());
}

// --- The picture's side ------------------------------------------------------------------------

TGIFPainter* TGIFImage::Paint(TGIFPainter*& painter, TCanvas& canvas, TGIFPaintOptions options, const TRect& rect)
{
    painter = nullptr;
    if (Empty() || rect.Width() <= 0 || rect.Height() <= 0) return nullptr;
    if (images_.Count() == 1) options &= static_cast<TGIFPaintOptions>(~PaintOption(doAsync));
    auto* p = new TGIFPainter(&painter, options, rect, canvas, *this);
    painters_.Add(p);
    if (options & PaintOption(doAsync)) {
        p->SetPriority(static_cast<TThreadPriority>(std::clamp(ThreadPriority, 0, 6)));
        return p;
    }
    p->RunAndFree();
    return nullptr;
}

// A painter made by Paint and never started would never end: it is freed (its End clears
// the caller's painter variable).
void TGIFImage::StopOwnPainter()
{
    for (;;) {
        painters_.LockList();
        TGIFPainter* p = painter_;
        if (p) p->Stop();
        painters_.UnlockList();
        if (!p || !p->Async()) break;
        if (!p->Started()) {
            delete p;
            break;
        }
        // Its end, run on this thread, clears painter_.
        threads::SynchronizeUntil([&] { return painter_ != p; });
    }
}

void TGIFImage::DropBitmap()
{
    StopOwnPainter();
    bitmap_.reset();
}

void TGIFImage::StopDraw()
{
    // Threaded painters leave the list in their end, which runs on this thread.
    const auto running = [this] {
        auto& list = painters_.LockList();
        const bool any = std::any_of(list.begin(), list.end(), [](TGIFPainter* p) { return p->Async() && p->Started(); });
        painters_.UnlockList();
        return any;
    };
    for (;;) {
        auto& list = painters_.LockList();
        std::vector<TGIFPainter*> idle;
        for (auto it = list.rbegin(); it != list.rend(); ++it) {
            (*it)->Stop();
            if ((*it)->Async() && !(*it)->Started()) idle.push_back(*it);
        }
        for (TGIFPainter* p : idle) delete p;
        painters_.UnlockList();
        if (!running()) break;
        threads::SynchronizeUntil([&] { return !running(); });
    }
    bitmap_.reset();
}

void TGIFImage::DetachPainters()
{
    auto& list = painters_.LockList();
    for (TGIFPainter* p : list) {
        p->image_ = nullptr;
        p->painterVar_ = nullptr;
    }
    list.clear();
    painter_ = nullptr;
    painters_.UnlockList();
}

void TGIFImage::DrawCached(TCanvas& canvas, const TRect& rect)
{
    if (!bitmap_) return;
    if (DrawOptions & PaintOption(doTile)) {
        const int w = std::max(Width(), 1);
        const int h = std::max(Height(), 1);
        for (int x = rect.Left; x < rect.Right; x += w)
            for (int y = rect.Top; y < rect.Bottom; y += h) bitmap_->Draw(canvas, Bounds(x, y, w, h));
    } else {
        bitmap_->Draw(canvas, rect);
    }
}

void TGIFImage::Draw(TCanvas& canvas, const TRect& rect)
{
    if (drawing_ || Empty()) return;
    drawing_ = true;
    struct TReset {
        bool& flag;
        ~TReset() { flag = false; }
    } reset{drawing_};

    const bool tile = DrawOptions & PaintOption(doTile);
    const bool transparent = DrawOptions & PaintOption(doTransparent);
    if (images_.Count() == 1 || !(DrawOptions & PaintOption(doAnimate))) {
        images_.First()->Draw(canvas, rect, tile, transparent);
        return;
    }
    const bool direct = DrawOptions & PaintOption(doDirectDraw);
    if (!direct && bitmap_) {
        DrawCached(canvas, rect);
        return;
    }
    painters_.LockList();
    struct TUnlock {
        TThreadList<TGIFPainter*>& list;
        ~TUnlock() { list.UnlockList(); }
    } unlock{painters_};
    if (painter_ && painterCanvas_ == &canvas && painterRect_ == rect) return;
    if (painter_) DropBitmap();

    TCanvas* target = &canvas;
    TRect targetRect = rect;
    if (!direct) {
        auto b = std::make_unique<TBitmap>(Width(), Height(), pf32bit);
        b->Canvas().CopyRect(::Rect(0, 0, Width(), Height()), canvas, rect);
        b->Canvas().Release();
        b->OnChange = [this](TGraphic&) { Changed(); };
        bitmap_ = std::move(b);
        target = &bitmap_->Canvas();
        targetRect = ::Rect(0, 0, Width(), Height());
    }
    painterCanvas_ = &canvas;
    painterRect_ = rect;
    TGIFPainter* started = Paint(painter_, *target, DrawOptions, targetRect);
    if (started) started->Start();
    if (direct) return;
    // The first frame is in the bitmap once the painter painted it (or ended).
    threads::SynchronizeUntil([&] { return !painter_ || painter_ != started || painter_->FramePainted() || quitting; });
    DrawCached(canvas, rect);
}

} // namespace GIFImg
