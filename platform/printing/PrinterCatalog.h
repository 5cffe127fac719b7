// The printers of the machine and what each can do (platform/printing): one list, read once,
// that the program's printer, its print dialog and the report engine all take their printers
// from. The system's catalog is over Qt's printer information and CUPS (QtPrinters.h); tests
// install one in memory.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

enum class TPrinterOrientation { poPortrait, poLandscape };
enum class TPrinterDuplex { pdSimplex, pdLongEdge, pdShortEdge };

// A sheet the printer takes: portrait size in tenths of a millimetre. Standard papers carry
// their usual paper number (9 A4, 1 Letter...); others numbers of their own above 256, and
// 256 itself stands for a size of the user's own up to the given largest sheet.
struct TPrinterPaper {
    int16_t Number = 0;
    std::string Name;
    int32_t Width = 0, Length = 0;
    bool operator==(const TPrinterPaper&) const = default;
};
constexpr int16_t PrinterCustomPaper = 256;

// A paper source: its bin number (standard numbers: 1 upper, 4 manual, 7 automatic...),
// the name shown and the spooler's keyword for it.
struct TPrinterBin {
    int16_t Number = 0;
    std::string Name;
    std::string Keyword;
};

struct TPrinterCapabilities {
    std::string Name;
    std::string Driver;   // make and model
    std::string Port;     // where the queue sends its jobs
    std::vector<TPrinterPaper> Papers;
    std::vector<TPrinterBin> Bins;
    std::vector<int> Resolutions;   // dots per inch
    bool Duplex = false;
    bool Color = false;
    // What a job gets when it asks for nothing (0: not known).
    int16_t DefaultPaper = 0;
    int16_t DefaultBin = 0;
    int DefaultResolution = 0;
    TPrinterDuplex DefaultDuplex = TPrinterDuplex::pdSimplex;
    bool DefaultColor = false;

    const TPrinterPaper* PaperByNumber(int number) const;
    const TPrinterBin* BinByNumber(int number) const;
};

// How the pages of a job are printed. Only the settings given travel: the printer keeps its
// own for the rest. Paper and orientation may change between the pages of a document; the
// others hold for a whole job.
struct TPrinterPageFormat {
    std::optional<TPrinterOrientation> Orientation;
    std::optional<TPrinterPaper> Paper;
    std::optional<TPrinterDuplex> Duplex;
    std::optional<int> Copies;
    std::optional<bool> Collate;
    std::optional<int> Resolution;   // dots per inch
    std::optional<bool> Color;
    std::optional<std::string> Source;   // a bin's keyword or name
    bool operator==(const TPrinterPageFormat&) const = default;

    // Takes over the settings that `other` gives.
    void Merge(const TPrinterPageFormat& other);
};

// A sheet of a printer and its printable area, in device pixels from the sheet's corner.
struct TPrinterPageMetrics {
    int Resolution = 0;
    int SheetWidth = 0, SheetHeight = 0;
    int PrintableLeft = 0, PrintableTop = 0, PrintableWidth = 0, PrintableHeight = 0;
};

class TPrinterCatalog {
public:
    virtual ~TPrinterCatalog() = default;
    virtual std::vector<std::string> Names() = 0;
    // The configured default printer; "" when none is configured.
    virtual std::string DefaultName() = 0;
    // Null for a name the catalog does not list.
    virtual const TPrinterCapabilities* Capabilities(const std::string& name) = 0;
    // The sheet a job of that format gets on the printer; false for an unknown printer.
    virtual bool PageMetrics(const std::string& name, const TPrinterPageFormat& format, TPrinterPageMetrics& m) = 0;
    // Reads the list again (printers added or removed since).
    virtual void Reload() {}
};

// The catalog in force: the one installed (made on first use), else an empty one.
TPrinterCatalog& PrinterCatalog();
bool PrinterCatalogInstalled();
void InstallPrinterCatalog(std::shared_ptr<TPrinterCatalog> catalog);
// Installs the maker of the catalog instead, so that a program that prints nothing never
// reads the printer list.
void InstallPrinterCatalogFactory(std::function<std::shared_ptr<TPrinterCatalog>()> make);
