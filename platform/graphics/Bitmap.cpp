// TBitmap: pixels kept in the class library's row layout; Qt paints on them directly where it
// has the same layout, and on a 32-bit working copy for the indexed formats.
#include "Graphics.h"

#include "platform/runtime/ByteIO.h"

#include <QByteArray>

#include <array>
#include <cstring>
#include <unordered_map>

namespace {
constexpr int64_t kMaxBitmapBytes = int64_t(512) << 20;

bool IsIndexed(TPixelFormat f) { return f == pf1bit || f == pf4bit || f == pf8bit; }

int64_t StrideFor(int64_t w, int bits) { return ((w * bits + 31) / 32) * 4; }

QImage::Format QtFormat(TPixelFormat f)
{
    switch (f) {
    case pf1bit: return QImage::Format_Mono;
    case pf8bit: return QImage::Format_Indexed8;
    case pf15bit: return QImage::Format_RGB555;
    case pf16bit: return QImage::Format_RGB16;
    case pf24bit: return QImage::Format_BGR888;
    case pf32bit:
    case pfDevice: return QImage::Format_RGB32;
    case pf4bit: break;
    }
    return QImage::Format_Invalid;
}

std::vector<TColor> DefaultPalette(TPixelFormat f)
{
    static const std::vector<TColor> vga = {clBlack, clMaroon, clGreen,  clOlive, clNavy, clPurple,
                                            clTeal,  clGray,   clSilver, clRed,   clLime, clYellow,
                                            clBlue,  clFuchsia, clAqua,  clWhite};
    if (f == pf1bit) return {clBlack, clWhite};
    if (f == pf4bit) return vga;
    // The 16 standard colours, a 6 x 6 x 6 cube and a grey ramp.
    std::vector<TColor> p = vga;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) p.push_back(RGB(r * 51, g * 51, b * 51));
    for (int i = 1; p.size() < 256; ++i) p.push_back(RGB(i * 10, i * 10, i * 10));
    return p;
}

int Expand5(int v) { return (v << 3) | (v >> 2); }
int Expand6(int v) { return (v << 2) | (v >> 4); }

uint32_t RawIn(const uint8_t* bits, int64_t stride, TPixelFormat f, int x, int y)
{
    const uint8_t* row = bits + y * stride;
    switch (f) {
    case pf1bit: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case pf4bit: return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
    case pf8bit: return row[x];
    case pf15bit: {
        const int v = LoadLE16(row + 2 * x);
        return static_cast<uint32_t>(RGB(Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31)));
    }
    case pf16bit: {
        const int v = LoadLE16(row + 2 * x);
        return static_cast<uint32_t>(RGB(Expand5((v >> 11) & 31), Expand6((v >> 5) & 63), Expand5(v & 31)));
    }
    case pf24bit: return static_cast<uint32_t>(RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
    case pf32bit:
    case pfDevice: return static_cast<uint32_t>(RGB(row[4 * x + 2], row[4 * x + 1], row[4 * x]));
    }
    return 0;
}

void PutRawIn(uint8_t* bits, int64_t stride, TPixelFormat f, int x, int y, uint32_t v)
{
    uint8_t* row = bits + y * stride;
    const int r = GetRValue(static_cast<TColor>(v)), g = GetGValue(static_cast<TColor>(v)),
              b = GetBValue(static_cast<TColor>(v));
    switch (f) {
    case pf1bit: {
        const uint8_t mask = static_cast<uint8_t>(0x80u >> (x & 7));
        row[x >> 3] = static_cast<uint8_t>((v & 1) ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask));
        break;
    }
    case pf4bit:
        if (x & 1)
            row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & 0xF0) | (v & 0x0F));
        else
            row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & 0x0F) | ((v & 0x0F) << 4));
        break;
    case pf8bit: row[x] = static_cast<uint8_t>(v); break;
    case pf15bit: {
        const int w = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        StoreLE16(row + 2 * x, static_cast<uint16_t>(w));
        break;
    }
    case pf16bit: {
        const int w = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
        StoreLE16(row + 2 * x, static_cast<uint16_t>(w));
        break;
    }
    case pf24bit:
        row[3 * x] = static_cast<uint8_t>(b);
        row[3 * x + 1] = static_cast<uint8_t>(g);
        row[3 * x + 2] = static_cast<uint8_t>(r);
        break;
    case pf32bit:
    case pfDevice:
        row[4 * x] = static_cast<uint8_t>(b);
        row[4 * x + 1] = static_cast<uint8_t>(g);
        row[4 * x + 2] = static_cast<uint8_t>(r);
        row[4 * x + 3] = 0xFF;  // what Qt's 32-bit painting leaves there
        break;
    }
}

// Nearest palette entry by squared distance (the first of equals), remembered per colour.
class NearestIndex {
public:
    explicit NearestIndex(const std::vector<TColor>& palette) : palette_(palette) {}
    uint32_t operator()(TColor c)
    {
        c &= 0xFFFFFF;
        if (auto it = cache_.find(c); it != cache_.end()) return it->second;
        uint32_t best = 0;
        int bestDist = INT32_MAX;
        for (size_t i = 0; i < palette_.size(); ++i) {
            const TColor p = palette_[i];
            const int dr = GetRValue(p) - GetRValue(c), dg = GetGValue(p) - GetGValue(c),
                      db = GetBValue(p) - GetBValue(c);
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDist) {
                bestDist = d;
                best = static_cast<uint32_t>(i);
                if (d == 0) break;
            }
        }
        cache_.emplace(c, best);
        return best;
    }

private:
    const std::vector<TColor>& palette_;
    std::unordered_map<TColor, uint32_t> cache_;
};

TPixelFormat FormatForBits(int bits, bool is565)
{
    switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return is565 ? pf16bit : pf15bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pf24bit;
    }
}
} // namespace

int PixelFormatBits(TPixelFormat f)
{
    switch (f) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit:
    case pfDevice: return 32;
    }
    return 32;
}

// The canvas of a bitmap paints on the bitmap's pixels (or their working copy) and hands them
// back whenever the bitmap needs them.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}
    ~TBitmapCanvas() override { Release(); }

    TColor Pixels(int x, int y) override
    {
        if (x < 0 || y < 0 || x >= bitmap_.Width() || y >= bitmap_.Height()) return -1;
        if (HasPainter()) return FromQRgb(bitmap_.paint_.pixel(x, y));
        return bitmap_.PixelAt(x, y);
    }

protected:
    QPaintDevice* AcquireDevice() override { return bitmap_.PaintTarget(); }
    void DeviceReleased() override { bitmap_.PaintDone(); }
    QImage* ReadableImage() override
    {
        if (!Painter()) return nullptr;
        return &bitmap_.paint_;
    }
    TRect DeviceBounds() override { return Rect(0, 0, bitmap_.Width(), bitmap_.Height()); }

private:
    TBitmap& bitmap_;
};

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) : format_(format)
{
    Reformat(width, height, format);
}

TBitmap::~TBitmap()
{
    OnChange = nullptr;
    canvas_.reset();
}

TCanvas& TBitmap::Canvas()
{
    if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(*this);
    return *canvas_;
}

void TBitmap::Flush()
{
    if (canvas_) canvas_->Release();
    if (!paint_.isNull()) PaintDone();
}

QImage TBitmap::View() const
{
    const QImage::Format qf = QtFormat(format_);
    if (Empty() || qf == QImage::Format_Invalid) return QImage();
    QImage img(const_cast<uint8_t*>(bits_.data()), width_, height_, stride_, qf);
    if (IsIndexed(format_)) {
        QList<QRgb> table;
        for (TColor c : palette_) table.push_back(qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        while (table.size() < (1 << PixelFormatBits(format_))) table.push_back(qRgb(0, 0, 0));
        img.setColorTable(table);
    }
    return img;
}

QImage* TBitmap::PaintTarget()
{
    if (Empty()) return nullptr;
    if (paint_.isNull()) {
        paintIsWork_ = IsIndexed(format_);
        if (paintIsWork_) {
            paint_ = QImage(width_, height_, QImage::Format_RGB32);
            for (int y = 0; y < height_; ++y) {
                auto* line = reinterpret_cast<QRgb*>(paint_.scanLine(y));
                for (int x = 0; x < width_; ++x) {
                    const TColor c = PixelAt(x, y);
                    line[x] = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
                }
            }
        } else {
            paint_ = View();
        }
    }
    return &paint_;
}

void TBitmap::PaintDone()
{
    if (paintIsWork_ && !paint_.isNull()) {
        // Pixels whose colour is still their palette colour keep their index, so that
        // palettes with repeated colours survive drawing.
        NearestIndex nearest(palette_);
        for (int y = 0; y < height_; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(paint_.constScanLine(y));
            for (int x = 0; x < width_; ++x) {
                const TColor c = FromQRgb(line[x]);
                if (PixelAt(x, y) != c) PutRaw(x, y, nearest(c));
            }
        }
    }
    paint_ = QImage();
    paintIsWork_ = false;
    Changed();
}

uint32_t TBitmap::RawAt(int x, int y) const { return RawIn(bits_.data(), stride_, format_, x, y); }

void TBitmap::PutRaw(int x, int y, uint32_t v) { PutRawIn(bits_.data(), stride_, format_, x, y, v); }

TColor TBitmap::PixelAt(int x, int y) const
{
    const uint32_t raw = RawAt(x, y);
    if (!IsIndexed(format_)) return static_cast<TColor>(raw);
    return raw < palette_.size() ? palette_[raw] : clBlack;
}

uint32_t TBitmap::Encode(TColor rgb) const
{
    if (!IsIndexed(format_)) return static_cast<uint32_t>(rgb & 0xFFFFFF);
    return NearestIndex(palette_)(rgb);
}

void TBitmap::Reformat(int w, int h, TPixelFormat f)
{
    w = std::max(0, w);
    h = std::max(0, h);
    const int bits = PixelFormatBits(f);
    const int64_t stride = StrideFor(w, bits);
    if (stride * h > kMaxBitmapBytes) throw EOutOfResources("Out of system resources");

    const std::vector<uint8_t> oldBits = std::move(bits_);
    const std::vector<TColor> oldPalette = palette_;
    const TPixelFormat oldFormat = format_;
    const int oldW = width_, oldH = height_;
    const int64_t oldStride = stride_;

    if (IsIndexed(f) && (palette_.empty() || palette_.size() > (1u << bits))) palette_ = DefaultPalette(f);
    format_ = f;
    width_ = w;
    height_ = h;
    stride_ = static_cast<int>(stride);
    bits_.assign(static_cast<size_t>(stride * h), 0);
    if (bits_.empty()) return;  // no pixels to fill or keep

    NearestIndex nearest(palette_);
    auto encode = [&](TColor c) { return IsIndexed(f) ? nearest(c) : static_cast<uint32_t>(c & 0xFFFFFF); };
    const uint32_t fill = encode(ColorToRGB(canvas_ ? canvas_->Brush.Color : clWhite));
    const bool same = oldFormat == f && oldPalette == palette_;
    // One row of the fill colour, copied into every row before the old pixels go in: a new
    // bitmap is filled a row at a time, not a pixel at a time.
    std::vector<uint8_t> fillRow(static_cast<size_t>(stride), 0);
    for (int x = 0; x < w; ++x) PutRawIn(fillRow.data(), stride, f, x, 0, fill);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = bits_.data() + y * stride;
        if (same && y < oldH && w == oldW) {
            std::memcpy(row, oldBits.data() + y * oldStride, static_cast<size_t>(stride));
            continue;
        }
        std::memcpy(row, fillRow.data(), static_cast<size_t>(stride));
        if (y >= oldH) continue;
        for (int x = 0; x < std::min(w, oldW); ++x) {
            const uint32_t raw = RawIn(oldBits.data(), oldStride, oldFormat, x, y);
            uint32_t v = raw;
            if (!same) {
                TColor c = static_cast<TColor>(raw);
                if (IsIndexed(oldFormat)) c = raw < oldPalette.size() ? oldPalette[raw] : clBlack;
                v = encode(c);
            }
            PutRawIn(row, stride, f, x, 0, v);
        }
    }
}

void TBitmap::SetSize(int w, int h)
{
    if (w == width_ && h == height_) return;
    Flush();
    Reformat(w, h, format_);
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat f)
{
    if (f == format_) return;
    Flush();
    Reformat(width_, height_, f);
    Changed();
}

void TBitmap::SetPalette(std::vector<TColor> palette)
{
    Flush();
    if (IsIndexed(format_) && palette.size() > (1u << PixelFormatBits(format_)))
        palette.resize(1u << PixelFormatBits(format_));
    for (TColor& c : palette) c = ColorToRGB(c);
    palette_ = std::move(palette);
    Changed();
}

uint8_t* TBitmap::ScanLine(int row)
{
    Flush();
    if (row < 0 || row >= height_) throw EInvalidGraphicOperation("Scan line index out of range");
    return bits_.data() + static_cast<int64_t>(row) * stride_;
}

const uint8_t* TBitmap::ScanLine(int row) const { return const_cast<TBitmap*>(this)->ScanLine(row); }

TColor TBitmap::TransparentColor() const
{
    if (transparentColor_ != clDefault) return ColorToRGB(transparentColor_);
    if (Empty()) return clDefault;
    const_cast<TBitmap*>(this)->Flush();
    return PixelAt(0, height_ - 1);
}

QImage TBitmap::ToImage() const
{
    const_cast<TBitmap*>(this)->Flush();
    if (Empty()) return QImage();
    const bool transparent = Transparent();
    const TColor see = transparent ? TransparentColor() : clDefault;
    const auto rgba = [see](TColor c) { return qRgba(GetRValue(c), GetGValue(c), GetBValue(c), c == see ? 0 : 255); };
    QImage out(width_, height_, transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (IsIndexed(format_)) {
        // Each palette entry converted once (indexes past the palette are black), then the
        // rows by table.
        std::array<QRgb, 256> table;
        table.fill(rgba(clBlack));
        for (size_t i = 0; i < palette_.size() && i < table.size(); ++i) table[i] = rgba(palette_[i]);
        for (int y = 0; y < height_; ++y) {
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            const uint8_t* row = bits_.data() + y * stride_;
            if (format_ == pf8bit) {
                for (int x = 0; x < width_; ++x) line[x] = table[row[x]];
            } else {
                for (int x = 0; x < width_; ++x) line[x] = table[RawIn(bits_.data(), stride_, format_, x, y)];
            }
        }
        return out;
    }
    for (int y = 0; y < height_; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width_; ++x) line[x] = rgba(PixelAt(x, y));
    }
    return out;
}

void TBitmap::AssignImage(const QImage& source)
{
    Flush();
    QImage img = source;
    TPixelFormat f = pf24bit;
    std::vector<TColor> palette;
    if (img.format() == QImage::Format_Mono || img.format() == QImage::Format_MonoLSB ||
        img.format() == QImage::Format_Indexed8) {
        f = img.depth() == 1 ? pf1bit : pf8bit;
        img = img.convertToFormat(QImage::Format_Indexed8);
        for (QRgb c : img.colorTable()) palette.push_back(FromQRgb(c));
        if (palette.empty()) palette = DefaultPalette(f);
    } else {
        if (img.hasAlphaChannel()) f = pf32bit;
        img = img.convertToFormat(QImage::Format_RGB32);
    }
    const int64_t stride = StrideFor(img.width(), PixelFormatBits(f));
    if (stride * img.height() > kMaxBitmapBytes) throw EOutOfResources("Out of system resources");
    format_ = f;
    width_ = img.width();
    height_ = img.height();
    stride_ = static_cast<int>(stride);
    palette_ = std::move(palette);
    bits_.assign(static_cast<size_t>(stride * height_), 0);
    for (int y = 0; y < height_; ++y) {
        const uchar* line = img.constScanLine(y);
        for (int x = 0; x < width_; ++x) {
            if (IsIndexed(f)) {
                const uint32_t idx = line[x];
                PutRaw(x, y, idx < palette_.size() ? idx : 0);
            } else {
                PutRaw(x, y, static_cast<uint32_t>(FromQRgb(reinterpret_cast<const QRgb*>(line)[x])));
            }
        }
    }
    Changed();
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect)
{
    Flush();
    if (Empty()) return;
    if (!Transparent() && format_ != pf4bit) {
        const QImage view = View();
        canvas.DrawImage(rect, view, view.rect());
    } else {
        const QImage img = ToImage();
        canvas.DrawImage(rect, img, img.rect());
    }
}

void TBitmap::Assign(const TBitmap& source)
{
    if (&source == this) return;
    const_cast<TBitmap&>(source).Flush();
    Flush();
    width_ = source.width_;
    height_ = source.height_;
    format_ = source.format_;
    stride_ = source.stride_;
    bits_ = source.bits_;
    palette_ = source.palette_;
    transparentColor_ = source.transparentColor_;
    SetTransparent(source.Transparent());
    Changed();
}

void TBitmap::Assign(TGraphic& source)
{
    if (auto* b = dynamic_cast<TBitmap*>(&source))
        Assign(*b);
    else
        source.AssignTo(*this);
}

void TBitmap::AssignTo(TBitmap& dest) { dest.Assign(*this); }

// --- Windows BMP ------------------------------------------------------------------------------

void TBitmap::SaveToStream(TStream& stream)
{
    Flush();
    const int bits = PixelFormatBits(format_);
    const int entries = IsIndexed(format_) ? 1 << bits : 0;
    const int masks = format_ == pf16bit ? 12 : 0;
    const uint32_t offBits = 14 + 40 + masks + entries * 4;
    const uint32_t imageSize = static_cast<uint32_t>(bits_.size());
    TMemoryStream m;
    // BITMAPFILEHEADER
    m.WriteU8('B');
    m.WriteU8('M');
    m.WriteU32(offBits + imageSize);  // bfSize
    m.WriteU16(0);                    // bfReserved1
    m.WriteU16(0);                    // bfReserved2
    m.WriteU32(offBits);              // bfOffBits
    // BITMAPINFOHEADER
    m.WriteU32(40);                            // biSize
    m.WriteI32(width_);                        // biWidth
    m.WriteI32(height_);                       // biHeight: positive, rows bottom up
    m.WriteU16(1);                             // biPlanes
    m.WriteU16(static_cast<uint16_t>(bits));   // biBitCount
    m.WriteU32(format_ == pf16bit ? 3 : 0);    // biCompression: BI_BITFIELDS or BI_RGB
    m.WriteU32(imageSize);                     // biSizeImage
    m.WriteI32(3780);                          // biXPelsPerMeter (96 per inch)
    m.WriteI32(3780);                          // biYPelsPerMeter
    m.WriteU32(0);                             // biClrUsed: all 2^bits
    m.WriteU32(0);                             // biClrImportant
    if (masks) {
        m.WriteU32(0xF800);
        m.WriteU32(0x07E0);
        m.WriteU32(0x001F);
    }
    for (int i = 0; i < entries; ++i) {
        const TColor c = i < static_cast<int>(palette_.size()) ? palette_[i] : clBlack;
        m.WriteU8(static_cast<uint8_t>(GetBValue(c)));
        m.WriteU8(static_cast<uint8_t>(GetGValue(c)));
        m.WriteU8(static_cast<uint8_t>(GetRValue(c)));
        m.WriteU8(0);
    }
    for (int y = height_ - 1; y >= 0; --y) m.WriteBuffer(bits_.data() + static_cast<int64_t>(y) * stride_, stride_);
    stream.WriteBuffer(m.Memory(), m.Size());
}

void TBitmap::LoadFromStream(TStream& stream)
{
    const int64_t available = stream.Size() - stream.Position();
    if (available < 26) throw EInvalidGraphic("Bitmap image is not valid");
    QByteArray data(14, '\0');
    stream.ReadBuffer(data.data(), 14);
    if (data[0] != 'B' || data[1] != 'M') throw EInvalidGraphic("Bitmap image is not valid");
    const uint32_t fileSize = LoadLE32(reinterpret_cast<const uint8_t*>(data.constData()) + 2);
    // A stream may hold more after the bitmap (resources): read only the bitmap when its size is
    // believable, else the rest of the stream.
    const int64_t rest = (fileSize >= 26 && fileSize <= available) ? fileSize - 14 : available - 14;
    data.resize(14 + rest);
    stream.ReadBuffer(data.data() + 14, rest);

    // Header fields a short file lacks make it invalid, never zeros.
    auto u16 = [&](size_t at) {
        TByteReader r(data.constData(), static_cast<size_t>(data.size()));
        r.Seek(at);
        return r.U16();
    };
    auto u32 = [&](size_t at) {
        TByteReader r(data.constData(), static_cast<size_t>(data.size()));
        r.Seek(at);
        return r.U32();
    };
    int bits = 0;
    bool is565 = false;
    try {
        const uint32_t headerSize = u32(14);
        bits = headerSize == 12 ? u16(24) : u16(28);
        is565 = headerSize >= 40 && u32(30) == 3 && u32(14 + 40 + 4) == 0x07E0;

        // Uncompressed pixels must all be there: Qt's reader would make up missing rows, and a
        // header claiming a large picture would have it allocate that picture for a few bytes.
        const uint32_t compression = headerSize == 12 ? 0 : u32(30);
        if (compression == 0 || compression == 3 || compression == 6) {
            const int64_t width = headerSize == 12 ? int64_t(u16(18)) : int64_t(int32_t(u32(18)));
            const int64_t height = headerSize == 12 ? int64_t(int16_t(u16(20))) : int64_t(int32_t(u32(22)));
            const uint64_t rows = static_cast<uint64_t>(height < 0 ? -height : height);
            const uint64_t offBits = u32(10);
            if (width <= 0 || rows == 0 || bits <= 0 || bits > 32 || offBits < 14 + uint64_t(headerSize))
                throw EInvalidGraphic("Bitmap image is not valid");
            // Sizes in unsigned 64 bits (at most 2^31 x 32 bits a row), and the row count checked
            // against what the stream holds before it multiplies anything.
            const uint64_t stride = (uint64_t(width) * uint64_t(bits) + 31) / 32 * 4;
            const uint64_t lastRow = (uint64_t(width) * uint64_t(bits) + 7) / 8;  // may lack its padding
            const uint64_t limit = static_cast<uint64_t>(available);
            if (offBits > limit || rows - 1 > (limit - offBits) / stride) throw EInvalidGraphic("Bitmap image is not valid");
            const uint64_t need = offBits + stride * (rows - 1) + lastRow;
            // A file size field that is too small: the pixels may still follow in the stream.
            if (need > uint64_t(data.size()) && need <= limit) {
                const int64_t had = data.size();
                data.resize(static_cast<qsizetype>(need));
                stream.ReadBuffer(data.data() + had, static_cast<int64_t>(need) - had);
            }
            if (need > uint64_t(data.size())) throw EInvalidGraphic("Bitmap image is not valid");
        }
    } catch (const EReadError&) {
        throw EInvalidGraphic("Bitmap image is not valid");
    }

    QImage img;
    if (!img.loadFromData(data, "BMP") || img.isNull()) throw EInvalidGraphic("Bitmap image is not valid");
    AssignImage(img);
    SetPixelFormat(FormatForBits(bits, is565));
}
