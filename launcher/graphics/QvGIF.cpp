// The launcher's GIF picture: reading, lazy decoding, drawing and the unit's registrations.
#include "launcher/graphics/QvGIF.h"

#include "launcher/graphics/GfxUtils.h"
#include "platform/runtime/ByteIO.h"

#include <mutex>
#include <algorithm>
#include <typeinfo>

namespace QvGIF {

bool TolerateBadGIFData = true;

TClipboardFormat CF_GIF()
{
    static const TClipboardFormat format = RegisterClipboardFormat("GIF Image");
    return format;
}

namespace {

TColor TableColor(const TColorTable& table, int index)
{
    const TRGBTriple& e = table.Entries[static_cast<size_t>(index)];
    return RGB(e.R, e.G, e.B);
}

// Bits per pixel of the decoded bitmap for a colour table of tableBits.
int DecodedDepth(int tableBits)
{
    if (tableBits == 1) return 1;
    if (tableBits >= 2 && tableBits <= 4) return 4;
    if (tableBits >= 5 && tableBits <= 8) return 8;
    GIFError(sGIFWrongColorCount);
}

// Packs top-down palette indexes into the bitmap's rows of 1 or 4 bits.
void StoreIndexes(TBitmap& bitmap, const uint8_t* pixels, int depth)
{
    const int w = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* in = pixels + static_cast<size_t>(y) * static_cast<size_t>(w);
        uint8_t* out = bitmap.ScanLine(y);
        if (depth == 4) {
            for (int x = 0; x < w; x += 2)
                out[x >> 1] = static_cast<uint8_t>((in[x] << 4) | (x + 1 < w ? in[x + 1] & 0x0F : 0));
        } else {
            std::fill(out, out + (w + 7) / 8, 0);
            for (int x = 0; x < w; ++x)
                if (in[x] & 1) out[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
        }
    }
}

std::vector<uint8_t> ReadRest(TStream& stream, int64_t size)
{
    if (size < 0 || size > stream.Size() - stream.Position()) throw EReadError();
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (size > 0) stream.ReadBuffer(bytes.data(), size);
    return bytes;
}

} // namespace

// --- TGIFFrame -------------------------------------------------------------------------------

TGIFFrame::TGIFFrame(TGIFImage* owner) : owner_(owner) { ResetFrame(); }

TGIFFrame::~TGIFFrame() = default;

void TGIFFrame::ReleaseItem() { item_ = std::make_shared<TGIFItem>(); }

TGIFItem& TGIFFrame::MutableItem()
{
    if (item_.use_count() > 1) item_ = std::make_shared<TGIFItem>(*item_);
    return *item_;
}

void TGIFFrame::ResetFrame()
{
    ReleaseItem();
    Grayscale = false;
    Corrupted = false;
    TransparentColor = clNone;
    Left = Top = 0;
    Interlaced = false;
    LocalTable = false;
    Delay = 0;
    Disposal = 0;
}

void TGIFFrame::ReadFrameData(TFrameRecord&& record)
{
    auto item = std::make_shared<TGIFItem>();
    item->ImageData = std::move(record.ImageData);
    item->Width = record.Width;
    item->Height = record.Height;
    item->PackedFields = record.Packed;
    item->BitsPerPixel = static_cast<uint8_t>(record.TableBits);
    item->ColorMap = record.Colors;
    item_ = std::move(item);
    Interlaced = record.Interlaced;
    LocalTable = record.LocalTable;
    Corrupted = Corrupted || record.Corrupted;
    Left = record.Left;
    Top = record.Top;
    Extensions = std::move(record.Extensions);

    // Graphic control blocks (GIF89a section 23): the later transparency and disposal win,
    // the delay is the longest.
    Delay = 0;
    for (const TExtension& e : Extensions) {
        if (e.Kind != ekGraphicControl || e.Record.size() < 6) continue;
        const uint8_t packed = e.Record[1];
        const int delay = LoadLE16(&e.Record[2]) * 10;
        const int index = e.Record[4];
        if (!(packed & 1))
            TransparentColor = clNone;
        else if (index < item_->ColorMap.Count)
            TransparentColor = TableColor(item_->ColorMap, index);
        Delay = static_cast<uint16_t>(std::min(65535, std::max<int>(delay, Delay)));
        Disposal = static_cast<uint8_t>((packed >> 2) & 7);
    }
}

void TGIFFrame::DecodeToBitmap()
{
    const TGIFItem& item = *item_;
    const int depth = DecodedDepth(item.BitsPerPixel);
    auto bitmap = std::make_unique<TBitmap>();
    if (item.Width > 0 && item.Height > 0) {
        const uint64_t pixels = uint64_t(item.Width) * uint64_t(item.Height);
        if (pixels > kMaxFramePixels) throw EOutOfResources("Out of system resources");
        const TPixelFormat format = depth == 1 ? pf1bit : depth == 4 ? pf4bit : pf8bit;
        bitmap = std::make_unique<TBitmap>(item.Width, item.Height, format);
        std::vector<TColor> palette(size_t(1) << depth, RGB(128, 128, 128));
        for (int i = 0; i < std::min<int>(item.ColorMap.Count, static_cast<int>(palette.size())); ++i)
            palette[static_cast<size_t>(i)] = TableColor(item.ColorMap, i);
        bitmap->SetPalette(std::move(palette));

        // Rows the data never reaches stay palette index 0. 8-bit rows take the indexes as
        // they are; 1 and 4 bits are packed from a buffer.
        uint8_t* rows = bitmap->ScanLine(0);
        const size_t stride = static_cast<size_t>(bitmap->BytesPerScanLine());
        std::fill(rows, rows + stride * static_cast<size_t>(item.Height), 0);
        std::vector<uint8_t> indexes;
        if (depth != 8) indexes.assign(static_cast<size_t>(pixels), 0);

        if (owner_) owner_->Progress(TProgressStage::psStarting, 0);
        try {
            const auto progress = owner_ && owner_->OnProgress
                                      ? TRowProgress([this](int p) { owner_->Progress(TProgressStage::psRunning, p); })
                                      : TRowProgress();
            if (DecodeLZW(item.ImageData, item.Width, item.Height, Interlaced,
                          static_cast<uint8_t>((1 << item.BitsPerPixel) - 1), TolerateBadGIFData,
                          depth == 8 ? rows : indexes.data(), progress, depth == 8 ? stride : 0))
                Corrupted = true;
        } catch (const Exception& e) {
            if (owner_) owner_->Progress(TProgressStage::psEnding, 0, e.Message());
            throw;
        }
        if (owner_) owner_->Progress(TProgressStage::psEnding, 100);
        if (depth != 8) StoreIndexes(*bitmap, indexes.data(), depth);
    }
    bitmap_ = std::move(bitmap);
}

TBitmap& TGIFFrame::GetBitmap()
{
    if (bitmap_ && !bitmap_->Empty()) return *bitmap_;
    if (!item_->ImageData.empty())
        DecodeToBitmap();
    else
        bitmap_ = std::make_unique<TBitmap>();
    return *bitmap_;
}

int TGIFFrame::FrameWidth()
{
    if (!bitmap_ && item_->ImageData.empty()) return 0;
    return GetBitmap().Width();
}

int TGIFFrame::FrameHeight()
{
    if (!bitmap_ && item_->ImageData.empty()) return 0;
    return GetBitmap().Height();
}

void TGIFFrame::DrawFrame(TCanvas& canvas, const TRect& rect, bool transparent)
{
    TBitmap& bitmap = GetBitmap();
    if (TransparentColor != clNone && transparent)
        DrawTransparent(canvas, rect.Left, rect.Top, bitmap, Rect(0, 0, bitmap.Width(), bitmap.Height()),
                        TransparentColor, rect.Width(), rect.Height());
    else
        canvas.StretchDraw(rect, bitmap);
}

std::vector<std::string>* TGIFFrame::FrameComment(bool create)
{
    for (auto it = Extensions.rbegin(); it != Extensions.rend(); ++it)
        if (it->Kind == ekComment) return &it->Data;
    if (!create) return nullptr;
    Extensions.push_back(TExtension{ekComment, {}, {}});
    return &Extensions.back().Data;
}

void TGIFFrame::AssignTo(TBitmap& dest)
{
    dest.Assign(GetBitmap());
    if (TransparentColor != clNone) {
        dest.SetTransparentColor(TransparentColor);
        dest.SetTransparent(true);
    }
}

// --- TGIFImage -------------------------------------------------------------------------------

TGIFImage::TGIFImage()
{
    ResetImage();
    SetTransparent(true);
}

TGIFImage::~TGIFImage() { OnChange = nullptr; }

void TGIFImage::Progress(TProgressStage stage, int percent, const std::string& message)
{
    if (OnProgress) OnProgress(*this, stage, percent, message);
}

void TGIFImage::ResetImage()
{
    data_ = std::make_shared<TGIFData>();
    frames_.clear();
    frameIndex_ = -1;
    BackgroundColor = clNone;
    RepeatCount = 1;
    Looping = false;
    Version = 0;
}

TGIFFrame* TGIFImage::CurrentFrame() const
{
    if (frames_.empty()) return nullptr;
    if (frameIndex_ < 0 || frameIndex_ >= FrameCount()) return frames_.front().get();
    return frames_[static_cast<size_t>(frameIndex_)].get();
}

int TGIFImage::Width() const
{
    if (Empty() || frameIndex_ < 0 || frameIndex_ >= FrameCount()) return 0;
    return CurrentFrame()->FrameWidth();
}

int TGIFImage::Height() const
{
    if (Empty() || frameIndex_ < 0 || frameIndex_ >= FrameCount()) return 0;
    return CurrentFrame()->FrameHeight();
}

void TGIFImage::SetWidth(int) { GIFError(sGIFCannotResize); }

void TGIFImage::SetHeight(int) { GIFError(sGIFCannotResize); }

bool TGIFImage::Empty() const
{
    const TGIFFrame* f = CurrentFrame();
    return !f || (!f->HasBitmap() && f->Item().ImageData.empty());
}

const std::vector<TColor>* TGIFImage::GetPalette()
{
    if (frames_.empty()) return nullptr;
    return &CurrentBitmap().Palette();
}

bool TGIFImage::GetTransparent() const
{
    if (!Transparent()) return false;
    return std::any_of(frames_.begin(), frames_.end(), [](const auto& f) { return f->TransparentColor != clNone; });
}

void TGIFImage::Draw(TCanvas& canvas, const TRect& rect)
{
    TGIFFrame* frame = frameIndex_ >= 0 ? CurrentFrame() : nullptr;
    if (frame) frame->DrawFrame(canvas, rect, GetTransparent());
}

bool TGIFImage::Equals(const TGraphic& other) const
{
    const auto* gif = dynamic_cast<const TGIFImage*>(&other);
    return gif && gif->data_ == data_;
}

TBitmap& TGIFImage::CurrentBitmap()
{
    if (frames_.empty()) {
        // What assigning an empty bitmap leaves: one empty frame.
        ResetImage();
        frames_.push_back(std::make_unique<TGIFFrame>(this));
        frameIndex_ = 0;
        Version = 1;
    }
    return CurrentFrame()->GetBitmap();
}

void TGIFImage::UpdateScreenSize()
{
    int w = 0, h = 0;
    for (const auto& f : frames_) {
        // A frame not compressed yet has its size in its bitmap only.
        const bool sized = f->Item().Width > 0 || !f->HasBitmap();
        w = std::max(w, (sized ? f->Item().Width : f->bitmap_->Width()) + f->Left);
        h = std::max(h, (sized ? f->Item().Height : f->bitmap_->Height()) + f->Top);
    }
    ScreenWidth = static_cast<uint16_t>(std::clamp(w, 0, 65535));
    ScreenHeight = static_cast<uint16_t>(std::clamp(h, 0, 65535));
}

void TGIFImage::ReadData(TStream& stream)
{
    const int64_t count = static_cast<int32_t>(stream.ReadU32());
    ReadGIF(count, stream, true);
}

void TGIFImage::LoadFromStream(TStream& stream) { ReadGIF(stream.Size() - stream.Position(), stream, true); }

void TGIFImage::LimitTotalPixels()
{
    uint64_t total = 0;
    for (size_t i = 0; i < frames_.size(); ++i) {
        const TGIFItem& item = frames_[i]->Item();
        total += uint64_t(std::max(item.Width, 0)) * uint64_t(std::max(item.Height, 0));
        if (total > kMaxPicturePixels) {
            // The frames within the limit stay, as after any other failure while reading.
            frames_.erase(frames_.begin() + static_cast<std::ptrdiff_t>(i), frames_.end());
            if (frames_.empty()) frameIndex_ = -1;
            throw EOutOfResources("GIF image too large: its frames hold more than " +
                                  std::to_string(kMaxPicturePixels) + " pixels in all");
        }
    }
}

void TGIFImage::ReadGIF(int64_t size, TStream& stream, bool decode)
{
    ResetImage();
    const std::vector<uint8_t> bytes = ReadRest(stream, size);
    if (!bytes.empty()) {
        TGIFStream gif;
        // Whatever was read before a failure stays in the picture.
        auto take = [&] {
            Version = static_cast<uint8_t>(gif.Version);
            ScreenWidth = gif.ScreenWidth;
            ScreenHeight = gif.ScreenHeight;
            data_->AspectRatio = gif.AspectRatio;
            data_->BitsPerPixel = gif.BitsPerPixel;
            data_->ColorResolution = gif.ColorResolution;
            data_->ColorMap = gif.Global;
            data_->Comment = gif.Comment;
            BackgroundColor = gif.HasBackground ? TableColor(gif.Global, gif.BackgroundIndex) : clNone;
            Looping = gif.Looping;
            RepeatCount = gif.RepeatCount;
            for (TFrameRecord& record : gif.Frames) {
                auto frame = std::make_unique<TGIFFrame>(this);
                frame->ReadFrameData(std::move(record));
                frames_.push_back(std::move(frame));
            }
        };
        try {
            ParseGIF(bytes, TolerateBadGIFData, gif);
        } catch (...) {
            take();
            throw;
        }
        take();
        LimitTotalPixels();
        if (!frames_.empty()) {
            frameIndex_ = 0;
            if (decode) {
                try {
                    CurrentBitmap();
                } catch (...) {
                    // The first frame could not be decoded: it goes, and with no frame left
                    // the picture has no current frame to draw.
                    frames_.erase(frames_.begin());
                    if (frames_.empty()) frameIndex_ = -1;
                    throw;
                }
            }
        }
    }
    Changed();
}

void TGIFImage::AssignTo(TBitmap& dest)
{
    if (Empty()) return;
    if (frameIndex_ < 0)
        dest.Assign(CurrentBitmap());
    else
        CurrentFrame()->AssignTo(dest);
}

void TGIFImage::LoadFromClipboardFormat(TClipboardFormat format, const TClipboardData& clipboard)
{
    if (format == CF_GIF() && clipboard.HasFormat(CF_GIF())) {
        TMemoryStream m;
        const std::vector<uint8_t>& bytes = clipboard.Formats.at(CF_GIF());
        m.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        m.SetPosition(0);
        const int64_t count = static_cast<int32_t>(m.ReadU32());
        ReadGIF(count, m, false);
        if (!frames_.empty()) {
            frameIndex_ = 0;
            if (clipboard.HasFormat(CF_BITMAP)) {
                const std::vector<uint8_t>& bmp = clipboard.Formats.at(CF_BITMAP);
                TMemoryStream b;
                b.WriteBuffer(bmp.data(), static_cast<int64_t>(bmp.size()));
                b.SetPosition(0);
                auto bitmap = std::make_unique<TBitmap>();
                bitmap->LoadFromStream(b);
                frames_.front()->bitmap_ = std::move(bitmap);
            }
        }
        return;
    }
    const auto it = clipboard.Formats.find(format);
    if (it == clipboard.Formats.end()) throw EInvalidGraphic("Unsupported clipboard format");
    TMemoryStream m;
    m.WriteBuffer(it->second.data(), static_cast<int64_t>(it->second.size()));
    m.SetPosition(0);
    TBitmap bitmap;
    bitmap.LoadFromStream(m);
    Assign(bitmap);
}

// --- Unit start ------------------------------------------------------------------------------

void RegisterGIFImage()
{
    static std::once_flag once;
    std::call_once(once, [] {
        TPicture::RegisterFileFormat<TGIFImage>("gif", GIFText(sGIFDescription));
        RegisterPictureClipboardFormat(CF_GIF(), typeid(TGIFImage), [] { return std::make_unique<TGIFImage>(); });
    });
}

} // namespace QvGIF
