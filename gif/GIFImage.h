// The animated GIF control: shows a GIF held in the window (its "Data"), composes the frames
// on a logical screen following each frame's disposal and transparency, and either animates
// them on its own TTimerEx or shows the frame chosen through CurrentFrame.
//
// Bad data never raises: LoadGIFStream returns false, clears the picture and leaves its
// reason in LastError (0 success, 1 aborted through OnProgress, 2 no data, 3 not a readable
// GIF; 5 a CurrentFrame out of range).
#pragma once

#include "gif/GIFImageReader.h"
#include "gif/TimerEx.h"
#include "platform/graphics/Graphics.h"
#include "platform/runtime/Classes.h"
#include "platform/ui/Controls.h"

#include <QImage>
#include <QWidget>

#include <memory>
#include <vector>

namespace GIFImage {

// Sender, bytes read, bytes in all, percentage, and whether to go on (false aborts the load).
using TProgressEvent = std::function<void(QObject* Sender, int BytesProcessed, int BytesToProcess,
                                          int PercentageProcessed, bool& KeepOnProcessing)>;

enum TGIFError { geNone = 0, geAborted = 1, geNoData = 2, geParse = 3, geFrameIndex = 5 };

class TGIFImage : public QWidget {
public:
    explicit TGIFImage(QWidget* parent = nullptr);
    ~TGIFImage() override;

    // --- Loading ---
    // Reads the whole stream (from its start) as a GIF file; false on failure (LastError).
    bool LoadGIFStream(TStream& stream);
    bool LoadGIFBytes(std::span<const uint8_t> bytes);
    // The streamed "Data" property: int32 length, then the GIF file. Written only when the
    // control holds data; a length of 0 or less reads nothing. Loaded() then loads it.
    void ReadData(TStream& stream);
    void WriteData(TStream& stream) const;
    bool HasData() const { return !data_.empty(); }
    void Loaded();
    // Another control's picture, or none (clears).
    void Assign(const TGIFImage* source);
    // Frame 1 as an 8-bit bitmap with its palette.
    void AssignTo(TBitmap& dest);
    // The current frame's colours (empty when there is no picture, or Visible is off).
    std::vector<TColor> GetPalette();
    void ClearPicture();

    // --- Properties ---
    bool Animate() const { return animate_; }
    void SetAnimate(bool value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool Center() const { return center_; }
    void SetCenter(bool value) { SetFlag(center_, value); }
    int CurrentFrame() const { return currentFrame_; }
    void SetCurrentFrame(int frame);
    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool value) { doubleBuffered_ = value; }
    bool FirstImageOnly() const { return firstImageOnly_; }
    void SetFirstImageOnly(bool value) { firstImageOnly_ = value; }
    bool Loop() const { return loop_; }
    void SetLoop(bool value);
    bool Opaque() const { return opaque_; }
    void SetOpaque(bool value) { SetFlag(opaque_, value); }
    int Speed() const { return speed_; }
    void SetSpeed(int value);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value) { SetFlag(stretch_, value); }
    bool StretchRatio() const { return stretchRatio_; }
    void SetStretchRatio(bool value) { SetFlag(stretchRatio_, value); }
    bool Tile() const { return tile_; }
    void SetTile(bool value) { SetFlag(tile_, value); }
    bool Threaded() const { return timer_->Threaded(); }
    void SetThreaded(bool value) { timer_->SetThreaded(value); }
    TThreadPriority ThreadPriority() const { return timer_->ThreadPriority(); }
    void SetThreadPriority(TThreadPriority value) { timer_->SetThreadPriority(value); }
    // The control's own visibility flag: off, it paints nothing (the widget stays shown).
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { SetFlag(visible_, value); }
    TColor Color() const { return color_; }
    void SetColor(TColor value) { SetFlag(color_, value); }
    TGIFVersion Version() const { return file_.Version; }

    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;
    TProgressEvent OnProgress;
    TNotifyEvent OnWrapAnimation;

    // --- State ---
    int LastError() const { return lastError_; }
    bool Empty() const { return empty_; }
    int FrameCount() const { return static_cast<int>(file_.Frames.size()); }
    int LogicalWidth() const { return file_.ScreenWidth; }
    int LogicalHeight() const { return file_.ScreenHeight; }
    int LoopCount() const { return file_.LoopCount; }
    int LoopsPlayed() const { return loopsPlayed_; }
    const TGIFFrame& Frame(int index) const { return file_.Frames.at(static_cast<size_t>(index - 1)); }
    bool MouseOverTransparent() const { return mouseOverTransparent_; }
    // The composed logical screen, and where it is drawn in the client area.
    const QImage& CanvasImage() const { return canvas_; }
    QRect GetDestRect() const;
    // The timer that steps the animation; tests give it a manual clock.
    const TTimerEx& AnimationTimer() const { return *timer_; }
    void SetClock(TClock* clock) { timer_->SetClock(clock); }

    // One animation step (the timer's tick).
    void StepAnimation();

protected:
    virtual void DoChanging();
    virtual void DoChange();
    virtual void DoLoadProgress();
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool ParseGIF();
    void ClearFrames();
    void RenderFrame(int index);
    void DisposeFrame(int index);
    void EnsureDecoded(TGIFFrame& frame);
    void UpdateOpaque();
    void UpdateTimer();
    void SetIntervalFrom(int index);
    bool Stretching() const;
    void PaintTo(QPainter& p);
    const QImage& DisplayImage();
    void SetFlag(bool& flag, bool value);
    void SetFlag(TColor& field, TColor value);

    // Properties
    bool animate_ = false, autoSize_ = false, center_ = false, doubleBuffered_ = true;
    bool firstImageOnly_ = false, loop_ = false, opaque_ = false, stretch_ = false;
    bool stretchRatio_ = false, tile_ = false, visible_ = true;
    int speed_ = 100;
    TColor color_ = clBtnFace;

    // Picture
    std::vector<uint8_t> data_;  // the GIF as loaded
    TGIFFile file_;
    bool empty_ = true;
    bool mouseOverTransparent_ = false;
    QImage canvas_;               // the logical screen, RGB32
    std::vector<uint8_t> mask_;   // 1 = transparent; only when some frame is transparent
    struct TSaved {
        QImage canvas;
        std::vector<uint8_t> mask;
    };
    std::vector<TSaved> saved_;   // per frame, disposal 3
    QImage display_;              // canvas with the mask as alpha, for painting
    bool displayDirty_ = true;
    int loopsPlayed_ = 1;
    int currentFrame_ = 0;
    bool firstStep_ = true;
    bool keepProcessing_ = true;
    size_t workingPosition_ = 0;  // read position reported while loading
    std::unique_ptr<TTimerEx> timer_;
    int lastError_ = geNone;
};

}  // namespace GIFImage
