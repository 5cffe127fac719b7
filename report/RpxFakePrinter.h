// A printer layer in memory, for tests: printers with the capabilities, default device
// modes and printable areas they are given.
#pragma once

#include "RpxPrinter.h"

#include <string>
#include <vector>

class TRpxFakePrinterBackend : public TRpxPrinterBackend {
public:
    struct Printer {
        std::string Name;
        std::string Driver = "Fake Driver";
        std::string Port = "FILE:";
        TRpxDeviceCaps Caps;
        TRpxDevMode Defaults;          // the driver's default device mode
        TRpxDeviceMetrics Metrics;
        TRpxDevMode Current;           // the printer object's device mode
    };

    // Adds a printer whose current device mode starts as its defaults.
    Printer& AddPrinter(Printer p);
    Printer& At(const std::string& name);

    std::vector<std::string> Printers() override;
    std::string DefaultPrinter() override { return defaultPrinter; }
    int PrinterIndex() override { return index; }
    void SetPrinterIndex(int i) override { index = i; ++selections; }
    bool DeviceNames(std::string& device, std::string& driver, std::string& port) override;
    bool GetDevMode(TRpxDevMode& dm) override;
    void SetDevMode(const TRpxDevMode& dm) override;
    void ResetDevMode() override;
    bool Capabilities(TRpxDeviceCaps& caps) override;
    bool Metrics(TRpxDeviceMetrics& m) override;
    bool Printing() override { return printing; }
    void ResetDC(const TRpxDevMode& dm) override { lastReset = dm; ++resets; }

    std::vector<Printer> printers;
    std::string defaultPrinter;
    int index = -1;
    bool printing = false;
    int missingDevModes = 0;   // GetDevMode fails this many more times
    int selections = 0;
    int resets = 0;
    TRpxDevMode lastReset;

private:
    Printer* Current();
};
