// Graphics: colours, pens, brushes, fonts, the canvas, bitmaps and pictures, drawn with Qt Gui.
//
// The drawing model is the class library's: a canvas carries a pen, a brush and a font and a pen
// position; rectangles and ellipses exclude their right and bottom edges; text is placed by its top
// left corner. Drawing on images is never antialiased (shapes and text), so a drawn page keeps to
// the few colours it was drawn with.
#pragma once

#include "platform/runtime/Classes.h"

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <typeindex>
#include <vector>

class QPaintDevice;
class TBitmapCanvas;

// --- Colours ---------------------------------------------------------------------------------
// 0x00BBGGRR: red in the low byte. Values with the high byte 0xFF are system colours
// (resolved by ColorToRGB); clNone and clDefault are the class library's markers.
using TColor = int32_t;

constexpr TColor RGB(int r, int g, int b)
{
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colours: 0xFF000000 | index.
constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000);
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;

// Plain RGB for any colour: system colours take fixed values so images come out the same everywhere;
// clNone gives white, clDefault black.
TColor ColorToRGB(TColor c);
QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);
TColor FromQRgb(QRgb c);

// --- Geometry --------------------------------------------------------------------------------
struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Right and Bottom lie just outside the rectangle.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

constexpr TPoint Point(int x, int y) { return {x, y}; }
constexpr TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
constexpr TRect Bounds(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }

// --- Pen, brush, font ------------------------------------------------------------------------
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
enum TPenMode { pmCopy };
enum TBrushStyle { bsSolid, bsClear };
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;  // pixels; 0 draws as 1
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// A set of font styles: Style = {fsBold, fsItalic}; Style.Contains(fsBold).
class TFontStyles {
public:
    TFontStyles() = default;
    TFontStyles(std::initializer_list<TFontStyle> styles)
    {
        for (TFontStyle s : styles) Include(s);
    }
    bool Contains(TFontStyle s) const { return (bits_ >> s) & 1u; }
    void Include(TFontStyle s) { bits_ |= static_cast<uint8_t>(1u << s); }
    void Exclude(TFontStyle s) { bits_ &= static_cast<uint8_t>(~(1u << s)); }
    bool Empty() const { return bits_ == 0; }
    friend bool operator==(const TFontStyles&, const TFontStyles&) = default;

private:
    uint8_t bits_ = 0;
};

// Size is in points, Height in device pixels (negative: character height, positive: cell height),
// related through PixelsPerInch (96 for the screen and images; a printer canvas sets its own).
class TFont {
public:
    std::string Name = "Arial";
    TColor Color = clBlack;
    TFontStyles Style;
    int PixelsPerInch = 96;

    int Size() const;
    void SetSize(int points);
    int Height() const { return height_; }
    void SetHeight(int pixels) { height_ = pixels; }

    // The Qt font drawn with: the name mapped to an installed metric-compatible family
    // ("Arial" -> "Liberation Sans"), never antialiased.
    QFont ToQFont() const;

private:
    int height_ = -11;  // 8 points at 96 pixels per inch
};

// The installed family drawn for a font name.
std::string MapFontName(const std::string& name);

class TGraphic;

// --- Canvas ----------------------------------------------------------------------------------
// Draws on a paint device through a QPainter that it opens on first use (or on a painter it is
// given). The drawing operations are virtual so that recording and printer canvases can derive.
class TCanvas {
public:
    TCanvas();                               // no device: a base for canvases that supply one
    explicit TCanvas(QPaintDevice* device);  // draws on device (not owned)
    explicit TCanvas(QPainter& painter);     // draws through a painter already open
    virtual ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TPen Pen;
    TBrush Brush;
    TFont Font;

    TPoint PenPos() const { return penPos_; }
    void SetPenPos(TPoint p) { penPos_ = p; }

    virtual void MoveTo(int x, int y);
    virtual void LineTo(int x, int y);
    virtual void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    virtual void FillRect(const TRect& r);
    virtual void FrameRect(const TRect& r);
    virtual void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    virtual void Polyline(std::span<const TPoint> points);
    virtual void Polygon(std::span<const TPoint> points);
    // Counter-clockwise along the ellipse in (x1,y1,x2,y2), from its radial through (x3,y3)
    // to its radial through (x4,y4); equal radials draw the whole ellipse.
    virtual void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    // Text with its top left corner at (x, y); the background is filled with the brush unless
    // the brush is clear. The pen position moves to the end of the text.
    virtual void TextOut(int x, int y, const std::string& text);
    // Text at (x, y) clipped to r; r is filled with the brush first unless the brush is clear.
    virtual void TextRect(const TRect& r, int x, int y, const std::string& text);
    virtual int TextWidth(const std::string& text);
    virtual int TextHeight(const std::string& text);

    // Pixel colour; -1 when the device has no readable pixels or (x, y) lies outside.
    virtual TColor Pixels(int x, int y);
    virtual void SetPixel(int x, int y, TColor c);

    void Draw(int x, int y, TGraphic& graphic);
    void StretchDraw(const TRect& r, TGraphic& graphic);
    // Copies source's pixels in sourceRect into dest, scaled.
    virtual void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
    // Draws image (or its part source) scaled into dest without smoothing; what TBitmap::Draw uses.
    virtual void DrawImage(const TRect& dest, const QImage& image, const QRect& source);

    // The clip box: the clip rectangle when one is set, else the device's bounds.
    TRect ClipRect() const;
    virtual void SetClipRect(const TRect& r);
    virtual void ResetClip();

    // Closes the painter this canvas opened (it reopens on the next drawing call).
    void Release();

    // Expires when this canvas is destroyed: code that draws on it later (an animation
    // painter handing its drawing over from another thread) tells by it that the canvas went.
    std::weak_ptr<const void> Lifetime();

protected:
    // The device to open a painter on; the base gives the one it was made with.
    virtual QPaintDevice* AcquireDevice() { return device_; }
    // Called after the canvas closed its painter on the acquired device.
    virtual void DeviceReleased() {}
    // The pixels a canvas can read (for Pixels and CopyRect); none for printers.
    virtual QImage* ReadableImage();
    // The painter, opened on demand; null when there is nothing to draw on (an empty bitmap).
    QPainter* Painter();
    // The bounds of the device drawn on.
    virtual TRect DeviceBounds();
    void ApplyPen(QPainter& p);
    void ApplyBrush(QPainter& p);
    void ApplyFont(QPainter& p);
    bool HasPainter() const { return painter_ != nullptr; }

private:
    QPaintDevice* device_ = nullptr;
    QPainter* external_ = nullptr;
    std::unique_ptr<QPainter> own_;
    QPainter* painter_ = nullptr;
    TPoint penPos_;
    bool clipped_ = false;
    TRect clip_;
    std::shared_ptr<const void> life_;  // made by the first Lifetime()
};

// --- Graphics --------------------------------------------------------------------------------
class TBitmap;

class TGraphic {
public:
    virtual ~TGraphic() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int w) = 0;
    virtual void SetHeight(int h) = 0;
    virtual bool Empty() const = 0;
    virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    // Reads the whole file, then the stream (EFOpenError when it cannot be opened).
    virtual void LoadFromFile(const std::string& fileName);
    // Assembles the stream in memory, then writes the file in one piece (EFCreateError).
    virtual void SaveToFile(const std::string& fileName);
    // Copies this graphic into a bitmap (its size, its pixels); the base draws it on the bitmap.
    virtual void AssignTo(TBitmap& dest);

    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool v);

    std::function<void(TGraphic&)> OnChange;

protected:
    void Changed() { if (OnChange) OnChange(*this); }

private:
    bool transparent_ = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

// Bits per pixel of a format (pfDevice: 32).
int PixelFormatBits(TPixelFormat f);

// A bitmap in the class library's memory layout: rows top down, each padded to 4 bytes;
// pf1bit and pf4bit pack pixels from the high bits; pf8bit and below index the palette;
// pf15bit is 5-5-5 and pf16bit 5-6-5 in 16-bit little-endian words; pf24bit is blue, green,
// red; pf32bit (and pfDevice) blue, green, red, unused.
class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = pfDevice);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // Size changes keep the pixels at the top left; new area takes the canvas brush colour
    // (white unless changed). EOutOfResources for a bitmap beyond 512 MB.
    void SetWidth(int w) override { SetSize(w, height_); }
    void SetHeight(int h) override { SetSize(width_, h); }
    void SetSize(int w, int h);
    bool Empty() const override { return width_ == 0 || height_ == 0; }

    TPixelFormat PixelFormat() const { return format_; }
    // Converts the pixels; to an indexed format through the palette (or the format's default
    // palette when the bitmap has none of the right size), by the nearest colour.
    void SetPixelFormat(TPixelFormat f);
    // The palette of pf1bit, pf4bit and pf8bit (up to 2, 16, 256 entries); a bitmap of another
    // format keeps a palette it was given for a later conversion to an indexed format.
    const std::vector<TColor>& Palette() const { return palette_; }
    // Sets the palette (cut to the format's size); the pixel indexes stay as they are.
    void SetPalette(std::vector<TColor> palette);

    // Row row's bytes (EInvalidGraphicOperation "Scan line index out of range" outside).
    uint8_t* ScanLine(int row);
    const uint8_t* ScanLine(int row) const;
    int BytesPerScanLine() const { return stride_; }

    TCanvas& Canvas();

    // Transparent drawing leaves out TransparentColor (by default the bottom left pixel).
    TColor TransparentColor() const;
    void SetTransparentColor(TColor c) { transparentColor_ = c; }

    void Draw(TCanvas& canvas, const TRect& rect) override;
    // Windows BMP ("Bitmap image is not valid" as EInvalidGraphic for damaged data).
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void AssignTo(TBitmap& dest) override;
    // Copies another bitmap (size, format, palette, pixels) or a graphic drawn onto this bitmap.
    void Assign(const TBitmap& source);
    void Assign(TGraphic& source);

    // The picture as a Qt image (RGB32, or ARGB32 with the transparent colour see-through when
    // Transparent), a copy; and the reverse, choosing the format from the image.
    QImage ToImage() const;
    void AssignImage(const QImage& image);

private:
    friend class TBitmapCanvas;
    void Flush();  // ends canvas drawing so the bits are current
    QImage View() const;  // QImage over bits_ in the Qt format of format_, or none for pf4bit
    QImage* PaintTarget();
    void PaintDone();
    void Reformat(int w, int h, TPixelFormat f);
    TColor PixelAt(int x, int y) const;
    uint32_t RawAt(int x, int y) const;  // the index, or the TColor of a direct format
    void PutRaw(int x, int y, uint32_t v);
    uint32_t Encode(TColor rgb) const;   // nearest palette index or the direct value

    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = pfDevice;
    int stride_ = 0;
    std::vector<uint8_t> bits_;
    std::vector<TColor> palette_;
    TColor transparentColor_ = clDefault;
    std::unique_ptr<TBitmapCanvas> canvas_;
    QImage paint_;       // what the canvas paints on while it is open
    bool paintIsWork_ = false;  // paint_ is a 32-bit copy to be mapped back to the palette
};

// --- Pictures and the format registry --------------------------------------------------------
using TGraphicClass = std::type_index;
using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

class TPicture {
public:
    TPicture();
    ~TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    TGraphic* Graphic() const { return graphic_.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> g);
    // The picture as a bitmap; a picture of another class is replaced by an empty bitmap.
    TBitmap& Bitmap();
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }

    // The class is chosen by the file's extension, without regard to case: a registered class,
    // else Qt's reader for the format into a TBitmap. EInvalidGraphic for an unknown extension
    // ("Unknown picture file extension (.xyz)") and for data the class cannot read.
    void LoadFromFile(const std::string& fileName);
    // The same for data held elsewhere (resources): ext with or without its dot.
    void LoadFromStream(TStream& stream, const std::string& ext);
    void SaveToFile(const std::string& fileName);

    // A new graphic for an extension, or null when none is registered.
    static std::unique_ptr<TGraphic> CreateGraphic(const std::string& ext);
    // ext without its dot ("gif"); a later registration of an extension wins.
    static void RegisterFileFormat(const std::string& ext, const std::string& description, TGraphicClass cls,
                                   TGraphicFactory factory);
    template <class G>
    static void RegisterFileFormat(const std::string& ext, const std::string& description)
    {
        RegisterFileFormat(ext, description, typeid(G), [] { return std::unique_ptr<TGraphic>(new G()); });
    }
    // Removes every extension registered for the class.
    static void UnregisterGraphicClass(TGraphicClass cls);
    template <class G>
    static void UnregisterGraphicClass() { UnregisterGraphicClass(typeid(G)); }

    std::function<void(TPicture&)> OnChange;

private:
    std::unique_ptr<TGraphic> graphic_;
};

// Reads a picture held in memory (a compiled-in resource) through the registry and returns it
// as a bitmap; EInvalidGraphic when the data is empty or cannot be read.
std::unique_ptr<TBitmap> LoadPictureBitmap(const void* data, std::size_t size, const std::string& ext);
