// The report's printing through the program's one printer layer (platform/printing): the
// same printer, print queue and PDF path the planner's exhibits use.
#pragma once

#include "report/output/RpxOutput.h"
#include "report/output/qt/RpxPainterDevice.h"

#include <memory>

class TPrinter;

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
    TPrinter& printer_;
    std::unique_ptr<TRpxPainterDevice> device_;
};

// Report outputs given no printer print on the program's printer (Printer()).
void InstallRpxPlatformPrinting();
