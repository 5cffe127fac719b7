// Frame rendering: a frame's indexes to a bitmap and transparency mask, drawing a frame
// (scaled, tiled, transparent), and frames made from bitmaps.
#include "gif/GIFColorIndex.h"
#include "gif/GIFDIB.h"
#include "gif/GIFImg.h"
#include "gif/GIFProgress.h"
#include "gif/GIFReduce.h"

#include <cmath>
#include <cstring>
#include <functional>

namespace GIFImg {

namespace {
constexpr int64_t kLargeFrame = 500000;  // pixels

// The palette a frame's bitmap is given: the table's colours, zero-padded to 256 entries so
// that every index shows a colour.
TGIFPalette PaddedPalette(TGIFPalette p)
{
    p.resize(256, clBlack);
    return p;
}

// An 8-bit bitmap of the size, made without ever holding a deeper one of that size.
std::unique_ptr<TBitmap> NewIndexedBitmap(int width, int height)
{
    auto b = std::make_unique<TBitmap>();
    if (int64_t(width) * height > kLargeFrame) b->SetPixelFormat(pf1bit);
    b->SetPixelFormat(pf8bit);
    b->SetSize(width, height);
    return b;
}

int MulDiv(int a, int b, int c)
{
    const int64_t p = int64_t(a) * b;
    const int64_t half = c / 2;
    return static_cast<int>(p >= 0 ? (p + half) / c : (p - half) / c);
}

int CubeIndex(int r, int g, int b)
{
    return static_cast<int>(std::nearbyint(r / 51.0)) * 36 + static_cast<int>(std::nearbyint(g / 51.0)) * 6 +
           static_cast<int>(std::nearbyint(b / 51.0));
}

} // namespace

TDIBReader::TDIBReader(TBitmap& bitmap, TPixelFormat format) : TDIB(bitmap, format) { bitmap.SetPixelFormat(format); }

TDIBWriter::TDIBWriter(TBitmap& bitmap, TPixelFormat format) : TDIB(bitmap, format)
{
    if (bitmap.Empty()) throw GIFException("Bitmap image is not valid");
    if (format != pf1bit && format != pf4bit && format != pf8bit && format != pf24bit)
        throw GIFException("Unsupported PixelFormat");
    bitmap.SetPixelFormat(format);
}

TDIBWriter::~TDIBWriter()
{
    // The rows were written in place; those who watch the bitmap learn of it now.
    const std::vector<TColor> palette = bitmap_.Palette();
    if (!palette.empty()) bitmap_.SetPalette(palette);
}

// The mask is built by the same rendering as the bitmap: a bitmap dropped alone would leave a
// mask that the next rendering (which then no longer wants one) replaces by an empty one.
void TGIFSubImage::FreeBitmap()
{
    bitmap_.reset();
    FreeMask();
}

void TGIFSubImage::FreeMask()
{
    mask_ = {};
    needMask_ = true;
}

TBitmap* TGIFSubImage::Bitmap()
{
    if (!bitmap_ && !Empty()) RenderBitmap();
    return bitmap_.get();
}

bool TGIFSubImage::HasMask()
{
    if (needMask_ && transparent_) {
        FreeBitmap();
        RenderBitmap();
    }
    return !mask_.Empty();
}

const TGIFMask& TGIFSubImage::Mask()
{
    HasMask();
    return mask_;
}

void TGIFSubImage::RenderBitmap()
{
    if (Empty()) return;
    TGIFImage* image = Image();
    try {
        TGIFProgress progress(image, this, "Rendering...", true);
        const bool wantMask = needMask_ && transparent_;
        needMask_ = false;
        auto b = NewIndexedBitmap(width_, height_);
        if (image && image->DoDither())
            RenderDithered(*b, wantMask);
        else
            RenderPlain(*b, wantMask);
        bitmap_ = std::move(b);
        progress.Done();
    } catch (const EAbort&) {
        FreeBitmap();  // a progress handler stopped it: the frame stays without a bitmap
    }
}

void TGIFSubImage::RenderPlain(TBitmap& bitmap, bool wantMask)
{
    bitmap.SetPalette(PaddedPalette(ActiveColorMap().ExportPalette()));
    const int transparentIndex = wantMask && gce_ ? gce_->TransparentIndex : -1;
    TGIFMask mask{width_, height_, (width_ + 15) / 16 * 2, {}};
    if (transparentIndex >= 0) mask.Bits.assign(static_cast<size_t>(mask.BytesPerRow) * height_, 0);
    bool anySet = false;
    TDIBWriter writer(bitmap, pf8bit);
    for (int y = 0; y < height_; ++y) {
        const uint8_t* row = data_.data() + int64_t(y) * width_;
        std::memcpy(writer.ScanLine(y), row, width_);
        if (transparentIndex >= 0) {
            uint8_t* m = &mask.Bits[static_cast<size_t>(y) * mask.BytesPerRow];
            for (int x = 0; x < width_; ++x)
                if (row[x] == transparentIndex) {
                    m[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
                    anySet = true;
                }
        }
        if (Image() && y % 32 == 31) Image()->Progress(this, psRunning, y * 100 / height_, false, "Rendering...");
    }
    mask_ = anySet ? std::move(mask) : TGIFMask{};
}

// Floyd-Steinberg to the 6 x 6 x 6 cube, serpentine; errors are kept 1024 times their value.
void TGIFSubImage::RenderDithered(TBitmap& bitmap, bool wantMask)
{
    bitmap.SetPalette(PaddedPalette(CubePalette()));
    TGIFColorMap& map = ActiveColorMap();
    const TGIFPalette colours = PaddedPalette(map.ExportPalette());
    const int transparentIndex = wantMask && gce_ ? gce_->TransparentIndex : -1;
    TGIFMask mask{width_, height_, (width_ + 15) / 16 * 2, {}};
    if (transparentIndex >= 0) mask.Bits.assign(static_cast<size_t>(mask.BytesPerRow) * height_, 0);
    bool anySet = false;
    const size_t w2 = static_cast<size_t>(width_) + 2;
    std::array<std::vector<int>, 3> current, next;
    for (size_t c = 0; c < 3; ++c) {
        current[c].assign(w2, 0);
        next[c].assign(w2, 0);
    }
    TDIBWriter writer(bitmap, pf8bit);
    for (int y = 0; y < height_; ++y) {
        const int dir = (y % 2 == 0) ? 1 : -1;
        for (auto& n : next) std::fill(n.begin(), n.end(), 0);
        const uint8_t* row = data_.data() + int64_t(y) * width_;
        uint8_t* out = writer.ScanLine(y);
        for (int i = 0; i < width_; ++i) {
            const int x = dir > 0 ? i : width_ - 1 - i;
            const TColor colour = colours[row[x]];
            const int in[3] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
            if (row[x] == transparentIndex) {
                mask.Bits[static_cast<size_t>(y) * mask.BytesPerRow + (x >> 3)] |= static_cast<uint8_t>(0x80 >> (x & 7));
                anySet = true;
                out[x] = static_cast<uint8_t>(CubeIndex(in[0], in[1], in[2]));
                continue;
            }
            const size_t at = static_cast<size_t>(x) + 1;
            int q[3];
            for (size_t c = 0; c < 3; ++c) {
                const int v = in[c] + current[c][at] / 1024;
                q[c] = std::clamp(static_cast<int>(std::nearbyint(v / 51.0)), 0, 5);
                const int e = (v - q[c] * 51) * 1024;
                current[c][at + dir] += e * 7 / 16;
                next[c][at - dir] += e * 3 / 16;
                next[c][at] += e * 5 / 16;
                next[c][at + dir] += e / 16;
            }
            out[x] = static_cast<uint8_t>(q[0] * 36 + q[1] * 6 + q[2]);
        }
        std::swap(current, next);
        if (Image() && y % 32 == 31) Image()->Progress(this, psRunning, y * 100 / height_, false, "Rendering...");
    }
    mask_ = anySet ? std::move(mask) : TGIFMask{};
}

TGIFPalette TGIFSubImage::GetPalette()
{
    if (bitmap_ && !bitmap_->Palette().empty()) return bitmap_->Palette();
    if (!palette_.empty()) return palette_;
    if (Image() && Image()->DoDither()) return palette_ = CubePalette();
    if (colorMap_.Count() > 0) return palette_ = colorMap_.ExportPalette();
    return Image() ? Image()->GetPalette() : TGIFPalette{};
}

void TGIFSubImage::SetPalette(const TGIFPalette& palette)
{
    palette_ = palette;
    // None differs from every palette a rendered bitmap has: the frame renders again from its table.
    if (bitmap_ && bitmap_->Palette() != (palette.empty() ? palette : PaddedPalette(palette))) {
        FreeBitmap();
        if (Image()) {
            Image()->SetPaletteModified(true);
            Image()->NotifyChanged(this);
        }
    }
}

// --- Drawing -----------------------------------------------------------------------------------

TRect TGIFSubImage::ScaleRect(const TRect& rect) const
{
    const int sw = Image() ? Image()->Width() : 0;
    const int sh = Image() ? Image()->Height() : 0;
    TRect r;
    // A screen of no size cannot scale: the frame keeps its own size there.
    if (sw > 0) {
        r.Left = rect.Left + MulDiv(left_, rect.Width(), sw);
        r.Right = rect.Left + MulDiv(left_ + width_, rect.Width(), sw);
    } else {
        r.Left = rect.Left + left_;
        r.Right = r.Left + width_;
    }
    if (sh > 0) {
        r.Top = rect.Top + MulDiv(top_, rect.Height(), sh);
        r.Bottom = rect.Top + MulDiv(top_ + height_, rect.Height(), sh);
    } else {
        r.Top = rect.Top + top_;
        r.Bottom = r.Top + height_;
    }
    return r;
}

void TGIFSubImage::Draw(TCanvas& canvas, const TRect& rect, bool doTile, bool doTransparent)
{
    if (doTile)
        StretchDraw(canvas, rect, true, doTransparent);
    else
        StretchDraw(canvas, ScaleRect(rect), false, doTransparent);
}

// The frame as a 32-bit image, with its transparent pixels see-through when masked, so drawing
// keeps the destination there. An 8-bit bitmap goes through its palette a row at a time.
void TGIFSubImage::BuildTransparentImage(QImage& out, bool masked)
{
    if (bitmap_->PixelFormat() != pf8bit || bitmap_->Transparent() || bitmap_->Width() != width_ ||
        bitmap_->Height() != height_) {
        const QImage opaque = bitmap_->ToImage();
        out = masked ? opaque.convertToFormat(QImage::Format_ARGB32) : opaque;
        if (masked)
            for (int y = 0; y < height_ && y < out.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
                for (int x = 0; x < width_ && x < out.width(); ++x)
                    if (mask_.Test(x, y)) line[x] = 0;
            }
        return;
    }
    std::array<QRgb, 256> lut;
    const TGIFPalette& palette = bitmap_->Palette();
    for (size_t i = 0; i < lut.size(); ++i) {
        const TColor c = i < palette.size() ? palette[i] : clBlack;
        lut[i] = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
    }
    out = QImage(width_, height_, masked ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const TBitmap& pixels = *bitmap_;
    for (int y = 0; y < height_; ++y) {
        const uint8_t* in = pixels.ScanLine(y);
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width_; ++x) line[x] = lut[in[x]];
        if (masked) {
            const uint8_t* m = &mask_.Bits[static_cast<size_t>(y) * mask_.BytesPerRow];
            for (int x0 = 0; x0 < width_; x0 += 8) {
                const uint8_t bits = m[x0 >> 3];
                if (bits == 0) continue;
                const int n = std::min(8, width_ - x0);
                if (bits == 0xFF)
                    std::memset(line + x0, 0, sizeof(QRgb) * static_cast<size_t>(n));
                else
                    for (int k = 0; k < n; ++k)
                        if ((bits >> (7 - k)) & 1) line[x0 + k] = 0;
            }
        }
    }
}

void TGIFSubImage::StretchDraw(TCanvas& canvas, const TRect& rect, bool doTile, bool doTransparent)
{
    if (Empty()) return;
    const bool masked = doTransparent && transparent_ && HasMask();
    if (!Bitmap()) return;
    QImage image;
    BuildTransparentImage(image, masked && !mask_.Empty());
    auto drawAt = [&](const TRect& r) { canvas.DrawImage(r, image, image.rect()); };
    const int sw = Image() ? Image()->Width() : 0;
    const int sh = Image() ? Image()->Height() : 0;
    if (doTile && sw > 0 && sh > 0) {
        for (int x = rect.Left + left_; x < rect.Right; x += sw)
            for (int y = rect.Top + top_; y < rect.Bottom; y += sh) drawAt(Bounds(x, y, width_, height_));
    } else if (doTile) {
        drawAt(Bounds(rect.Left + left_, rect.Top + top_, width_, height_));  // no screen to repeat by
    } else {
        drawAt(rect);
    }
}

// --- Frames from frames and bitmaps ------------------------------------------------------------

void TGIFSubImage::Assign(const TGIFSubImage& source)
{
    if (&source == this) return;
    Clear();
    if (!source.Empty()) {
        left_ = source.left_;
        top_ = source.top_;
        width_ = source.width_;
        height_ = source.height_;
        packed_ = source.packed_;
        transparent_ = source.transparent_;
        data_ = source.data_;
        colorMap_.Assign(source.colorMap_);
    }
    // Through the stream form, so that the copy's graphic control extension becomes its own.
    TByteWriter w;
    const_cast<TGIFSubImage&>(source).extensions_.SaveToStream(w);
    TByteReader r(w.Bytes());
    extensions_.LoadFromStream(r, this);
    if (source.bitmap_) {
        bitmap_ = std::make_unique<TBitmap>();
        bitmap_->Assign(*source.bitmap_);
        mask_ = source.mask_;
        needMask_ = source.needMask_;
    }
}

namespace {
// The pixels of a 24-bit bitmap as indexes into the colours in order of first appearance; false
// when it holds more than 256 colours.
bool CollectColours(TBitmap& bitmap, TGIFColorIndex& colours, uint8_t* out, const std::function<void(int row)>& row)
{
    const int width = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* line = bitmap.ScanLine(y);
        uint8_t* o = out + int64_t(y) * width;
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = line + 3 * x;
            const int index = colours.IndexOf(p[2], p[1], p[0]);
            if (index < 0) return false;
            o[x] = static_cast<uint8_t>(index);
        }
        row(y);
    }
    return true;
}
} // namespace

void TGIFSubImage::Assign(TBitmap& source)
{
    Clear();
    if (source.Empty()) return;
    const TPixelFormat format = source.PixelFormat();
    auto isIndexed = [](TPixelFormat f) { return f == pf1bit || f == pf4bit || f == pf8bit; };
    TGIFImage* image = Image();
    auto reduce = [&] {
        return ReduceBitmapColors(source, image ? image->ColorReduction : rdCube216,
                                  image ? image->DitherMode : dmNearest, image ? image->ReductionBits : 8);
    };
    // A device bitmap keeps its exact colours when it has no more than 256 of them; any other
    // deeper bitmap is reduced by the picture's settings. A 24-bit bitmap kept as it is (rdNone)
    // is read in place: the frame renders its bitmap from the pixels when one is asked for.
    const bool inPlace = format == pf24bit && image && image->ColorReduction == rdNone;
    std::unique_ptr<TBitmap> frame;
    if (isIndexed(format) || format == pfDevice) {
        frame = std::make_unique<TBitmap>();
        frame->Assign(source);
    } else if (!inPlace) {
        frame = reduce();
    }
    TBitmap* pixels = inPlace ? &source : frame.get();
    width_ = static_cast<uint16_t>(pixels->Width());
    height_ = static_cast<uint16_t>(pixels->Height());
    AllocData();
    TGIFProgress progress(image, this, "Converting...", true);
    auto rowDone = [&](int y) {
        if (image && y % 32 == 31) image->Progress(this, psRunning, y * 100 / height_, false, "Converting...");
    };

    if (!isIndexed(pixels->PixelFormat())) {
        pixels->SetPixelFormat(pf24bit);
        TGIFColorIndex colours;
        bool fits = CollectColours(*pixels, colours, data_.data(), rowDone);
        if (!fits && format == pfDevice) {
            frame = reduce();  // more than 256 colours: reduced after all
            pixels = frame.get();
            if (!isIndexed(pixels->PixelFormat())) {
                colours.Clear();
                fits = CollectColours(*pixels, colours, data_.data(), rowDone);
            }
        }
        TGIFPalette table(static_cast<size_t>(colours.count));
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = RGB(colours.rgb[3 * i], colours.rgb[3 * i + 1], colours.rgb[3 * i + 2]);
        colorMap_.ImportPalette(table);
        if (!fits && !isIndexed(pixels->PixelFormat())) throw GIFException("Color table overflow");
    }
    const TPixelFormat f = pixels->PixelFormat();
    if (isIndexed(f)) {
        const int bits = PixelFormatBits(f);
        int highest = 0;
        for (int y = 0; y < height_; ++y) {
            const uint8_t* line = frame->ScanLine(y);
            uint8_t* out = data_.data() + int64_t(y) * width_;
            for (int x = 0; x < width_; ++x) {
                if (bits == 1)
                    out[x] = (line[x >> 3] >> (7 - (x & 7))) & 1;
                else if (bits == 4)
                    out[x] = (x & 1) ? line[x >> 1] & 0x0F : line[x >> 1] >> 4;
                else
                    out[x] = line[x];
                highest = std::max<int>(highest, out[x]);
            }
            rowDone(y);
        }
        // A bitmap may use indexes past its palette: they show black, and the table holds them
        // so that the frame can be written.
        TGIFPalette palette = frame->Palette();
        palette.resize(std::min<size_t>(palette.size(), size_t(1) << bits));
        if (static_cast<int>(palette.size()) <= highest) palette.resize(static_cast<size_t>(highest) + 1, clBlack);
        colorMap_.ImportPalette(palette);
    }
    bitmap_ = std::move(frame);
    progress.Done();
}

void TGIFSubImage::AssignTo(TBitmap& dest)
{
    if (TBitmap* b = Bitmap())
        dest.Assign(*b);
    else
        dest.SetSize(0, 0);
}

} // namespace GIFImg
