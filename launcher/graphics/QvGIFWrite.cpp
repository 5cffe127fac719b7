// The launcher's GIF picture: building frames from graphics, compressing them and writing the
// GIF stream.
#include "launcher/graphics/QvGIF.h"

#include "launcher/graphics/QvGraph.h"
#include "platform/runtime/ByteIO.h"
#include "platform/runtime/TypeNames.h"

#include <algorithm>
#include <typeinfo>

namespace QvGIF {

namespace {

[[noreturn]] void CannotAssign(const std::string& source)
{
    throw EConvertError("Cannot assign a " + source + " to a TGIFImage");
}

// The entry of the table with exactly this colour, or -1.
int FindColorIndex(const TColorTable& table, TColor color)
{
    if (color == clNone) return -1;
    const TColor c = ColorToRGB(color);
    for (int i = 0; i < table.Count; ++i) {
        const TRGBTriple& e = table.Entries[static_cast<size_t>(i)];
        if (RGB(e.R, e.G, e.B) == c) return i;
    }
    return -1;
}

// Data sub-blocks (GIF89a section 15): one string each, cut to 255 bytes, empty ones left out.
void WriteSubBlocks(TByteWriter& w, const std::vector<std::string>& strings)
{
    for (const std::string& s : strings) {
        if (s.empty()) continue;
        const size_t n = std::min<size_t>(s.size(), 255);
        w.U8(static_cast<uint8_t>(n));
        w.Bytes(s.data(), n);
    }
    w.U8(0);
}

// A colour table padded to the power of two its size field gives.
void WriteColorTable(TByteWriter& w, const TColorTable& table)
{
    const int count = 1 << BitsForCount(table.Count);
    for (int i = 0; i < count; ++i) {
        const TRGBTriple e = i < table.Count ? table.Entries[static_cast<size_t>(i)] : TRGBTriple{};
        w.U8(e.R);
        w.U8(e.G);
        w.U8(e.B);
    }
}

void WriteExtension(TByteWriter& w, const TExtension& e)
{
    static constexpr uint8_t kLabel[4] = {0xF9, 0x01, 0xFF, 0xFE};
    w.U8('!');
    w.U8(kLabel[e.Kind]);
    if (e.Kind != ekComment) w.Bytes(e.Record);
    if (e.Kind != ekGraphicControl) WriteSubBlocks(w, e.Data);
}

} // namespace

// --- Frames ----------------------------------------------------------------------------------

void TGIFFrame::Assign(const TGIFFrame* source)
{
    if (!source) {
        ResetFrame();
        bitmap_.reset();
        return;
    }
    if (source == this) return;
    item_ = source->item_;
    Left = source->Left;
    Top = source->Top;
    Interlaced = source->Interlaced;
    TransparentColor = source->TransparentColor;
    Delay = source->Delay;
    Disposal = source->Disposal;
    Grayscale = source->Grayscale;
    Corrupted = source->Corrupted;
    LocalTable = source->owner_ == owner_ ? source->LocalTable : true;
    bitmap_.reset();
    if (source->bitmap_) {
        bitmap_ = std::make_unique<TBitmap>();
        bitmap_->Assign(*source->bitmap_);
    }
    if (const auto* lines = const_cast<TGIFFrame*>(source)->FrameComment(false)) *FrameComment(true) = *lines;
}

void TGIFFrame::Assign(TGraphic& source)
{
    if (auto* gif = dynamic_cast<TGIFImage*>(&source)) {
        if (gif->FrameCount() > 0) Assign(gif->CurrentFrame());
        return;
    }
    if (source.Empty()) return;
    ResetFrame();
    auto bitmap = std::make_unique<TBitmap>();
    if (auto* b = dynamic_cast<TBitmap*>(&source)) {
        bitmap->Assign(*b);
        if (source.Transparent()) TransparentColor = b->TransparentColor();
    } else {
        // Drawn on the fill colour, which stands for the see-through parts.
        bitmap->SetPixelFormat(pf24bit);
        bitmap->Canvas().Brush.Color = clFuchsia;
        bitmap->SetSize(source.Width(), source.Height());
        bitmap->Canvas().FillRect(Rect(0, 0, source.Width(), source.Height()));
        bitmap->Canvas().StretchDraw(Rect(0, 0, source.Width(), source.Height()), source);
        if (source.Transparent()) TransparentColor = clFuchsia;
    }
    bitmap->SetTransparent(false);
    bitmap_ = std::move(bitmap);
    if (owner_) owner_->UpdateScreenSize();
}


void TGIFFrame::EncodeBitmap()
{
    if (!bitmap_ || bitmap_->Empty()) GIFError(sGIFNoData);
    std::vector<uint8_t> file;
    const TPixelFormat f = bitmap_->PixelFormat();
    if (f == pf1bit || f == pf4bit || f == pf8bit) {
        TMemoryStream m;
        bitmap_->SaveToStream(m);
        file = m.Bytes();
    } else {
        const QvGraph::TReductionMethod method = Grayscale ? QvGraph::ReduceToGray : QvGraph::DefaultReduction;
        file = QvGraph::BitmapToDIBStream(*bitmap_, pf8bit, method);
        if (method == QvGraph::ReduceToGray) Grayscale = true;
    }
    EncodeDIB(file);
}

void TGIFFrame::EncodeDIB(const std::vector<uint8_t>& bitmapFile)
{
    int32_t width = 0, height = 0;
    int bits = 0, count = 0;
    std::span<const uint8_t> rows;
    TColorTable table;
    try {
        // BITMAPFILEHEADER and BITMAPINFOHEADER
        TByteReader in(bitmapFile);
        in.Seek(10);
        const uint32_t offBits = in.U32();
        const uint32_t headerSize = in.U32();
        width = in.I32();
        height = in.I32();
        in.Skip(2);  // biPlanes
        bits = in.U16();
        if (bits == 1)
            count = 2;
        else if (bits == 4)
            count = 16;
        else if (bits == 8)
            count = 256;
        else
            GIFError(sGIFEncodingError);
        if (width <= 0 || height <= 0) GIFError(width == 0 || height == 0 ? sGIFNoData : sGIFEncodingError);
        if (width > 65535 || height > 65535) GIFError(sGIFEncodingError);
        in.Seek(14 + uint64_t(headerSize));
        table.Count = count;
        for (int i = 0; i < count; ++i) {
            TRGBTriple& e = table.Entries[static_cast<size_t>(i)];
            e.B = in.U8();
            e.G = in.U8();
            e.R = in.U8();
            in.Skip(1);
        }
        in.Seek(offBits);
        rows = in.Take(uint64_t(QvGraph::ScanLineBytes(width, bits)) * uint64_t(height));
    } catch (const EReadError&) {
        GIFError(sGIFEncodingError);
    }

    Interlaced = false;
    TGIFItem& item = MutableItem();
    item.ColorMap = table;
    TByteWriter out;
    try {
        const auto progress = owner_ && owner_->OnProgress
                                  ? TRowProgress([this](int p) { owner_->Progress(TProgressStage::psRunning, p); })
                                  : TRowProgress();
        if (owner_) owner_->Progress(TProgressStage::psStarting, 0);
        EncodeLZW(out, width, height, bits, false, rows.data(), progress);
        if (owner_) owner_->Progress(TProgressStage::psEnding, 100);
    } catch (const EAbort&) {
        ResetFrame();
        throw;
    }
    item.ImageData = out.TakeBytes();
    item.BitsPerPixel = static_cast<uint8_t>(BitsForCount(count));
    if (owner_ && owner_->data_->ColorMap.Count > 0) {
        LocalTable = true;
    } else {
        LocalTable = false;
        if (owner_) {
            owner_->data_->ColorMap = item.ColorMap;
            owner_->data_->BitsPerPixel = item.BitsPerPixel;
        }
    }
    item.Width = width;
    item.Height = height;
    if (owner_) {
        owner_->ScreenWidth = static_cast<uint16_t>(std::clamp(std::max<int>(owner_->ScreenWidth, width + Left), 0, 65535));
        owner_->ScreenHeight = static_cast<uint16_t>(std::clamp(std::max<int>(owner_->ScreenHeight, height + Top), 0, 65535));
    }
}

void TGIFFrame::SyncFrameExtensions()
{
    TExtension* control = nullptr;
    for (auto it = Extensions.rbegin(); it != Extensions.rend() && !control; ++it)
        if (it->Kind == ekGraphicControl && it->Record.size() >= 6) control = &*it;
    if (!control && (Delay != 0 || TransparentColor != clNone || Disposal != 0)) {
        Extensions.push_back(TExtension{ekGraphicControl, {4, 0, 0, 0, 0, 0}, {}});
        control = &Extensions.back();
    }
    if (control) {
        // Graphic control extension (GIF89a section 23)
        std::vector<uint8_t>& r = control->Record;
        StoreLE16(&r[2], static_cast<uint16_t>(Delay / 10));  // delay time, hundredths
        const int index = FindColorIndex(item_->ColorMap, TransparentColor);
        if (index < 0) {
            r[1] &= 0xFE;  // transparent colour flag
        } else {
            r[4] = static_cast<uint8_t>(index);
            r[1] |= 0x01;
        }
        r[1] = static_cast<uint8_t>((r[1] & 0xE3) + Disposal * 4);  // disposal method
    }
    std::erase_if(Extensions, [](const TExtension& e) { return e.Kind == ekComment && e.Data.empty(); });
    if (!Extensions.empty() && owner_) owner_->Version = 2;
}

// --- Pictures --------------------------------------------------------------------------------

int TGIFImage::AddFrame(TGraphic& graphic)
{
    frames_.push_back(std::make_unique<TGIFFrame>(this));
    frameIndex_ = FrameCount() - 1;
    frames_.back()->Assign(graphic);
    if (Version == 0) Version = 1;
    if (FrameCount() > 1) Version = 2;
    return frameIndex_;
}

void TGIFImage::Assign(const TGIFImage* source)
{
    if (source == this) return;
    if (!source) {
        ResetImage();
        Changed();
        return;
    }
    data_ = source->data_;
    Version = source->Version;
    BackgroundColor = source->BackgroundColor;
    RepeatCount = source->RepeatCount;
    Looping = source->Looping;
    frames_.clear();
    for (const auto& f : source->frames_) {
        auto frame = std::make_unique<TGIFFrame>(this);
        frame->Assign(f.get());
        frame->LocalTable = f->LocalTable;
        frames_.push_back(std::move(frame));
    }
    ScreenWidth = source->ScreenWidth;
    ScreenHeight = source->ScreenHeight;
    frameIndex_ = source->frameIndex_;
    Changed();
}

void TGIFImage::Assign(const TGIFFrame& frame)
{
    std::shared_ptr<TGIFData> ownerData = frame.owner_ ? frame.owner_->data_ : nullptr;
    ResetImage();
    if (ownerData) {
        data_->AspectRatio = ownerData->AspectRatio;
        data_->BitsPerPixel = ownerData->BitsPerPixel;
        data_->ColorResolution = ownerData->ColorResolution;
        data_->ColorMap = ownerData->ColorMap;
    }
    frames_.push_back(std::make_unique<TGIFFrame>(this));
    frames_.back()->Assign(&frame);
    frameIndex_ = 0;
    if (Version == 0) Version = 1;
    Changed();
}

void TGIFImage::Assign(TGraphic& source)
{
    if (auto* gif = dynamic_cast<TGIFImage*>(&source)) {
        Assign(static_cast<const TGIFImage*>(gif));
    } else if (dynamic_cast<TBitmap*>(&source)) {
        ResetImage();
        AddFrame(source);
        Changed();
    } else {
        CannotAssign(ClassNameOf(typeid(source)));
    }
}

void TGIFImage::EncodeFrames(bool redecode)
{
    for (auto& f : frames_) {
        if (!f->item_->ImageData.empty()) continue;
        f->EncodeBitmap();
        if (redecode && f->bitmap_ && f->bitmap_->Palette().empty()) {
            try {
                f->bitmap_.reset();
                f->GetBitmap();
            } catch (const EAbort&) {
            }
        }
    }
    for (auto& f : frames_) f->SyncFrameExtensions();
}

void TGIFImage::WriteGIF(TStream& stream, bool withLength)
{
    if (frames_.empty()) GIFError(sGIFNoData);
    EncodeFrames(false);
    if (!data_->Comment.empty()) Version = 2;

    TByteWriter w;
    // Header (section 17)
    w.String("GIF");
    w.String(Version == 2 ? "89a" : "87a");
    // Logical screen descriptor (section 18)
    UpdateScreenSize();
    const TColorTable& global = data_->ColorMap;
    w.U16(ScreenWidth);
    w.U16(ScreenHeight);
    uint8_t packed = 0;
    if (global.Count > 0) {
        const int bits = BitsForCount(global.Count);
        packed = static_cast<uint8_t>(0x80                // global colour table flag
                                      + (bits - 1) * 16  // colour resolution
                                      + (bits - 1));     // size of global colour table
    }
    w.U8(packed);
    w.U8(static_cast<uint8_t>(std::max(0, FindColorIndex(global, BackgroundColor))));  // background index
    w.U8(data_->AspectRatio);
    if (global.Count > 0) WriteColorTable(w, global);

    // Application extension: the loop count of an animation
    if (Looping && frames_.size() > 1) {
        w.U8('!');
        w.U8(0xFF);
        w.U8(11);
        w.String("NETSCAPE2.0");
        w.U8(3);
        w.U8(1);
        w.U16(static_cast<uint16_t>(RepeatCount));
        w.U8(0);
    }

    for (const auto& f : frames_) {
        for (const TExtension& e : f->Extensions) WriteExtension(w, e);
        const TGIFItem& item = *f->item_;
        // Image descriptor (section 20)
        w.U8(',');
        w.U16(static_cast<uint16_t>(f->Left));
        w.U16(static_cast<uint16_t>(f->Top));
        w.U16(static_cast<uint16_t>(item.Width));
        w.U16(static_cast<uint16_t>(item.Height));
        uint8_t imagePacked = 0;
        if (f->LocalTable) imagePacked = static_cast<uint8_t>(0x80 + BitsForCount(item.ColorMap.Count) - 1);
        if (f->Interlaced) imagePacked |= 0x40;
        w.U8(imagePacked);
        if (f->LocalTable) WriteColorTable(w, item.ColorMap);
        w.Bytes(item.ImageData);
    }
    if (!data_->Comment.empty()) {
        w.U8('!');
        w.U8(0xFE);
        WriteSubBlocks(w, data_->Comment);
    }
    w.U8(';');

    const std::vector<uint8_t>& bytes = w.Bytes();
    if (withLength) stream.WriteI32(static_cast<int32_t>(bytes.size()));
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TGIFImage::SaveToStream(TStream& stream) { WriteGIF(stream, false); }

void TGIFImage::WriteData(TStream& stream) { WriteGIF(stream, true); }

void TGIFImage::SaveToClipboardFormat(TClipboardData& clipboard)
{
    if (frames_.empty()) return;
    TMemoryStream bmp;
    frames_.front()->GetBitmap().SaveToStream(bmp);
    clipboard.Formats[CF_BITMAP] = bmp.Bytes();
    const bool compressed =
        std::all_of(frames_.begin(), frames_.end(), [](const auto& f) { return !f->item_->ImageData.empty(); });
    if (!compressed) return;
    TMemoryStream gif;
    WriteGIF(gif, true);
    clipboard.Formats[CF_GIF()] = gif.Bytes();
}

} // namespace QvGIF
