// Where report pages go and what they are drawn with (report/output, no Qt): TRpxOutput
// sends a report to a printer (mode 0), records it into a document for the caller (1) or for
// its own viewer (2), or drops it (3, a dry run that only measures); its TRpxCanvas has the
// drawing operations, each executed on the printer's device, recorded, or ignored.
#pragma once

#include "RpxDevice.h"
#include "RpxFile.h"
#include "RpxObjects.h"

#include "report/DaxPageSetup.h"

#include <functional>
#include <memory>
#include <string>

class TRpxOutput;
class TRpxBitmap;

// The printer a mode-0 output prints on: one document at a time, its pages drawn on
// Device(). BeginDoc opens the document with its first page.
class TRpxPrintDevice {
public:
    virtual ~TRpxPrintDevice() = default;
    virtual void BeginDoc(const std::string& title) = 0;
    virtual void StartPage() = 0;
    virtual void EndPage() = 0;
    virtual void EndDoc() = 0;
    virtual void Abort() = 0;
    virtual bool Printing() const = 0;
    virtual TRpxDevice& Device() = 0;
};

// The printer outputs take when they are given none (set by the program's printer layer).
extern std::function<std::unique_ptr<TRpxPrintDevice>()> RpxPrintDeviceFactory;

// The window that mode 2 shows its document in while it grows. It shares the document, so
// the document lives as long as either still needs it.
class TRpxOutputViewer {
public:
    virtual ~TRpxOutputViewer() = default;
    virtual void GenerationStarted(std::shared_ptr<TRpxRpxFile> document) = 0;
    virtual void GenerationEnded() = 0;
};
// Filled by the preview; without it mode 2 records like mode 1.
extern std::function<std::shared_ptr<TRpxOutputViewer>()> RpxViewerFactory;

// Measures text for layouts made without a device at hand (memos); a Qt device is installed
// by the program, a fixed-width one serves otherwise.
extern std::function<std::unique_ptr<TRpxDevice>()> RpxMeasuringDeviceFactory;
std::unique_ptr<TRpxDevice> RpxMeasuringDevice();

class TRpxCanvas {
public:
    TRpxCanvas();
    ~TRpxCanvas();
    TRpxCanvas(const TRpxCanvas&) = delete;
    TRpxCanvas& operator=(const TRpxCanvas&) = delete;

    // Font, pen and brush: each change is recorded (modes 1, 2) or selected (mode 0).
    const TRpxFont& Font() const { return font_; }
    const TRpxPen& Pen() const { return pen_; }
    const TRpxBrush& Brush() const { return brush_; }
    void SetFont(const TRpxFont& font);
    void SetPen(const TRpxPen& pen);
    void SetBrush(const TRpxBrush& brush);
    void SetFontAngle(int degrees);

    void SetTextAlign(uint16_t flags);
    void TextOut(int x, int y, std::string_view text);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void TextRect(const TRpxRect& r, int x, int y, std::string_view text);
    void FillRect(const TRpxRect& r);
    // A picture as the bytes it saves to (BMP, JPEG, icon or metafile); kind 1 bitmap,
    // 0 icon, 2 metafile, 3 other. Empty bytes draw and record nothing.
    void DrawGraphic(int x, int y, int kind, const std::vector<uint8_t>& bytes);
    void StretchGraphic(const TRpxRect& r, int kind, const std::vector<uint8_t>& bytes);
    void ShadeRect(const TRpxRect& r, int pattern);
    void TextInRect(const TRpxRect& line, int x, const TRpxRect& bounds, bool noJustify, std::string_view text,
                    int y);
    // A BMP file from its start.
    void DrawBitmap(int x, int y, TStream* bmp);
    void StretchBitmap(const TRpxRect& r, TStream* bmp);
    void CheckBox(const TRpxRect& r, int style, int lineWidth, TRpxColor colour);

    // Draws on another device (none to detach): the stock font, black pen and null brush.
    void AttachDC(TRpxDevice* dc);
    // The device drawn on (mode 0), or one that measures text like it.
    TRpxDevice* DC() const { return dc_; }

    TRpxOutput* Output = nullptr;
    uint8_t Mode = 0;
    int PixelsPerInchX = 96, PixelsPerInchY = 96;

private:
    friend class TRpxOutput;
    TRpxRpxFile* Recorder() const;
    bool Drawing() const { return Mode == 0 && dc_; }
    void SelectFont();
    void SelectPen();
    void SelectBrush();
    void PictureColours();

    TRpxFont font_;
    TRpxPen pen_;
    TRpxBrush brush_;
    TRpxDevice* dc_ = nullptr;
};

class TRpxOutput {
public:
    // printer: the printer of mode 0 (not owned); none takes one from RpxPrintDeviceFactory
    // when the output begins.
    explicit TRpxOutput(TRpxPrintDevice* printer = nullptr);
    ~TRpxOutput();
    TRpxOutput(const TRpxOutput&) = delete;
    TRpxOutput& operator=(const TRpxOutput&) = delete;

    void SetOutputMode(uint8_t mode);
    uint8_t Mode() const { return mode_; }
    TRpxDevice* CurrentDC() const;
    void SetPrinterSetup(const TRpxPrinterSetup& setup) { PrinterSetup->Assign(setup); }

    void BeginOutput();
    void EndOutput();
    void AbortOutput();
    void StartOutputPage();
    void EndOutputPage();
    void AdvancePage()
    {
        EndOutputPage();
        StartOutputPage();
    }

    TRpxCanvas& Canvas() { return *canvas_; }
    TRpxPrintDevice* Printer() const { return printer_; }

    std::string FileName;
    std::shared_ptr<TRpxRpxFile> Document;
    std::unique_ptr<TRpxPrinterSetup> PrinterSetup;
    int PixelsPerInchX = 96, PixelsPerInchY = 96;
    float Progress = 0;
    std::shared_ptr<TRpxOutputViewer> Viewer;
    std::string Title;
    bool SaveToFile = true;

private:
    void SetPageOrigin();
    void Finish(bool aborted);

    TRpxPrintDevice* printer_;
    std::unique_ptr<TRpxPrintDevice> ownPrinter_;
    uint8_t mode_ = 0;
    std::unique_ptr<TRpxCanvas> canvas_;
    TRpxDevice* dc_ = nullptr;
};
