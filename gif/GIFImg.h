// GIF picture library (gif layer, Qt Gui only): the in-memory model of a GIF file, its
// GIF87a/GIF89a reading and writing, and the picture class that the picture registry creates
// for "GIF".
//
// Every block of a file is an object: the picture owns its header (with the global colour
// table) and its frames; a frame owns its local colour table, its extensions, its pixels (one
// colour index per byte, rows top down) and the bitmap and mask rendered from them.
//
// Two reporting channels: GIFException ends an operation; warnings (sender, severity, text) go
// to the picture's OnWarning when it is set and are otherwise dropped while the work goes on.
#pragma once

#include "platform/graphics/Graphics.h"
#include "platform/runtime/ByteIO.h"
#include "platform/threads/Threads.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace GIFImg {

class GIFException : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
};

enum TGIFSeverity { gsInfo, gsWarning, gsError };  // every warning of the library is gsWarning
enum TProgressStage { psStarting, psRunning, psEnding };

// A palette stands in for a palette handle: its colours; empty means none.
using TGIFPalette = std::vector<TColor>;

class TGIFImage;
class TGIFSubImage;
class TGIFHeader;
class TGIFPainter;

// Everything that sends warnings or progress.
class TGIFObject {
public:
    virtual ~TGIFObject() = default;
};

using TGIFWarningEvent = std::function<void(TGIFObject* sender, TGIFSeverity severity, const std::string& message)>;
using TGIFProgressEvent = std::function<void(TGIFObject* sender, TProgressStage stage, int percent, bool redrawNow,
                                             const std::string& message)>;

// --- Items and lists ---------------------------------------------------------------------------
class TGIFItem : public TGIFObject {
public:
    explicit TGIFItem(TGIFImage* image) : image_(image) {}
    TGIFImage* Image() const { return image_; }
    // 1: GIF87a is enough; 2: the block needs GIF89a.
    virtual int GetVersion() const { return 1; }
    virtual void Warning(TGIFSeverity severity, const std::string& message);
    virtual void SaveToStream(TByteWriter& stream) = 0;
    virtual void LoadFromStream(TByteReader& stream) = 0;

private:
    TGIFImage* image_;
};

// Owns its items: Delete and Clear free them.
template <class T>
class TGIFList : public TGIFObject {
public:
    explicit TGIFList(TGIFImage* image) : image_(image) {}
    TGIFImage* Image() const { return image_; }
    T* Items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
    int Count() const { return static_cast<int>(items_.size()); }
    int Add(std::unique_ptr<T> item)
    {
        items_.push_back(std::move(item));
        return Count() - 1;
    }
    void Delete(int index) { items_.erase(items_.begin() + index); }
    void Clear()
    {
        while (!items_.empty()) items_.erase(items_.begin());
    }
    T* First() const { return items_.empty() ? nullptr : items_.front().get(); }
    virtual void Warning(TGIFSeverity severity, const std::string& message);
    virtual void SaveToStream(TByteWriter& stream)
    {
        for (auto& item : items_) item->SaveToStream(stream);
    }

private:
    TGIFImage* image_;
    std::vector<std::unique_ptr<T>> items_;
};

// --- Colour tables -----------------------------------------------------------------------------
class TGIFColorMap : public TGIFObject {
public:
    virtual ~TGIFColorMap() = default;

    void Clear();
    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    bool Sorted() const { return sorted_; }
    void SetSorted(bool v) { sorted_ = v; }
    // 0 for an empty table, else the smallest b (1..8) with 2^b >= count.
    int BitsPerPixel() const;
    // The index of the colour (exact match), -1 when absent.
    int IndexOf(TColor color) const;
    // The colour's index, appended when absent; "Color table overflow" past 256.
    int Add(TColor color);
    // Entry index; outside the table a warning "Invalid color index" and entry 0
    // ("Color table is empty" when there is none).
    TColor Colors(int index);
    void SetColor(int index, TColor color);
    const uint8_t* Data() const { return entries_.data(); }  // red, green, blue per entry
    void Assign(const TGIFColorMap& source);
    void ImportPalette(const TGIFPalette& palette);
    TGIFPalette ExportPalette() const;
    // The entries, then zero entries up to 2^bits (bits at least BitsPerPixel).
    void SaveToStream(TByteWriter& stream, int bits = 0) const;
    void LoadFromStream(TByteReader& stream, int count);

    virtual void Warning(TGIFSeverity severity, const std::string& message) = 0;
    // Orders the table by decreasing use in its frame and drops unused colours.
    virtual bool SortByUse() = 0;
    virtual void Changed() = 0;

protected:
    // Sorts by use in frame's pixels; with trim the unused colours go.
    bool SortByUseOf(TGIFSubImage& frame, bool trim);

private:
    void SetCapacity(int n);
    std::vector<uint8_t> entries_;
    int capacity_ = 0;
    int count_ = 0;
    bool sorted_ = false;
};

class TGIFGlobalColorMap : public TGIFColorMap {
public:
    explicit TGIFGlobalColorMap(TGIFHeader* header) : header_(header) {}
    void Warning(TGIFSeverity severity, const std::string& message) override;
    // Only with exactly one frame: other frames' pixels would point at moved colours.
    bool SortByUse() override;
    void Changed() override;

private:
    TGIFHeader* header_;
};

class TGIFLocalColorMap : public TGIFColorMap {
public:
    explicit TGIFLocalColorMap(TGIFSubImage* frame) : frame_(frame) {}
    void Warning(TGIFSeverity severity, const std::string& message) override;
    bool SortByUse() override;
    void Changed() override;

private:
    TGIFSubImage* frame_;
};

// --- Header ------------------------------------------------------------------------------------
class TGIFHeader : public TGIFItem {
public:
    explicit TGIFHeader(TGIFImage* image) : TGIFItem(image), colorMap_(this) {}
    int GetVersion() const override;
    // Signature, version, logical screen descriptor and global colour table.
    void LoadFromStream(TByteReader& stream) override;
    void SaveToStream(TByteWriter& stream) override;
    void AssignTo(TGIFHeader& dest) const;

    TGIFGlobalColorMap& ColorMap() { return colorMap_; }
    const TGIFGlobalColorMap& ColorMap() const { return colorMap_; }

    // The logical screen descriptor as stored.
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint8_t Packed = 0;
    uint8_t BackgroundColorIndex = 0;
    uint8_t AspectRatio = 0;

private:
    TGIFGlobalColorMap colorMap_;
};

// The trailer ";": made for one save or load only.
class TGIFTrailer : public TGIFItem {
public:
    using TGIFItem::TGIFItem;
    void SaveToStream(TByteWriter& stream) override { stream.U8(0x3B); }
    // Reads one byte; anything but ";" warns "Invalid Image trailer".
    void LoadFromStream(TByteReader& stream) override;
};

// --- Extensions --------------------------------------------------------------------------------
class TGIFExtension;

// A class of extension: how to make one and how to narrow the choice by the bytes that follow.
struct TGIFExtensionClass {
    const char* Name;
    std::function<std::unique_ptr<TGIFExtension>(TGIFSubImage*)> Create;
    // The class for the extension at the reader's label byte (it may return itself); none: null.
    std::function<const TGIFExtensionClass*(TByteReader&)> FindExtension;
};

class TGIFExtension : public TGIFItem {
public:
    explicit TGIFExtension(TGIFSubImage* subImage);
    TGIFSubImage* SubImage() const { return subImage_; }
    int GetVersion() const override { return 2; }
    virtual uint8_t GetExtensionType() const = 0;
    // The class for the extension starting at the reader's position (the reader is left there).
    static const TGIFExtensionClass* FindExtension(TByteReader& stream);

protected:
    // "!" and the label, checked against the class's own.
    void ReadIntroducer(TByteReader& stream);
    void WriteIntroducer(TByteWriter& stream) const;

private:
    TGIFSubImage* subImage_;
};

class TGIFGraphicControlExtension : public TGIFExtension {
public:
    explicit TGIFGraphicControlExtension(TGIFSubImage* subImage);
    ~TGIFGraphicControlExtension() override;
    uint8_t GetExtensionType() const override { return 0xF9; }
    void LoadFromStream(TByteReader& stream) override;
    void SaveToStream(TByteWriter& stream) override;

    bool Transparent() const { return Packed & 1; }
    void SetTransparent(bool v);
    int Disposal() const { return (Packed >> 2) & 7; }
    void SetDisposal(int v) { Packed = static_cast<uint8_t>((Packed & ~0x1C) | ((v & 7) << 2)); }
    int Delay() const { return DelayTime; }
    void SetDelay(int v) { DelayTime = static_cast<uint16_t>(v); }
    int TransparentColorIndex() const { return TransparentIndex; }
    // An index outside the frame's colours warns "Invalid color index" and stores 0.
    void SetTransparentColorIndex(int index);

    uint8_t BlockSize = 4;
    uint8_t Packed = 0;
    uint16_t DelayTime = 0;
    uint8_t TransparentIndex = 0;
    uint8_t Terminator = 0;
};

class TGIFTextExtension : public TGIFExtension {
public:
    using TGIFExtension::TGIFExtension;
    uint8_t GetExtensionType() const override { return 0x01; }
    void LoadFromStream(TByteReader& stream) override;
    void SaveToStream(TByteWriter& stream) override;

    uint8_t BlockSize = 12;
    uint16_t Left = 0, Top = 0, GridWidth = 0, GridHeight = 0;
    uint8_t CellWidth = 0, CellHeight = 0, TextFGColorIndex = 0, TextBGColorIndex = 0;
    std::vector<std::string> Text;
};

class TGIFCommentExtension : public TGIFExtension {
public:
    using TGIFExtension::TGIFExtension;
    uint8_t GetExtensionType() const override { return 0xFE; }
    void LoadFromStream(TByteReader& stream) override;
    void SaveToStream(TByteWriter& stream) override;

    std::vector<std::string> Comment;
};

// An application extension. This class itself holds a block larger than 11 bytes: the bytes
// past the identifier and the data sub-blocks are kept as they came and written back.
class TGIFApplicationExtension : public TGIFExtension {
public:
    using TGIFExtension::TGIFExtension;
    uint8_t GetExtensionType() const override { return 0xFF; }
    void LoadFromStream(TByteReader& stream) override;
    void SaveToStream(TByteWriter& stream) override;
    virtual void SaveData(TByteWriter& stream);
    virtual void LoadData(TByteReader& stream);

    std::array<uint8_t, 11> Identifier{};  // 8 name bytes, 3 authentication bytes
    std::vector<uint8_t> ExtraBytes;        // of a block larger than 11 (this class only)
    std::vector<std::vector<uint8_t>> Blocks;  // data sub-blocks (this class and unknown ones)

protected:
    virtual bool KeepsExtraBytes() const { return true; }
};

class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
    using TGIFApplicationExtension::TGIFApplicationExtension;

protected:
    bool KeepsExtraBytes() const override { return false; }
};

// "NETSCAPE2.0" (and "ANIMEXTS1.0"): the loop count, 0 for ever.
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
    explicit TGIFAppExtNSLoop(TGIFSubImage* subImage);
    void SaveData(TByteWriter& stream) override;
    void LoadData(TByteReader& stream) override;

    uint16_t Loops = 0;

protected:
    bool KeepsExtraBytes() const override { return false; }
};

// The registries; the latest registration of a label or identifier wins.
void RegisterExtension(uint8_t label, const TGIFExtensionClass* cls);
void RegisterAppExtension(const std::string& identifier, const TGIFExtensionClass* cls);  // 11 bytes
const TGIFExtensionClass* GraphicControlExtensionClass();
const TGIFExtensionClass* TextExtensionClass();
const TGIFExtensionClass* CommentExtensionClass();
const TGIFExtensionClass* ApplicationExtensionClass();
const TGIFExtensionClass* UnknownAppExtensionClass();
const TGIFExtensionClass* NSLoopExtensionClass();

class TGIFExtensionList : public TGIFList<TGIFExtension> {
public:
    explicit TGIFExtensionList(TGIFSubImage* subImage);
    void LoadFromStream(TByteReader& stream, TGIFSubImage* parent);

private:
    TGIFSubImage* subImage_;
};

// --- Frames ------------------------------------------------------------------------------------
// The transparency mask: 1 bit per pixel, most significant first, rows padded to 16 bits, top
// row first; a set bit marks a transparent pixel.
struct TGIFMask {
    int Width = 0;
    int Height = 0;
    int BytesPerRow = 0;
    std::vector<uint8_t> Bits;
    bool Empty() const { return Bits.empty(); }
    bool Test(int x, int y) const { return (Bits[static_cast<size_t>(y) * BytesPerRow + (x >> 3)] >> (7 - (x & 7))) & 1; }
};

class TGIFSubImage : public TGIFItem {
public:
    explicit TGIFSubImage(TGIFImage* image);
    ~TGIFSubImage() override;

    int GetVersion() const override;
    void LoadFromStream(TByteReader& stream) override;
    void SaveToStream(TByteWriter& stream) override;
    virtual void LoadFromFile(const std::string& fileName);
    void Clear();

    TGIFExtensionList& Extensions() { return extensions_; }
    TGIFLocalColorMap& ColorMap() { return colorMap_; }
    const TGIFLocalColorMap& ColorMap() const { return colorMap_; }
    // The local table if it has entries, else the global one if it has, else the empty local one.
    TGIFColorMap& ActiveColorMap();

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { left_ = static_cast<uint16_t>(v); }
    void SetTop(int v) { top_ = static_cast<uint16_t>(v); }
    void SetWidth(int v);
    void SetHeight(int v);
    uint8_t Packed() const { return packed_; }
    void SetPacked(uint8_t v) { packed_ = v; }
    bool Interlaced() const { return packed_ & 0x40; }
    void SetInterlaced(bool v) { packed_ = static_cast<uint8_t>(v ? packed_ | 0x40 : packed_ & ~0x40); }
    int BitsPerPixel() const { return colorMap_.BitsPerPixel(); }
    int ColorResolution() const { return colorMap_.BitsPerPixel() - 1; }
    bool Empty() const { return data_.empty() || width_ == 0 || height_ == 0; }
    bool Transparent() const { return transparent_; }
    void SetTransparentFlag(bool v) { transparent_ = v; }

    // The pixels: width x height indexes, rows top down.
    uint8_t* Data() { return data_.data(); }
    const uint8_t* Data() const { return data_.data(); }
    int64_t DataSize() const { return static_cast<int64_t>(data_.size()); }
    void AllocData();
    void FreeData() { data_ = {}; }
    TGIFGraphicControlExtension* GraphicControlExtension() const { return gce_; }
    void SetGraphicControlExtension(TGIFGraphicControlExtension* gce) { gce_ = gce; }

    // The frame as a bitmap, rendered on first use; null for an empty frame.
    TBitmap* Bitmap();
    // The mask; empty when no pixel is transparent.
    const TGIFMask& Mask();
    bool HasMask();
    bool Rendered() const { return bitmap_ != nullptr; }
    void FreeBitmap();
    void FreeMask();
    TGIFPalette GetPalette();
    void SetPalette(const TGIFPalette& palette);

    // Rect is the place of the whole logical screen.
    void Draw(TCanvas& canvas, const TRect& rect, bool doTile, bool doTransparent);
    void StretchDraw(TCanvas& canvas, const TRect& rect, bool doTile, bool doTransparent);
    // The frame's rectangle within rect scaled by rect's size over the logical screen's.
    TRect ScaleRect(const TRect& rect) const;

    // From another frame, or from a bitmap (reduced to 256 colours by the picture's settings
    // when deeper than 8 bits).
    void Assign(const TGIFSubImage& source);
    void Assign(TBitmap& source);
    void AssignTo(TBitmap& dest);

private:
    friend class TGIFGraphicControlExtension;
    void RenderBitmap();
    void RenderPlain(TBitmap& bitmap, bool wantMask);
    void RenderDithered(TBitmap& bitmap, bool wantMask);
    void BuildTransparentImage(QImage& out, bool masked);

    TGIFExtensionList extensions_;
    TGIFLocalColorMap colorMap_;
    uint16_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    uint8_t packed_ = 0;
    std::unique_ptr<TBitmap> bitmap_;
    TGIFMask mask_;
    bool needMask_ = true;
    std::vector<uint8_t> data_;
    bool transparent_ = false;
    TGIFGraphicControlExtension* gce_ = nullptr;
    TGIFPalette palette_;
};

class TGIFImageList : public TGIFList<TGIFSubImage> {
public:
    using TGIFList<TGIFSubImage>::TGIFList;
};

// --- The picture -------------------------------------------------------------------------------
enum TGIFPaintOption {
    doAsync, doTransparent, doAnimate, doLoop, doLoopContinuously, doValidateCanvas, doDirectDraw,
    doClearOnLoop, doTile, doDither, doAutoDither
};
using TGIFPaintOptions = uint16_t;  // bit n: TGIFPaintOption n
constexpr TGIFPaintOptions PaintOption(TGIFPaintOption o) { return static_cast<TGIFPaintOptions>(1u << o); }

enum TGIFColorReduction {
    rdNone, rdSystem20, rdHalftone, rdGray4, rdMonochrome, rdGray256, rdCube216, rdOctree, rdOctreeSystem
};
enum TGIFDitherMode { dmNearest, dmFloydSteinberg };
enum TGIFCompression { gcLZW, gcRLE };

// Tuning values.
extern int GIFDelayUnit;        // ms per delay unit of a graphic control extension
extern int GIFDefaultDelay;     // delay units of a frame without a delay
extern int GIFMinimumDelay;
extern int GIFMaximumDelay;
// Read by the painters' and render workers' threads.
extern std::atomic<int> GIFMaxRenderThreads;
extern std::atomic<int> GIFRenderWait;
extern std::atomic<int> GIFRenderIdle;
extern const char* const GIFVersions[3];  // "", "87a", "89a"

// The largest frame a bitmap may become. A file read may hold at most kMaxPicturePixels pixels in
// all its frames together (about what loading, rendering and drawing them all takes a quarter of
// a second for), and a logical screen of no more: a descriptor asking for more is refused with
// "Image too large" before anything is allocated, so a small hostile file can ask neither for
// gigabytes nor for seconds of work.
constexpr int64_t kMaxFramePixels = int64_t(1) << 26;
constexpr int64_t kMaxPicturePixels = int64_t(1) << 24;

class TGIFImage : public TGraphic, public TGIFObject {
public:
    TGIFImage();
    ~TGIFImage() override;
    TGIFImage(const TGIFImage&) = delete;
    TGIFImage& operator=(const TGIFImage&) = delete;

    // TGraphic
    int Width() const override { return header_.Width; }
    int Height() const override { return header_.Height; }
    // "Image width too small for contained frames" when a frame reaches past the value.
    void SetWidth(int w) override;
    void SetHeight(int h) override;
    bool Empty() const override { return images_.Count() == 0; }
    // One frame (or no doAnimate): the first frame at once. Animated: played by the picture's
    // own painter, into the cached bitmap (drawn here, so that every frame the painter puts
    // there reaches the screen through the picture's change) or, with doDirectDraw, straight
    // onto the canvas.
    void Draw(TCanvas& canvas, const TRect& rect) override;
    // A painter of this picture on canvas at rect; null (and painter null) when the picture or
    // rect is empty. With doAsync (kept only for more than one frame) it is returned not yet
    // started; otherwise it runs to its end at once and null is returned.
    TGIFPainter* Paint(TGIFPainter*& painter, TCanvas& canvas, TGIFPaintOptions options, const TRect& rect);
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void AssignTo(TBitmap& dest) override;
    void SaveToFile(const std::string& fileName) override;  // saved atomically
    // The byte-level forms, used by the stream forms.
    void LoadFromBytes(TByteReader& reader);
    void SaveToBytes(TByteWriter& writer);

    bool Equals(const TGIFImage& other) const { return this == &other; }
    void Assign(const TGIFImage* source);  // null clears
    void Assign(TBitmap& source);
    void Assign(TGraphic& source);

    // The "GIF Image" clipboard format: the file's bytes, with the bitmap beside them.
    static const char* const ClipboardFormatName;
    void LoadFromClipboardFormat(const std::string& format, const std::vector<uint8_t>& data);
    // Empty when the picture is; otherwise the file's bytes and the picture as one bitmap.
    bool SaveToClipboardFormat(std::vector<uint8_t>& data, TBitmap& bitmap);

    virtual void Warning(TGIFObject* sender, TGIFSeverity severity, const std::string& message);
    void Progress(TGIFObject* sender, TProgressStage stage, int percent, bool redrawNow, const std::string& message);

    // A new frame from a TBitmap or a copy of a TGIFSubImage; the screen grows to hold it.
    int Add(TBitmap& source);
    int Add(const TGIFSubImage& source);
    void Clear();
    // Stops every painter of this picture, waits for the threaded ones to end, and drops the
    // cached bitmap. GUI thread.
    void StopDraw();
    // The picture as one bitmap (the first frame on the logical screen); null when empty.
    TBitmap* Bitmap();

    TGIFPalette GetPalette();
    void SetPalette(const TGIFPalette& palette);
    bool PaletteModified() const { return paletteModified_; }
    void SetPaletteModified(bool v) { paletteModified_ = v; }
    // Dithering to the colour cube is in effect (doDither, and doAutoDither only on a
    // palette display).
    bool DoDither() const;

    TGIFImageList& Images() { return images_; }
    TGIFHeader& Header() { return header_; }
    TGIFColorMap& GlobalColorMap() { return header_.ColorMap(); }
    TColor BackgroundColor();
    // Highest bits per pixel of the global and every local table: the code size of frames
    // without a table of their own.
    int BitsPerPixel() const;
    int ColorResolution() const;
    int GetVersion() const;
    // Reports a change of the picture (frames, size, palette).
    void NotifyChanged(TGIFObject* sender);

    TGIFPaintOptions DrawOptions = PaintOption(doAsync) | PaintOption(doTransparent) | PaintOption(doAnimate) |
                                   PaintOption(doLoop) | PaintOption(doDither) | PaintOption(doAutoDither);
    TGIFColorReduction ColorReduction = rdCube216;
    int ReductionBits = 8;  // 1..8 when used
    TGIFDitherMode DitherMode = dmNearest;
    TGIFCompression Compression = gcLZW;
    int ThreadPriority = 3;
    int AnimationSpeed = 100;
    TColor DrawBackgroundColor = clNone;

    TGIFWarningEvent OnWarning;
    TGIFProgressEvent OnProgress;
    std::function<void(TGIFObject*)> OnPaintStart, OnPaintFrame, OnPaintLoop, OnPaintEnd;

private:
    friend class TGIFPainter;
    friend class TGIFSubImage;
    int AddFrame(std::unique_ptr<TGIFSubImage> frame);
    void StopOwnPainter();
    void DrawCached(TCanvas& canvas, const TRect& rect);
    bool drawing_ = false;
    // The painters of this picture, and its own painter (the one Draw made): GUI thread only.
    TThreadList<TGIFPainter*> painters_;
    TGIFPainter* painter_ = nullptr;
    TCanvas* painterCanvas_ = nullptr;  // where Draw asked its own painter to paint
    TRect painterRect_;
    // Stops the picture's own painter first: it may be painting into the bitmap.
    void DropBitmap();
    // A painter still listed (one running further up this thread's stack) forgets the picture.
    void DetachPainters();
    bool querying_ = false;
    bool paletteModified_ = false;
    int64_t loadedPixels_ = 0;  // of the frames read so far by the load under way
    TGIFImageList images_;
    TGIFHeader header_;
    TGIFPalette palette_;
    std::unique_ptr<TBitmap> bitmap_;
};

// Registers the picture class for "GIF" in the picture registry (once; later calls do nothing).
void RegisterGIFImage();

// The system clipboard: the picture goes there as a bitmap and under the "GIF Image" format;
// pasting takes "GIF Image" when it is there, else a bitmap. False when there is nothing to
// copy or paste.
bool CopyToClipboard(TGIFImage& picture);
bool PasteFromClipboard(TGIFImage& picture);

template <class T>
void TGIFList<T>::Warning(TGIFSeverity severity, const std::string& message)
{
    if (image_) image_->Warning(this, severity, message);
}

} // namespace GIFImg
