// The printer layer over the system's printers: Qt's printer information for papers,
// resolutions, duplex and colour, CUPS for paper sources and the defaults Qt does not
// give. The device mode of each printer is kept here, as a printer object keeps it.
// The current printer is one with the program's printer (platform/printing) when that is a
// system printer of the same list: selecting a printer on either side selects it on both.
// Needs a QGuiApplication.
#pragma once

#include "report/RpxPrinter.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class TRpxQtPrinterBackend : public TRpxPrinterBackend {
public:
    // Reads the printer list now; the current printer is the default one.
    TRpxQtPrinterBackend();
    ~TRpxQtPrinterBackend() override;

    // Reads the printer list again (and forgets what was learnt of each printer).
    void Reload();

    std::vector<std::string> Printers() override { return printers_; }
    std::string DefaultPrinter() override { return defaultPrinter_; }
    int PrinterIndex() override;
    void SetPrinterIndex(int index) override;
    bool DeviceNames(std::string& device, std::string& driver, std::string& port) override;
    bool GetDevMode(TRpxDevMode& dm) override;
    void SetDevMode(const TRpxDevMode& dm) override;
    void ResetDevMode() override;
    bool Capabilities(TRpxDeviceCaps& caps) override;
    bool Metrics(TRpxDeviceMetrics& m) override;

private:
    struct Device;
    Device* Current();

    std::vector<std::string> printers_;
    std::string defaultPrinter_;
    int index_ = -1;
    std::map<std::string, std::unique_ptr<Device>> devices_;
};
