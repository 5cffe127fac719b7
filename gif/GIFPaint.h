// Animated painting of GIF pictures: the painter that plays a picture's frames with their
// delays, disposal methods and loop count, and the pool of render threads that has the next
// frame's bitmap ready in time.
//
// A painter runs on its own thread (doAsync) or inside the caller's Draw. A threaded painter
// only times, waits and decides: every touch of the picture, of a canvas and every paint
// event runs on the GUI thread through the synchronisation queue. Render workers likewise
// render on the GUI thread; they exist so that a painter's wait covers the rendering.
#pragma once

#include "gif/GIFImg.h"
#include "platform/threads/Threads.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <list>
#include <mutex>

namespace GIFImg {

// Delay units before the frame that follows `frame`: its graphic control extension's delay
// raised to GIFMinimumDelay (and for a synchronous painter cut to GIFMaximumDelay), or
// GIFDefaultDelay when it asks for none.
int PainterFrameDelay(int gceDelay, bool hasGce, bool async);
// Milliseconds to wait for a frame of `delayUnits` at `animationSpeed` percent, `overrunMs`
// being how much later than planned the previous frame came. -1: until woken (a threaded
// painter at a speed of 0 or below).
int64_t PainterWait(int delayUnits, int animationSpeed, int64_t overrunMs, bool async);

// The clock the painters time and wait on (null: the steady clock). For tests.
void SetPainterClock(TClock* clock);

class TGIFPainter : public TThread, public TGIFObject {
public:
    // Made suspended. Writes itself into *painterVar (may be null); the picture's end of the
    // painter clears it again.
    TGIFPainter(TGIFPainter** painterVar, TGIFPaintOptions options, const TRect& rect, TCanvas& canvas,
                TGIFImage& image);
    ~TGIFPainter() override;

    // Terminates; a threaded painter is woken so that it ends at once.
    void Stop();
    bool Async() const { return options_ & PaintOption(doAsync); }
    TGIFPaintOptions Options() const { return options_; }
    // The frame on show; -1 when none.
    int ActiveImage() const { return activeImage_.load(); }
    // GUI thread: a frame has been painted (Draw waits for the first one).
    bool FramePainted() const { return framePainted_; }
    TCanvas* Canvas() const { return canvas_; }
    TRect Rect() const { return rect_; }
    TGIFImage* Image() const { return image_; }

    // Runs a synchronous painter to its end on the caller's thread and frees it.
    void RunAndFree();

    // The render pool's side: wake the painter; render (GUI thread) the first frame from
    // ActiveImage on that is neither empty nor rendered; whether there is one.
    void Wake();
    void RenderAhead();
    bool NeedsRender();
    // Waits for Wake (or Stop) at most ms on the painter clock (-1: without limit).
    bool WaitWake(int64_t ms);

protected:
    // Plays; a failure of the program's own kind (Exception) stops the painter and is kept,
    // to be raised again when the painter is freed.
    void Execute() override;

private:
    struct TStep;
    void Play();
    // fn runs on the GUI thread (at once for a synchronous painter); false when the painter
    // was stopped or its picture left it. whenStopped: run it for a stopped painter too.
    bool Gui(const std::function<void()>& fn, bool whenStopped = false);
    void Fire(const std::function<void(TGIFObject*)>& event);
    bool Look(int index, TStep& step);
    void PrepareNext();
    void WaitFrame(int64_t ms);
    void PaintFrame(int disposal);
    void PaintDirect(TGIFSubImage& frame);
    void PaintBuffered(TGIFSubImage& frame, int disposal);
    void RestoreBackground(TGIFSubImage& frame);
    void End();

    TGIFImage* image_;
    TCanvas* canvas_;
    TRect rect_;
    TGIFPaintOptions options_;
    int animationSpeed_;
    std::atomic<int> activeImage_{-1};
    int previousDisposal_ = 1;
    std::unique_ptr<TBitmap> backupBuffer_, frameBuffer_, background_;
    TColor backgroundColor_ = clBlack;
    bool framePainted_ = false;
    TGIFPainter** painterVar_;
    std::weak_ptr<const void> canvasLife_;  // with doValidateCanvas: expires when the canvas goes
    std::exception_ptr failure_;  // what stopped the painter, kept by Execute
    std::function<void(TGIFObject*)> onPaintStart_, onPaintFrame_, onPaintLoop_, onPaintEnd_;

    std::mutex wakeLock_;
    std::condition_variable wakeCv_;
    bool woken_ = false;
    bool ended_ = false;

    friend class TGIFImage;
};

// The render pool: up to GIFMaxRenderThreads workers serving painters' requests.
class TRenderer {
public:
    // The program's pool, made on first use.
    static TRenderer& Instance();
    // Frees the pool (its workers end); the next request makes a new one.
    static void Free();
    ~TRenderer();

    // Queues the painter and waits on its wake-up for GIFRenderWait ms. False on timeout:
    // the request is withdrawn.
    bool Render(TGIFPainter& painter);
    int WorkerCount();
    int QueueCount();

private:
    class TRenderThread;
    TRenderer();
    TSemaphore semaphore_{0, 2147483647};
    std::mutex m_;  // the queue and the workers; also what served_ waits on
    std::condition_variable changed_;
    std::list<TGIFPainter*> queue_;
    std::list<TRenderThread*> workers_;  // the running ones, an idle one first
    std::list<std::unique_ptr<TRenderThread>> owned_;  // every worker not yet joined
    std::list<TGIFPainter*> served_;  // painters a worker is rendering for now
    bool closing_ = false;
};

} // namespace GIFImg
