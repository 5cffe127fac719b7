#include "RpxPicture.h"

#include "platform/runtime/ByteIO.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

struct DibHeader {
    int64_t Width = 0, Height = 0;
    int Bits = 0;
    uint32_t Compression = 0;
    uint32_t ColorsUsed = 0;
    int PpmX = 0, PpmY = 0;
    bool TopDown = false;
    bool Core = false;
    int Planes = 1;
};

// BITMAPCOREHEADER (12 bytes) or BITMAPINFOHEADER (40 bytes).
bool ReadDibHeader(TByteReader& r, DibHeader& h)
{
    const uint32_t size = r.U32();
    if (size == 12) {
        h.Core = true;
        h.Width = r.I16();
        h.Height = r.I16();
        h.Planes = r.U16();
        h.Bits = r.U16();
    } else if (size == 40) {
        h.Width = r.I32();
        h.Height = r.I32();
        h.Planes = r.U16();
        h.Bits = r.U16();
        h.Compression = r.U32();
        r.U32();   // image size: the rows are sized from the dimensions
        h.PpmX = r.I32();
        h.PpmY = r.I32();
        h.ColorsUsed = r.U32();
        r.U32();   // colours important
    } else {
        return false;
    }
    if (h.Height < 0) {
        h.TopDown = true;
        h.Height = -h.Height;
    }
    return true;
}

uint32_t MaskShift(uint32_t mask)
{
    uint32_t s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

uint8_t MaskChannel(uint32_t v, uint32_t mask)
{
    if (!mask) return 0;
    const uint32_t shift = MaskShift(mask);
    const uint32_t max = mask >> shift;
    return static_cast<uint8_t>(((v & mask) >> shift) * 255u / max);
}

} // namespace

bool DecodeDib(std::span<const uint8_t> dib, TRpxImage& image, bool forIcon, size_t bitsOffset, TRpxDibInfo* info)
{
    image = {};
    try {
        TByteReader r(dib);
        DibHeader h;
        if (!ReadDibHeader(r, h)) return false;
        if (forIcon) h.Height /= 2;
        const int b = h.Bits;
        if (b != 1 && b != 4 && b != 8 && b != 16 && b != 24 && b != 32) return false;
        if (h.Width <= 0 || h.Height <= 0 || h.Width * h.Height > kRpxMaxPicturePixels) return false;
        // Run-length compressed pictures are not drawn.
        if (h.Compression != 0 && !(h.Compression == 3 && (b == 16 || b == 32))) return false;

        uint64_t colours = h.ColorsUsed;
        if (colours == 0 && b <= 8) colours = 1u << b;
        const uint32_t entry = h.Core ? 3 : 4;
        uint32_t masks[3] = {0, 0, 0};
        if (h.Compression == 3) {
            for (auto& m : masks) m = r.U32();
        } else if (b == 16) {
            masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
        } else if (b == 32) {
            masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF;
        }
        r.Require(colours * entry);
        std::vector<uint32_t> palette;
        for (uint64_t i = 0; i < colours; ++i) {
            const uint8_t blue = r.U8(), green = r.U8(), red = r.U8();
            if (!h.Core) r.U8();
            if (i < 256) palette.push_back(0xFF000000u | (uint32_t(red) << 16) | (uint32_t(green) << 8) | blue);
        }
        if (bitsOffset) r.Seek(bitsOffset);

        const uint64_t stride = ((static_cast<uint64_t>(h.Width) * b + 31) / 32) * 4;
        const uint64_t maskStride = ((static_cast<uint64_t>(h.Width) + 31) / 32) * 4;
        r.Require(stride * static_cast<uint64_t>(h.Height));
        const auto bits = r.Take(stride * static_cast<uint64_t>(h.Height));
        std::span<const uint8_t> mask;
        if (forIcon && r.Remaining() >= maskStride * static_cast<uint64_t>(h.Height))
            mask = r.Take(maskStride * static_cast<uint64_t>(h.Height));

        image.Width = static_cast<int>(h.Width);
        image.Height = static_cast<int>(h.Height);
        image.Pixels.assign(static_cast<size_t>(h.Width * h.Height), 0xFF000000u);
        for (int64_t y = 0; y < h.Height; ++y) {
            const int64_t srcRow = h.TopDown ? y : h.Height - 1 - y;
            const uint8_t* row = bits.data() + srcRow * static_cast<int64_t>(stride);
            uint32_t* out = image.Pixels.data() + y * h.Width;
            for (int64_t x = 0; x < h.Width; ++x) {
                uint32_t px = 0xFF000000u;
                if (b <= 8) {
                    const int64_t bit = x * b;
                    const uint32_t index = (row[bit / 8] >> (8 - b - bit % 8)) & ((1u << b) - 1);
                    px = index < palette.size() ? palette[index] : 0xFF000000u;
                } else if (b == 24) {
                    const uint8_t* p = row + x * 3;
                    px = 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
                } else {
                    const uint32_t v = b == 16 ? LoadLE16(row + x * 2) : LoadLE32(row + x * 4);
                    px = 0xFF000000u | (uint32_t(MaskChannel(v, masks[0])) << 16) |
                         (uint32_t(MaskChannel(v, masks[1])) << 8) | MaskChannel(v, masks[2]);
                }
                if (!mask.empty()) {
                    const uint8_t* m = mask.data() + srcRow * static_cast<int64_t>(maskStride);
                    if ((m[x / 8] >> (7 - x % 8)) & 1) px &= 0x00FFFFFFu;
                }
                out[x] = px;
            }
        }
        if (info) {
            info->PixelsPerMeterX = h.PpmX;
            info->PixelsPerMeterY = h.PpmY;
            info->HeaderKind = h.Core ? 2 : 1;
            info->Monochrome = h.Planes == 1 && b == 1;
        }
        return true;
    } catch (const EReadError&) {
        image = {};
        return false;
    }
}

// --- TRpxBitmap ------------------------------------------------------------------------------

void TRpxBitmap::Clear()
{
    image_ = {};
    PixelWidth = PixelHeight = 0;
    Monochrome = false;
    HeaderKind = 0;
    ResolutionX = ResolutionY = 0;
}

void TRpxBitmap::LoadFromStream(TStream& stream)
{
    Clear();
    const int64_t left = stream.Size() - stream.Position();
    if (left < 14) return;
    std::vector<uint8_t> bytes(static_cast<size_t>(left));
    bytes.resize(static_cast<size_t>(stream.Read(bytes.data(), left)));
    LoadFromBytes(bytes);
}

void TRpxBitmap::LoadFromBytes(std::span<const uint8_t> file)
{
    Clear();
    if (file.size() < 14 || LoadLE16(file.data()) != 19778) return;
    const uint32_t offBits = LoadLE32(file.data() + 10);
    const auto dib = file.subspan(14);
    // The pixels start where the file header says when that lies inside the file.
    const size_t bitsOffset = offBits > 14 && offBits < file.size() ? offBits - 14 : 0;
    TRpxDibInfo info;
    if (!DecodeDib(dib, image_, false, bitsOffset, &info) && !(bitsOffset && DecodeDib(dib, image_, false, 0, &info)))
        return;
    PixelWidth = image_.Width;
    PixelHeight = image_.Height;
    HeaderKind = info.HeaderKind;
    Monochrome = info.Monochrome;
    // Pixels per metre to pixels per inch; a value that rounds to 0 gives none.
    ResolutionX = static_cast<int>(static_cast<int64_t>(std::max(0, info.PixelsPerMeterX)) * 254 / 10000);
    ResolutionY = static_cast<int>(static_cast<int64_t>(std::max(0, info.PixelsPerMeterY)) * 254 / 10000);
}

int TRpxBitmap::DrawWidth(int ppiX) const
{
    const int r = ResolutionX > 0 ? ResolutionX : DesignResolution;
    return r > 0 ? MulDiv(PixelWidth, ppiX, r) : PixelWidth;
}

int TRpxBitmap::DrawHeight(int ppiY) const
{
    const int r = ResolutionY > 0 ? ResolutionY : DesignResolution;
    return r > 0 ? MulDiv(PixelHeight, ppiY, r) : PixelHeight;
}

void TRpxBitmap::StretchDraw(TRpxDevice& dc, const TRpxRect& r) const
{
    if (Empty()) return;
    dc.DrawImage({r.Left, r.Top, r.Right + 1, r.Bottom + 1}, image_);
}

void TRpxBitmap::Draw(TRpxDevice& dc, int x, int y, int ppiX, int ppiY) const
{
    if (Empty()) return;
    const int w = DrawWidth(ppiX ? ppiX : dc.LogPixelsX());
    const int h = DrawHeight(ppiY ? ppiY : dc.LogPixelsY());
    StretchDraw(dc, {x, y, x + w - 1, y + h - 1});
}

// --- Recognising pictures --------------------------------------------------------------------

namespace {

struct JpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

void JpegFail(j_common_ptr info)
{
    auto* e = reinterpret_cast<JpegError*>(info->err);
    std::longjmp(e->Jump, 1);
}

void JpegSilent(j_common_ptr, int) {}

bool IsEnhancedMetafile(std::span<const uint8_t> b)
{
    return b.size() > 100 && LoadLE32(b.data()) == 1 && LoadLE32(b.data() + 40) == 0x464D4520;
}

bool IsPlaceableMetafile(std::span<const uint8_t> b)
{
    if (b.size() <= 22 || LoadLE32(b.data()) != 0x9AC6CDD7u) return false;
    uint16_t x = 0;
    for (int i = 0; i < 10; ++i) x ^= LoadLE16(b.data() + 2 * i);
    return x == LoadLE16(b.data() + 20);
}

// An icon file: the directory's first image, a device-independent bitmap with its mask.
bool DecodeIcon(std::span<const uint8_t> b, TRpxImage& image)
{
    try {
        TByteReader r(b);
        r.U16();
        r.U16();
        if (r.U16() == 0) return false;
        r.Skip(8);
        const uint32_t size = r.U32(), offset = r.U32();
        if (offset > b.size() || size > b.size() - offset) return false;
        return DecodeDib(b.subspan(offset, size), image, true);
    } catch (const EReadError&) {
        return false;
    }
}

} // namespace

bool DecodeJpeg(std::span<const uint8_t> bytes, TRpxImage& image)
{
    image = {};
    if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) return false;
    jpeg_decompress_struct info{};
    JpegError err{};
    info.err = jpeg_std_error(&err.Manager);
    err.Manager.error_exit = JpegFail;
    err.Manager.emit_message = JpegSilent;
    // Everything the jump may skip lives outside this frame's locals that change after setjmp.
    static thread_local std::vector<uint8_t> row;
    if (setjmp(err.Jump)) {
        jpeg_destroy_decompress(&info);
        image = {};
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    if (static_cast<int64_t>(info.image_width) * info.image_height > kRpxMaxPicturePixels || info.image_width == 0 ||
        info.image_height == 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    image.Width = static_cast<int>(info.output_width);
    image.Height = static_cast<int>(info.output_height);
    image.Pixels.resize(static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height));
    row.resize(static_cast<size_t>(info.output_width) * static_cast<size_t>(info.output_components));
    while (info.output_scanline < info.output_height) {
        JSAMPROW rp = row.data();
        const unsigned y = info.output_scanline;
        jpeg_read_scanlines(&info, &rp, 1);
        uint32_t* out = image.Pixels.data() + static_cast<size_t>(y) * info.output_width;
        for (unsigned x = 0; x < info.output_width; ++x) {
            const uint8_t* p = row.data() + x * static_cast<unsigned>(info.output_components);
            out[x] = info.output_components >= 3
                         ? 0xFF000000u | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2]
                         : 0xFF000000u | (uint32_t(p[0]) * 0x010101u);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

std::unique_ptr<TRpxPicture> GraphicFromBytes(std::span<const uint8_t> b)
{
    // A wrapper of two words 1 and 256 and the length of what follows.
    if (b.size() >= 8 && LoadLE16(b.data()) == 1 && LoadLE16(b.data() + 2) == 256 &&
        LoadLE32(b.data() + 4) == b.size() - 8)
        b = b.subspan(8);
    auto pic = std::make_unique<TRpxPicture>();
    if (b.size() >= 2 && LoadLE16(b.data()) == 19778) {
        TRpxBitmap bmp;
        bmp.LoadFromBytes(b);
        if (!bmp.Empty()) {
            pic->PictureKind = TRpxPicture::pkBitmap;
            pic->Image = bmp.Image();
            return pic;
        }
    }
    if (IsEnhancedMetafile(b) || IsPlaceableMetafile(b)) {
        pic->PictureKind = TRpxPicture::pkMetafile;
        return pic;
    }
    if (b.size() >= 4 && LoadLE16(b.data() + 2) <= 1 && DecodeIcon(b, pic->Image)) {
        pic->PictureKind = TRpxPicture::pkIcon;
        return pic;
    }
    if (DecodeJpeg(b, pic->Image)) {
        pic->PictureKind = TRpxPicture::pkJpeg;
        return pic;
    }
    return nullptr;
}

std::unique_ptr<TRpxPicture> GraphicFromStream(TStream& stream)
{
    const int64_t start = stream.Position();
    stream.SetPosition(0);
    const int64_t size = stream.Size();
    std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(0, size)));
    bytes.resize(static_cast<size_t>(stream.Read(bytes.data(), static_cast<int64_t>(bytes.size()))));
    stream.SetPosition(start);
    return GraphicFromBytes(bytes);
}
