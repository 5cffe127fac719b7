// The report's printing through the program's one printer layer (platform/printing): the
// same printer, print queue and PDF path the planner's exhibits use. The report's page setup,
// as the engine's printer layer (report/RpxPrinter.h) holds it, becomes the printer's page
// format when the document begins, and again at a page whose setup differs from the last.
#pragma once

#include "platform/printing/PrinterCatalog.h"
#include "platform/printing/Printers.h"
#include "report/RpxPrinter.h"
#include "report/output/RpxOutput.h"
#include "report/output/qt/RpxPainterDevice.h"

#include <memory>
#include <optional>

class TRpxPlatformPrintDevice : public TRpxPrintDevice {
public:
    // printer: not owned; it must outlive the device.
    explicit TRpxPlatformPrintDevice(TPrinter& printer);
    ~TRpxPlatformPrintDevice() override;

    void BeginDoc(const std::string& title) override;
    void StartPage() override;
    void EndPage() override {}
    void EndDoc() override;
    void Abort() override;
    bool Printing() const override;
    TRpxDevice& Device() override;

private:
    class TPageDevice;
    void Restore();
    TPrinter& printer_;
    std::unique_ptr<TPageDevice> device_;
    TPrinterPageFormat format_;
    // The printer's settings before the job, put back when it ends.
    std::optional<TPrinter::TSavedFormat> saved_;
};

// The settings of a device mode as the program's printer takes them: only the fields the
// device mode holds, papers and bins by their numbers in the printer's capabilities; paper,
// orientation, duplex, copies, collation and source.
TPrinterPageFormat RpxPageFormat(const TRpxDevMode& dm, const TRpxDeviceCaps& caps);

// Report outputs given no printer print on the program's printer (Printer()).
void InstallRpxPlatformPrinting();
