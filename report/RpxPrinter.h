// What the current printer can do (bins, papers, resolutions, duplex) and a small set of
// device settings that travel to and from its device mode. The printer itself is reached
// through TRpxPrinterBackend: the system's printers in the program, a fake in tests.
#pragma once

#include "platform/runtime/SysUtils.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Device-mode field bits and codes, with their usual values.
enum : uint32_t {
    DM_ORIENTATION = 0x00000001, DM_PAPERSIZE = 0x00000002, DM_PAPERLENGTH = 0x00000004,
    DM_PAPERWIDTH = 0x00000008, DM_SCALE = 0x00000010, DM_COPIES = 0x00000100,
    DM_DEFAULTSOURCE = 0x00000200, DM_PRINTQUALITY = 0x00000400, DM_COLOR = 0x00000800,
    DM_DUPLEX = 0x00001000, DM_YRESOLUTION = 0x00002000, DM_TTOPTION = 0x00004000,
    DM_COLLATE = 0x00008000, DM_FORMNAME = 0x00010000,
};
constexpr int16_t DMPAPER_USER = 256;
constexpr int16_t DMBIN_USER = 256;

// The device mode of a printer: the settings a print job starts from.
struct TRpxDevMode {
    uint32_t Fields = 0;
    int16_t Orientation = 1;     // 1 portrait, 2 landscape
    int16_t PaperSize = 1;       // paper number
    int16_t PaperLength = 0;     // tenths of a millimetre
    int16_t PaperWidth = 0;
    int16_t Scale = 100;
    int16_t Copies = 1;
    int16_t DefaultSource = 7;   // bin number
    int16_t PrintQuality = 0;    // -4..-1 or dots per inch
    int16_t Color = 1;           // 1 monochrome, 2 colour
    int16_t Duplex = 1;          // 1 simplex, 2 long edge, 3 short edge
    int16_t YResolution = 0;
    int16_t TTOption = 0;
    int16_t Collate = 0;
    std::string FormName;        // at most 31 characters
};

struct TRpxDeviceBin {
    int16_t Number;
    std::string Name;
};
struct TRpxDevicePaper {
    int16_t Number;
    std::string Name;
    int32_t Width;   // tenths of a millimetre, portrait
    int32_t Length;
};

// What the driver reports for the current printer.
struct TRpxDeviceCaps {
    std::vector<TRpxDeviceBin> Bins;
    std::vector<TRpxDevicePaper> Papers;
    std::vector<std::pair<int32_t, int32_t>> Resolutions;
    bool Duplex = false;
    bool TrueTypeKnown = false;   // false: the TrueType query failed
    int32_t TrueType = 0;
};

// The printable area of the current device mode, in device pixels.
struct TRpxDeviceMetrics {
    int32_t PhysicalOffsetX = 0, PhysicalOffsetY = 0;
    int32_t PhysicalWidth = 0, PhysicalHeight = 0;
    int32_t HorzRes = 0, VertRes = 0;
    int32_t LogPixelsX = 0, LogPixelsY = 0;
};

// The printer layer under the engine: a list of printers, a current one, and its device
// mode (which the backend keeps per printer, as a printer object does).
class TRpxPrinterBackend {
public:
    virtual ~TRpxPrinterBackend() = default;
    virtual std::vector<std::string> Printers() = 0;
    // The configured default printer; "" when none is configured.
    virtual std::string DefaultPrinter() = 0;
    virtual int PrinterIndex() = 0;
    virtual void SetPrinterIndex(int index) = 0;
    virtual bool DeviceNames(std::string& device, std::string& driver, std::string& port) = 0;
    // False when the current printer has no device mode to give (retried by the caller).
    virtual bool GetDevMode(TRpxDevMode& dm) = 0;
    virtual void SetDevMode(const TRpxDevMode& dm) = 0;
    // The current printer takes its driver's default device mode.
    virtual void ResetDevMode() = 0;
    virtual bool Capabilities(TRpxDeviceCaps& caps) = 0;
    virtual bool Metrics(TRpxDeviceMetrics& m) = 0;
    // True while a document is being printed.
    virtual bool Printing() { return false; }
    // A document in progress switches to a new device mode from its next page.
    virtual void ResetDC(const TRpxDevMode& dm) { (void)dm; }
};

// The backend the engine uses; without one the machine has no printers. Setting it
// empties the printer-information cache.
void SetPrinterBackend(std::shared_ptr<TRpxPrinterBackend> backend);
TRpxPrinterBackend& PrinterBackend();

// The number of printers, 0 when no default printer is configured.
int PrinterCount();
// 1 for the 9x family, 2 for the NT family (which writes form names), 0 otherwise.
int PlatformKind();

class TRpxBinInfo {
public:
    std::string Name;   // at most 24 characters
    int16_t Number = 0;
};

class TRpxResolution {
public:
    int32_t X = 0, Y = 0;
};

class TRpxPaper {
public:
    std::string Name;   // at most 64 characters
    int16_t Number = 0;
    int32_t Width = 0, Length = 0;   // tenths of a millimetre, portrait
};

// Device settings, each with a "given" flag: 0 orientation, 1 paper size, 2 paper length,
// 3 paper width (tenths of a millimetre), 4 scale, 5 copies, 6 default source, 7 print
// quality, 8 colour, 9 duplex, 10 y resolution, 11 TrueType option, 12 collate; flag 13 is
// the form name.
class TRpxPrinterSettings {
public:
    virtual ~TRpxPrinterSettings() = default;
    virtual void Assign(const TRpxPrinterSettings& other);

    int32_t ValueAt(int index) const;
    void SetValueAt(int index, int32_t value);
    void SetFormName(const std::string& name);
    void ClearGiven() { Given.fill(false); }
    // Reads the current printer's device mode; only fields it holds become given.
    void ReadFromPrinter();
    // Writes the given values (else those the printer had when first seen) into the
    // current printer's device mode.
    void WriteToPrinter();

    std::array<int32_t, 13> Values{};
    std::array<bool, 14> Given{};
    std::string FormName;
    bool CustomPaper = false;
};

class TRpxPrinterInfo {
public:
    // Takes a copy of the cached information of the current printer (filled on first use).
    TRpxPrinterInfo();
    virtual ~TRpxPrinterInfo();
    TRpxPrinterInfo(const TRpxPrinterInfo&) = delete;
    TRpxPrinterInfo& operator=(const TRpxPrinterInfo&) = delete;
    virtual void Assign(const TRpxPrinterInfo& other);

    void Refresh();
    void Lock(bool refresh);
    void Unlock();
    void Load();
    const TRpxPaper* PaperByNumber(int number) const;
    const TRpxPaper* PaperByName(std::string_view name) const;
    const TRpxPaper* PaperByWords(std::string_view name) const;
    const TRpxBinInfo* BinByNumber(int number) const;
    const TRpxBinInfo* BinByNumberOrName(int number) const;
    const TRpxBinInfo* BinByWords(std::string_view name) const;
    static std::string StandardPaperName(int number);
    static std::string StandardBinName(int number);

    std::vector<std::unique_ptr<TRpxBinInfo>> Bins;
    int32_t TrueTypeCaps = 0;
    bool CanDuplex = false;
    std::vector<std::unique_ptr<TRpxResolution>> Resolutions;
    std::vector<std::unique_ptr<TRpxPaper>> Papers;
    std::string PrinterName;
    std::string Device, Driver, Port;
    bool DC = false;   // the device is open while locked
    // The locked device mode, nil when not locked.
    TRpxDevMode* DevMode() { return locked_ ? &devMode_ : nullptr; }
    TRpxPrinterSettings Settings;

    // The cached information of the current printer (nil when there is none).
    static TRpxPrinterInfo* Cached();
    static void ClearCache();

private:
    struct Empty {};
    explicit TRpxPrinterInfo(Empty) {}
    TRpxDevMode devMode_;
    bool locked_ = false;
};
