// QvGIF: the launcher's GIF picture class (graphics library, Qt Gui).
//
// A picture parses the whole GIF stream, keeps each frame's compressed data and decodes a
// frame into a bitmap the first time it is needed. Pictures assigned from one another share
// their header data and frame items. RegisterGIFImage registers the class with TPicture for
// "gif" and for the clipboard format "GIF Image".
#pragma once

#include "launcher/graphics/GifCodec.h"
#include "platform/graphics/Clipbrd.h"
#include "platform/graphics/Graphics.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TAnimatedCursorImage;

namespace QvGIF {

// Damaged data decodes as far as it goes (true) or raises (false).
extern bool TolerateBadGIFData;

// The clipboard format "GIF Image".
TClipboardFormat CF_GIF();

enum class TProgressStage { psStarting, psRunning, psEnding };

// The picture's header data, shared between pictures assigned from one another.
struct TGIFData {
    std::vector<std::string> Comment;
    uint8_t AspectRatio = 0;
    uint8_t BitsPerPixel = 0;     // size of the global colour table as bits
    uint8_t ColorResolution = 0;
    TColorTable ColorMap;         // the global table; Count 0 when there is none
};

// One frame's compressed data, size and colour table, shared between frames.
struct TGIFItem {
    std::vector<uint8_t> ImageData;  // code size byte, sub-blocks and terminator; empty: none
    int32_t Width = 0;
    int32_t Height = 0;
    uint8_t PackedFields = 0;
    uint8_t BitsPerPixel = 0;  // size of the frame's colour table as bits
    TColorTable ColorMap;
};

using TExtension = TExtensionBlock;

class TGIFImage;

class TGIFFrame {
public:
    explicit TGIFFrame(TGIFImage* owner);
    ~TGIFFrame();
    TGIFFrame(const TGIFFrame&) = delete;
    TGIFFrame& operator=(const TGIFFrame&) = delete;

    void ResetFrame();
    // The decoded frame; decoded on the first call.
    TBitmap& GetBitmap();
    bool HasBitmap() const { return bitmap_ && !bitmap_->Empty(); }
    int FrameWidth();
    int FrameHeight();
    void DrawFrame(TCanvas& canvas, const TRect& rect, bool transparent);
    // The lines of the frame's last comment extension; with create, made when missing.
    std::vector<std::string>* FrameComment(bool create);

    // Copies another frame (sharing its item), a picture's current frame or any graphic.
    void Assign(const TGIFFrame* source);
    void Assign(TGraphic& source);
    // Hands the frame to another frame, or its decoded bitmap to a bitmap.
    void AssignTo(TBitmap& dest);
    // Compresses the frame's bitmap (61098 without one).
    void EncodeBitmap();
    // Compresses a bitmap file of 1, 4 or 8 bits per pixel into the frame (61093 otherwise).
    void EncodeDIB(const std::vector<uint8_t>& bitmapFile);
    // Brings the graphic control extension in line with delay, transparency and disposal.
    void SyncFrameExtensions();

    TGIFImage* Owner() const { return owner_; }
    const TGIFItem& Item() const { return *item_; }
    TGIFItem& MutableItem();  // unshared first

    std::vector<TExtension> Extensions;
    int32_t Left = 0;
    int32_t Top = 0;
    bool Interlaced = false;
    bool Corrupted = false;
    bool Grayscale = false;
    TColor TransparentColor = clNone;
    uint16_t Delay = 0;    // milliseconds
    uint8_t Disposal = 0;  // 0 to 7, as read
    bool LocalTable = false;

private:
    friend class TGIFImage;
    // Takes a frame as parsed (its table is the local one or a copy of the global one).
    void ReadFrameData(TFrameRecord&& record);
    void DecodeToBitmap();
    void ReleaseItem();

    TGIFImage* owner_;
    std::unique_ptr<TBitmap> bitmap_;
    std::shared_ptr<TGIFItem> item_;
};

class TGIFImage : public TGraphic {
public:
    TGIFImage();
    ~TGIFImage() override;
    TGIFImage(const TGIFImage&) = delete;
    TGIFImage& operator=(const TGIFImage&) = delete;

    // The current frame's decoded size; 0 when empty.
    int Width() const override;
    int Height() const override;
    // Raise "Cannot change the Size of a GIF image".
    void SetWidth(int w) override;
    void SetHeight(int h) override;
    bool Empty() const override;
    void Draw(TCanvas& canvas, const TRect& rect) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void AssignTo(TBitmap& dest) override;

    // The window-layout form: an int32 byte count, then the GIF file.
    void ReadData(TStream& stream);
    void WriteData(TStream& stream);
    // Reads size bytes of GIF file from the stream; with decode, frame 0 is decoded at once.
    void ReadGIF(int64_t size, TStream& stream, bool decode);
    // Refuses a picture whose frames together hold more than kMaxPicturePixels.
    void LimitTotalPixels();
    // Writes the picture as a GIF file, with the int32 length in front when asked.
    void WriteGIF(TStream& stream, bool withLength);
    // Compresses every frame that has no compressed data yet.
    void EncodeFrames(bool redecode);

    // True when other is a picture sharing this one's data.
    bool Equals(const TGraphic& other) const;
    // The current frame's palette; null without frames.
    const std::vector<TColor>* GetPalette();
    // Transparent and some frame has a transparent colour.
    bool GetTransparent() const;

    void ResetImage();
    TBitmap& CurrentBitmap();
    void UpdateScreenSize();
    int FrameCount() const { return static_cast<int>(frames_.size()); }
    TGIFFrame& FrameAt(int index) { return *frames_.at(static_cast<size_t>(index)); }
    int FrameIndex() const { return frameIndex_; }
    void SetFrameIndex(int index) { frameIndex_ = index; }
    // Appends a frame made from graphic and makes it current; returns its index.
    int AddFrame(TGraphic& graphic);

    // Copies another picture (sharing its data), one frame, a bitmap or an animated cursor;
    // null resets the picture.
    void Assign(const TGIFImage* source);
    void Assign(const TGIFFrame& frame);
    void Assign(TGraphic& source);
    void Assign(const TAnimatedCursorImage& cursor);

    // "GIF Image" data (int32 count and a GIF file), with a bitmap when the clipboard has one;
    // any other format is read as a bitmap.
    void LoadFromClipboardFormat(TClipboardFormat format, const TClipboardData& clipboard);
    // Puts the first frame's bitmap and, when every frame is compressed, the "GIF Image" data.
    void SaveToClipboardFormat(TClipboardData& clipboard);

    const TGIFData& Data() const { return *data_; }
    TGIFData& MutableData() { return *data_; }

    uint8_t Version = 0;  // 0 none, 1 "87a", 2 "89a"
    uint16_t ScreenWidth = 0;
    uint16_t ScreenHeight = 0;
    TColor BackgroundColor = clNone;
    bool Looping = false;
    int16_t RepeatCount = 1;

    std::function<void(TGIFImage&, TProgressStage, int percent, const std::string& message)> OnProgress;

private:
    friend class TGIFFrame;
    TGIFFrame* CurrentFrame() const;
    void Progress(TProgressStage stage, int percent, const std::string& message = {});

    std::shared_ptr<TGIFData> data_;
    std::vector<std::unique_ptr<TGIFFrame>> frames_;
    int frameIndex_ = -1;
};

// Registers TGIFImage with TPicture for "gif" and the "GIF Image" clipboard format; once,
// later calls do nothing.
void RegisterGIFImage();

} // namespace QvGIF
