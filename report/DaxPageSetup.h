// The page setup a report page carries (paper, orientation, margins, units, range,
// destination, preview settings) and its device-level view, the printer setup, with the
// tagged record the recorded report file stores at every page start.
#pragma once

#include "DaxFormat.h"
#include "RpxPrinter.h"

#include "platform/runtime/Classes.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class TDaxPage;

enum TDaxModalPreview : uint8_t { mpModal, mpNonModal, mpDefault };
enum TDaxPreviewOwner : uint8_t { poFormOwned, poAppOwned, poDefault };
enum TDaxFormStyle : uint8_t { pfsNormal, pfsMDIChild, pfsStayOnTop, pfsDefault };
enum TWindowState : uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TRpxZoom : uint8_t { az200, az150, az100, az75, az50, az25, az10, azWidth, azHeight, azPage };

class TDaxPreviewSettings {
public:
    // Copies everything but the zoom.
    void Assign(const TDaxPreviewSettings& o);

    TDaxModalPreview ModalPreview = mpDefault;
    TDaxPreviewOwner PreviewOwner = poDefault;
    TDaxFormStyle FormStyle = pfsDefault;
    TWindowState WindowState = wsMaximized;
    TRpxZoom Zoom = az100;
};

// Printer-setup record tags, one set flag each.
enum TRpxSetupTag : uint8_t {
    tagOrientation, tagPaperSize, tagPaperLength, tagPaperWidth, tagScale, tagCopies,
    tagDefaultSource, tagPrintQuality, tagColor, tagDuplex, tagYResolution, tagTTOption,
    tagCollate, tagFormName,
};

constexpr int16_t kPrinterSetupRecordCode = 101;

// Settings in device terms (lengths in inches). A setter stores the value and raises the
// setting's flag only when the value changes; only flagged settings travel to the printer
// and into records.
class TRpxPrinterSetup {
public:
    TRpxPrinterSetup() = default;
    virtual ~TRpxPrinterSetup() = default;
    TRpxPrinterSetup(const TRpxPrinterSetup&) = delete;
    TRpxPrinterSetup& operator=(const TRpxPrinterSetup&) = delete;
    virtual void Assign(const TRpxPrinterSetup& o);

    // The older fixed record: 37 bytes, or 36 without the collate byte (collate is then 1).
    // Sets every flag; the form name stays. A record of another size, or one with a
    // paper size that is not a finite number, raises EReadError.
    void LoadFixedRecord(const uint8_t* data, size_t size);
    void ClearSetFlags() { SetFlags.fill(false); }
    bool SameAs(const TRpxPrinterSetup& o) const;
    bool SamePageFormat(const TRpxPrinterSetup& o) const;
    static int PrinterCount() { return ::PrinterCount(); }
    virtual void ApplyToPrinter();
    virtual void ReadFromPrinter();

    void SetOrientation(int32_t v);
    void SetPaperSize(int32_t v);
    void SetPaperLength(double v);
    void SetPaperWidth(double v);
    void SetScale(int32_t v);
    void SetCopies(int32_t v);
    void SetDefaultSource(int32_t v);
    void SetPrintQuality(int32_t v);
    void SetColor(int32_t v);
    void SetDuplex(int32_t v);
    void SetYResolution(int32_t v);
    void SetTTOption(int32_t v);
    void SetCollate(uint8_t v);
    void SetFormName(const std::string& v);

    // The tagged record: int16 101, int32 length of the entries, entries of int16 tag and
    // value. A form name longer than 255 bytes is written cut to 255.
    void WriteRecord(TStream& s) const;
    // Reads a tagged record whose code the caller has read already. False (and nothing
    // more read) for a length of 0 or less. The stream is always left just after the
    // record; a record longer than the stream raises EReadError and changes nothing.
    bool ReadRecord(TStream& s);

    int32_t Orientation = 1;
    int32_t PaperSize = 1;
    double PaperLength = 11.0;
    double PaperWidth = 8.5;
    int32_t Scale = 100;
    int32_t Copies = 1;
    int32_t DefaultSource = 1;
    int32_t PrintQuality = -4;
    int32_t Color = 2;
    int32_t Duplex = 1;
    int32_t YResolution = 0;
    int32_t TTOption = 2;
    uint8_t Collate = 1;
    std::string FormName;
    double LeftOffset = 0, RightOffset = 0, TopOffset = 0, BottomOffset = 0;
    TRpxPrinterSettings Settings;
    std::array<bool, 14> SetFlags{};

private:
    void ReadEntries(TStream& s, int64_t end);
};

enum TDaxPaperOrientation : uint8_t { poPortrait, poLandscape, poUseCurrent };
enum TDaxPaperSize : uint8_t {
    psLetter, psExecutive, psLegal, psA4, psCustom, psLetterSmall, psTabloid, psLedger,
    psStatement, psA3, psA4Small, psA5, psB4, psB5, psFolio, psQuarto, ps10x14, ps11x17,
    psNote, psEnv_9, psEnv_10, psEnv_11, psEnv_12, psEnv_14, psCSheet, psDSheet, psESheet,
    psUseCurrent,
};
enum TDaxPaperSource : uint8_t {
    psUpper, psLower, psAuto, psManual, psEnvelope, psEnvelopeManual, psCassette, psMiddle,
    psSmallFmt, psLargeCapacity, psTractor, psLargeFmt, ppsUseCurrent,
};
enum TDaxPaperDuplex : uint8_t { pdSimplex, pdDuplexLongEdge, pdDuplexShortEdge, pdUseCurrent };
enum TDaxDestination : uint8_t { destPrinter, destScreen, destFile };
enum TDaxPrintQuality : uint8_t { pqHigh, pqMedium, pqLow, pqDraft, pqCustom, pqUseCurrent };
enum TDaxTrueTypeOption : uint8_t { ttBitmap, ttDownLoad, ttSubDev, ttDownLoadOutline, ttUseCurrent };
using TDaxPaperCopies = uint16_t;

// The page's own settings, in its Units; "use current" values take whatever the printer
// is set to.
class TDaxPageSetup {
public:
    // Its printer setup starts from the current printer (nothing without one).
    explicit TDaxPageSetup(TDaxPage* page = nullptr);
    virtual ~TDaxPageSetup() = default;
    TDaxPageSetup(const TDaxPageSetup&) = delete;
    TDaxPageSetup& operator=(const TDaxPageSetup&) = delete;
    virtual void Assign(const TDaxPageSetup& o);

    virtual void ApplyToPrinter();
    virtual void ReadFromPrinter();
    virtual void SetOrientation(TDaxPaperOrientation v);
    virtual void SetSize(TDaxPaperSize v);
    virtual void SetSource(TDaxPaperSource v);
    virtual void SetDuplex(TDaxPaperDuplex v);
    virtual void SetCopies(TDaxPaperCopies v);
    virtual void SetHeight(double v);
    virtual void SetWidth(double v);
    virtual void SetPrintQuality(TDaxPrintQuality v);
    virtual void SetLeftMargin(double v);
    virtual void SetTopMargin(double v);
    virtual void SetBottomMargin(double v);
    virtual void SetRightMargin(double v);
    virtual void SetColor(bool v);
    virtual void SetUnits(TDaxUnits v);
    virtual void SetTrueTypeOption(TDaxTrueTypeOption v);

    bool PrinterAvailable() const { return PrinterCount() > 0; }
    double PrintableHeight() const { return height_ - topMargin_ - bottomMargin_; }
    double PrintableWidth() const { return width_ - leftMargin_ - rightMargin_; }
    void ToPrinterSetup();
    void FromPrinterSetup();
    void TakePrinterSetup(const TRpxPrinterSetup& ps);
    void CopyPrinterSetupTo(TRpxPrinterSetup& ps) const { ps.Assign(*printerSetup_); }

    // The paper of a table size in Units, portrait; false for custom and use-current.
    bool TableSize(TDaxPaperSize s, double& width, double& height) const;

    TDaxPage* Page() const { return page_; }
    void SetPage(TDaxPage* p) { page_ = p; }
    TDaxPaperOrientation Orientation() const { return orientation_; }
    TDaxPaperSize Size() const { return size_; }
    TDaxPaperSource Source() const { return source_; }
    TDaxPaperDuplex Duplex() const { return duplex_; }
    TDaxPaperCopies Copies() const { return copies_; }
    double Height() const { return height_; }
    double Width() const { return width_; }
    double LeftMargin() const { return leftMargin_; }
    double TopMargin() const { return topMargin_; }
    double BottomMargin() const { return bottomMargin_; }
    double RightMargin() const { return rightMargin_; }
    bool Color() const { return color_; }
    TDaxUnits Units() const { return units_; }
    TDaxPrintQuality PrintQuality() const { return printQuality_; }
    TDaxTrueTypeOption TrueTypeOption() const { return trueTypeOption_; }
    bool CustomSize() const { return size_ == psCustom; }
    TRpxPrinterSetup& PrinterSetup() { return *printerSetup_; }
    const TRpxPrinterSetup& PrinterSetup() const { return *printerSetup_; }
    TDaxPreviewSettings& PreviewSettings() { return previewSettings_; }
    const TDaxUnitMaster& UnitMaster() const { return unitMaster_; }

    int32_t RangeStart = 0;
    int32_t RangeEnd = 0;
    TDaxDestination Destination = destScreen;
    double PrinterLeftOffset = 0, PrinterTopOffset = 0, PrinterBottomOffset = 0, PrinterRightOffset = 0;
    bool AdjustMargin = true;
    bool TextDriverCompatibility = false;
    bool DirectPrinter = false;
    bool CollatedCopies = true;
    std::string FormName;

    // Device codes of the enumerations.
    static int32_t OrientationCode(TDaxPaperOrientation v);
    static TDaxPaperOrientation OrientationOfCode(int32_t c);
    static int32_t SizeCode(TDaxPaperSize v);
    static TDaxPaperSize SizeOfCode(int32_t c);
    static int32_t SourceCode(TDaxPaperSource v);
    static TDaxPaperSource SourceOfCode(int32_t c);
    static int32_t DuplexCode(TDaxPaperDuplex v);
    static TDaxPaperDuplex DuplexOfCode(int32_t c);
    static int32_t QualityCode(TDaxPrintQuality v);
    static TDaxPrintQuality QualityOfCode(int32_t c);
    static int32_t TrueTypeCode(TDaxTrueTypeOption v);
    static TDaxTrueTypeOption TrueTypeOfCode(int32_t c);

private:
    void Changed();
    double InchesToUnits(double x) const { return unitMaster_.FromInches(units_, x); }
    double UnitsToInches(double x) const { return unitMaster_.ToInches(units_, x); }

    TDaxPage* page_;
    TDaxPaperOrientation orientation_ = poUseCurrent;
    TDaxPaperSize size_ = psUseCurrent;
    TDaxPaperSource source_ = ppsUseCurrent;
    TDaxPaperDuplex duplex_ = pdUseCurrent;
    TDaxPaperCopies copies_ = 1;
    double height_ = 11.0;
    double width_ = 8.5;
    double leftMargin_ = 0.5, topMargin_ = 0.5, bottomMargin_ = 0.5, rightMargin_ = 0.5;
    bool color_ = true;
    TDaxUnits units_ = unitInches;
    TDaxUnitMaster unitMaster_;
    TDaxPrintQuality printQuality_ = pqUseCurrent;
    TDaxTrueTypeOption trueTypeOption_ = ttUseCurrent;
    std::unique_ptr<TRpxPrinterSetup> printerSetup_;
    TDaxPreviewSettings previewSettings_;
};
