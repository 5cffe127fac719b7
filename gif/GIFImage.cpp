#include "gif/GIFImage.h"

#include "platform/runtime/ByteIO.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>

namespace GIFImage {

namespace {

constexpr QRgb kBlack = 0xFF000000;

int ClampInt(size_t v) { return static_cast<int>(std::min<size_t>(v, INT_MAX)); }

QRgb TableColor(const TColorTable& t, uint8_t index)
{
    const size_t at = static_cast<size_t>(index) * 3;
    return qRgb(t[at], t[at + 1], t[at + 2]);
}

QRect FrameRect(const TGIFFrame& f) { return QRect(f.Left, f.Top, f.Width, f.Height); }

// The colours a frame uses: 2^bits of its table (entries past the file's table are black).
std::vector<TColor> FramePalette(const TGIFFrame& f)
{
    std::vector<TColor> palette(size_t{1} << std::max(f.PaletteBits, 1));
    for (size_t i = 0; i < palette.size(); ++i) palette[i] = RGB(f.Table[i * 3], f.Table[i * 3 + 1], f.Table[i * 3 + 2]);
    return palette;
}

// Copies a rectangle of a byte-per-pixel plane of the given width.
std::vector<uint8_t> CopyPlane(const std::vector<uint8_t>& plane, int planeWidth, const QRect& r)
{
    std::vector<uint8_t> out(static_cast<size_t>(r.width()) * static_cast<size_t>(r.height()));
    for (int y = 0; y < r.height(); ++y)
        std::copy_n(plane.begin() + static_cast<ptrdiff_t>((r.top() + y) * planeWidth + r.left()), r.width(),
                    out.begin() + static_cast<ptrdiff_t>(y * r.width()));
    return out;
}

void FillPlane(std::vector<uint8_t>& plane, int planeWidth, const QRect& r, uint8_t value)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::fill_n(plane.begin() + static_cast<ptrdiff_t>(y * planeWidth + r.left()), r.width(), value);
}

}  // namespace

TGIFImage::TGIFImage(QWidget* parent) : QWidget(parent), timer_(std::make_unique<TTimerEx>())
{
    resize(105, 105);
    setMouseTracking(true);
    timer_->SetEnabled(false);
    timer_->SetOnTimer([this](QObject*) { StepAnimation(); });
}

TGIFImage::~TGIFImage()
{
    timer_.reset();  // no tick may reach a half-destroyed control
}

// --- Loading --------------------------------------------------------------------------------

bool TGIFImage::LoadGIFStream(TStream& stream)
{
    std::vector<uint8_t> bytes;
    try {
        stream.SetPosition(0);
        bytes.resize(static_cast<size_t>(std::max<int64_t>(stream.Size(), 0)));
        if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    } catch (...) {
        lastError_ = geParse;
        ClearPicture();
        return false;
    }
    return LoadGIFBytes(bytes);
}

bool TGIFImage::LoadGIFBytes(std::span<const uint8_t> bytes)
{
    data_.assign(bytes.begin(), bytes.end());
    bool ok = false;
    try {
        ok = ParseGIF();
    } catch (...) {
        ok = false;  // damaged data, or aborted through OnProgress
    }
    if (!ok) {
        ClearPicture();
        return false;
    }
    lastError_ = geNone;
    return true;
}

bool TGIFImage::ParseGIF()
{
    lastError_ = geParse;
    std::vector<uint8_t> working = std::move(data_);
    ClearFrames();
    data_ = std::move(working);
    if (data_.empty()) {
        lastError_ = geNoData;
        return false;
    }
    TGIFReadOptions options;
    options.FirstImageOnly = firstImageOnly_;
    // Frames after the first are decoded when first shown, unless someone watches the load.
    options.DecodeAll = static_cast<bool>(OnProgress);
    if (OnProgress)
        options.Progress = [this](size_t position, size_t) {
            workingPosition_ = position;
            DoLoadProgress();
        };
    const TGIFReadResult result = ReadGIF(data_, options, file_);
    if (result == TGIFReadResult::NoData) lastError_ = geNoData;
    if (result != TGIFReadResult::Ok) return false;

    canvas_ = QImage(file_.ScreenWidth, file_.ScreenHeight, QImage::Format_RGB32);
    canvas_.fill(kBlack);
    if (autoSize_) resize(file_.ScreenWidth, file_.ScreenHeight);
    empty_ = false;
    if (file_.AnyTransparent) mask_.assign(static_cast<size_t>(file_.ScreenWidth) * file_.ScreenHeight, 1);
    saved_.assign(file_.Frames.size(), {});
    displayDirty_ = true;
    UpdateOpaque();

    timer_->SetInterval(1);
    DoChanging();
    RenderFrame(currentFrame_);
    DoChange();
    lastError_ = geNone;
    update();
    return true;
}

void TGIFImage::ClearFrames()
{
    empty_ = true;
    timer_->SetEnabled(false);
    file_ = TGIFFile{};
    mask_.clear();  // sized for this picture's screen; the next one makes its own if it needs one
    saved_.clear();
    data_.clear();
    workingPosition_ = 0;
    currentFrame_ = 1;
    loopsPlayed_ = 1;
    firstStep_ = true;
    keepProcessing_ = true;
}

void TGIFImage::ClearPicture()
{
    ClearFrames();
    canvas_ = QImage();
    mask_.clear();
    display_ = QImage();
    displayDirty_ = true;
    UpdateOpaque();
    update();
}

void TGIFImage::ReadData(TStream& stream)
{
    int32_t length = 0;
    stream.ReadBuffer(&length, 4);
    length = static_cast<int32_t>(LoadLE32(reinterpret_cast<const uint8_t*>(&length)));
    if (length <= 0) return;
    if (length > stream.Size() - stream.Position()) throw EReadError("GIF data is shorter than its length");
    data_.resize(static_cast<size_t>(length));
    stream.ReadBuffer(data_.data(), length);
}

void TGIFImage::WriteData(TStream& stream) const
{
    if (data_.empty()) return;
    uint8_t length[4];
    StoreLE32(length, static_cast<uint32_t>(std::min<size_t>(data_.size(), INT32_MAX)));
    stream.WriteBuffer(length, 4);
    stream.WriteBuffer(data_.data(), static_cast<int64_t>(std::min<size_t>(data_.size(), INT32_MAX)));
}

void TGIFImage::Loaded()
{
    if (data_.empty()) return;
    const std::vector<uint8_t> bytes = data_;
    LoadGIFBytes(bytes);
}

void TGIFImage::Assign(const TGIFImage* source)
{
    if (source == this) return;
    if (source && !source->empty_ && !source->data_.empty()) {
        const std::vector<uint8_t> bytes = source->data_;
        LoadGIFBytes(bytes);
    } else {
        ClearPicture();
    }
}

void TGIFImage::AssignTo(TBitmap& dest)
{
    if (empty_ || file_.Frames.empty()) {
        dest.Assign(TBitmap());
        return;
    }
    TGIFFrame& f = file_.Frames.front();
    EnsureDecoded(f);
    TBitmap bitmap(f.Width, f.Height, pf8bit);
    bitmap.SetPalette(FramePalette(f));
    for (int y = 0; y < f.Height; ++y)
        std::copy_n(f.Pixels.begin() + static_cast<ptrdiff_t>(y) * f.Width, f.Width, bitmap.ScanLine(y));
    dest.Assign(bitmap);
}

std::vector<TColor> TGIFImage::GetPalette()
{
    if (empty_ || file_.Frames.empty() || !visible_) return {};
    return FramePalette(file_.Frames[static_cast<size_t>(std::clamp(currentFrame_, 1, FrameCount()) - 1)]);
}

void TGIFImage::DoLoadProgress()
{
    if (!OnProgress) return;
    const size_t size = std::max<size_t>(data_.size(), 1);
    const int percent = static_cast<int>((100 * static_cast<uint64_t>(workingPosition_) + size / 2) / size);
    bool keep = keepProcessing_;
    OnProgress(this, ClampInt(workingPosition_), ClampInt(data_.size()), percent, keep);
    keepProcessing_ = keep;
    if (!keep) {
        lastError_ = geAborted;
        throw EAbort();
    }
}

// --- Composition ----------------------------------------------------------------------------

void TGIFImage::EnsureDecoded(TGIFFrame& frame)
{
    if (!frame.Decoded) DecodeFrame(data_, frame);
}

void TGIFImage::RenderFrame(int index)
{
    if (index < 1 || index > FrameCount() || canvas_.isNull()) return;
    TGIFFrame& f = file_.Frames[static_cast<size_t>(index - 1)];
    EnsureDecoded(f);
    const QRect r = FrameRect(f);
    const int sw = canvas_.width();
    if (f.Disposal == 3) {
        TSaved& s = saved_[static_cast<size_t>(index - 1)];
        s.canvas = canvas_.copy(r);
        if (!mask_.empty()) s.mask = CopyPlane(mask_, sw, r);
    }
    QRgb colors[256];
    for (int i = 0; i < 256; ++i) colors[i] = TableColor(f.Table, static_cast<uint8_t>(i));
    for (int y = 0; y < f.Height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(canvas_.scanLine(f.Top + y)) + f.Left;
        const uint8_t* px = f.Pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(f.Width);
        uint8_t* mask = mask_.empty() ? nullptr : mask_.data() + static_cast<size_t>(f.Top + y) * sw + f.Left;
        for (int x = 0; x < f.Width; ++x) {
            if (f.Transparent && px[x] == f.TransparentIndex) continue;  // the canvas shows through
            line[x] = colors[px[x]];
            if (mask) mask[x] = 0;
        }
    }
    displayDirty_ = true;
}

void TGIFImage::DisposeFrame(int index)
{
    if (index < 1 || index > FrameCount() || canvas_.isNull()) return;
    const TGIFFrame& f = file_.Frames[static_cast<size_t>(index - 1)];
    const QRect r = FrameRect(f);
    if (f.Disposal == 2) {
        if (!mask_.empty()) FillPlane(mask_, canvas_.width(), r, 1);
        QPainter p(&canvas_);
        p.fillRect(r, QColor(kBlack));
    } else if (f.Disposal == 3) {
        const TSaved& s = saved_[static_cast<size_t>(index - 1)];
        if (!s.canvas.isNull()) {
            QPainter p(&canvas_);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(r.topLeft(), s.canvas);
        }
        if (!mask_.empty() && !s.mask.empty())
            for (int y = 0; y < r.height(); ++y)
                std::copy_n(s.mask.begin() + static_cast<ptrdiff_t>(y * r.width()), r.width(),
                            mask_.begin() + static_cast<ptrdiff_t>((r.top() + y) * canvas_.width() + r.left()));
    }
    displayDirty_ = true;
}

// --- Animation ------------------------------------------------------------------------------

void TGIFImage::SetIntervalFrom(int index)
{
    if (index < 1 || index > FrameCount()) return;
    const int delay = std::max(file_.Frames[static_cast<size_t>(index - 1)].Delay, 50);
    timer_->SetInterval(static_cast<uint32_t>(std::max(static_cast<int>(static_cast<int64_t>(delay) * 100 / speed_), 1)));
}

void TGIFImage::StepAnimation()
{
    if (empty_ || !animate_) return;
    const int count = FrameCount();
    if (currentFrame_ < 1 || currentFrame_ > count) currentFrame_ = 1;
    DoChanging();
    if (firstStep_) {
        firstStep_ = false;  // frame 1 is on the canvas already
    } else {
        DisposeFrame(currentFrame_ == 1 ? count : currentFrame_ - 1);
        RenderFrame(currentFrame_);
        if (isVisible()) repaint();
    }
    SetIntervalFrom(currentFrame_);
    const bool wrapped = ++currentFrame_ > count;
    if (!loop_ && file_.LoopCount > 0 && wrapped) {
        // The picture keeps its last frame; the next start goes back to frame 1.
        ++loopsPlayed_;
        timer_->SetEnabled(file_.LoopCount >= loopsPlayed_);
    } else if (wrapped || currentFrame_ <= 0) {
        currentFrame_ = 1;
    }
    DoChange();
    if (wrapped) CallEvent(OnWrapAnimation, this);
}

void TGIFImage::UpdateTimer()
{
    const bool loopsLeft = loop_ || file_.LoopCount == 0 || file_.LoopCount >= loopsPlayed_;
    timer_->SetEnabled(animate_ && FrameCount() > 1 && !empty_ && loopsLeft);
}

void TGIFImage::SetAnimate(bool value)
{
    if (value == animate_) return;
    animate_ = value;
    loopsPlayed_ = 1;
    if (value && FrameCount() > 1) SetIntervalFrom(std::clamp(currentFrame_, 1, FrameCount()));
    timer_->SetEnabled(animate_ && FrameCount() > 1 && !empty_);
    if (!value && currentFrame_ >= 2) {
        DisposeFrame(currentFrame_ - 1);
        currentFrame_ = 1;
        RenderFrame(1);
        update();
    }
}

void TGIFImage::SetLoop(bool value)
{
    if (value == loop_) return;
    loop_ = value;
    if (value && file_.LoopCount > 0 && file_.LoopCount < loopsPlayed_) {
        currentFrame_ = 1;
        loopsPlayed_ = 1;
        timer_->SetEnabled(animate_ && FrameCount() > 1 && !empty_);
    }
}

void TGIFImage::SetSpeed(int value)
{
    speed_ = std::max(value, 1);
    if (animate_) timer_->SetInterval(1);  // the next step applies it
}

void TGIFImage::SetCurrentFrame(int frame)
{
    if (frame < 1 || frame > FrameCount()) {
        lastError_ = geFrameIndex;
        return;
    }
    DoChanging();
    DisposeFrame(currentFrame_);
    currentFrame_ = frame;
    RenderFrame(frame);
    if (isVisible()) repaint();
    DoChange();
}

void TGIFImage::SetAutoSize(bool value)
{
    if (value == autoSize_) return;
    autoSize_ = value;
    if (value && !empty_) {
        resize(file_.ScreenWidth, file_.ScreenHeight);
        update();
    }
}

void TGIFImage::SetFlag(bool& flag, bool value)
{
    flag = value;
    update();
}

void TGIFImage::SetFlag(TColor& field, TColor value)
{
    field = value;
    update();
}

void TGIFImage::DoChanging() { CallEvent(OnChanging, this); }
void TGIFImage::DoChange() { CallEvent(OnChange, this); }

// --- Painting -------------------------------------------------------------------------------

bool TGIFImage::Stretching() const
{
    return (stretch_ || stretchRatio_) && size() != QSize(file_.ScreenWidth, file_.ScreenHeight);
}

QRect TGIFImage::GetDestRect() const
{
    const int w = file_.ScreenWidth, h = file_.ScreenHeight;
    const int W = width(), H = height();
    if (Stretching()) {
        if (stretch_ || !stretchRatio_ || w == 0 || h == 0) return rect();
        const float kx = static_cast<float>(W) / static_cast<float>(w);
        const float ky = static_cast<float>(H) / static_cast<float>(h);
        const auto round = [](float v) { return static_cast<int>(std::nearbyint(v)); };  // halves to even
        if (kx <= ky) {
            const float margin = (static_cast<float>(H) - static_cast<float>(h) * kx) / 2;
            const int top = round(margin), bottom = round(static_cast<float>(H) - margin);
            return QRect(QPoint(0, top), QPoint(W - 1, bottom - 1));
        }
        const float margin = (static_cast<float>(W) - static_cast<float>(w) * ky) / 2;
        const int left = round(margin), right = round(static_cast<float>(W) - margin);
        return QRect(QPoint(left, 0), QPoint(right - 1, H - 1));
    }
    if (tile_) return rect();
    if (center_) return QRect((W - w) / 2, (H - h) / 2, w, h);
    return QRect(0, 0, w, h);
}

void TGIFImage::UpdateOpaque()
{
    const bool frame1Transparent = !file_.Frames.empty() && file_.Frames.front().Transparent;
    const bool covers = GetDestRect().intersected(rect()) == rect();
    const bool opaque = visible_ && (opaque_ || (!empty_ && !frame1Transparent)) && covers;
    setAttribute(Qt::WA_OpaquePaintEvent, opaque);
}

const QImage& TGIFImage::DisplayImage()
{
    if (!displayDirty_) return display_;
    display_ = canvas_.convertToFormat(QImage::Format_ARGB32);
    if (!mask_.empty()) {
        for (int y = 0; y < display_.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(display_.scanLine(y));
            const uint8_t* m = mask_.data() + static_cast<size_t>(y) * display_.width();
            for (int x = 0; x < display_.width(); ++x)
                if (m[x]) line[x] = 0;
        }
    }
    displayDirty_ = false;
    return display_;
}

void TGIFImage::PaintTo(QPainter& p)
{
    if (!visible_) return;
    if (opaque_) p.fillRect(rect(), ToQColor(color_));
    if (empty_ || canvas_.isNull()) return;
    const bool transparent = file_.Frames.front().Transparent;
    const QImage& image = transparent ? DisplayImage() : canvas_;
    const int w = canvas_.width(), h = canvas_.height();
    if (Stretching()) {
        p.drawImage(GetDestRect(), image);
    } else if (tile_) {
        for (int col = 0; col <= width() / w; ++col)
            for (int row = 0; row <= height() / h; ++row) p.drawImage(QPoint(w * col, h * row), image);
    } else {
        p.drawImage(GetDestRect().topLeft(), image);
    }
}

void TGIFImage::paintEvent(QPaintEvent*)
{
    UpdateOpaque();
    QPainter p(this);
    PaintTo(p);
    UpdateTimer();
}

void TGIFImage::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    if (empty_ || !file_.AnyTransparent || Stretching() || tile_ || mask_.empty()) {
        mouseOverTransparent_ = false;
        return;
    }
    QPoint at = event->position().toPoint();
    if (center_) at -= GetDestRect().topLeft();
    if (!QRect(0, 0, file_.ScreenWidth, file_.ScreenHeight).contains(at)) {
        mouseOverTransparent_ = true;
        return;
    }
    mouseOverTransparent_ = mask_[static_cast<size_t>(at.y()) * file_.ScreenWidth + at.x()] != 0;
}

}  // namespace GIFImage
