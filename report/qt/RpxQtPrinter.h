// The report engine's printer layer in the program: a thin adapter over the program's printer
// stack (platform/printing). The printers and what each can do come from the printer catalog,
// the one list the program's printer and its print dialog use too; the current printer is the
// program's printer (selecting on either side selects on both). The device mode the engine
// writes reaches that printer as its page format when a report prints (RpxPlatformPrinter.h);
// what that printer takes otherwise (its print dialog) the device mode takes too.
#pragma once

#include "report/RpxPrinter.h"

#include <map>
#include <string>

class TRpxQtPrinterBackend : public TRpxPrinterBackend {
public:
    // Reads nothing yet: the catalog is asked when the engine first wants a printer.
    TRpxQtPrinterBackend();
    ~TRpxQtPrinterBackend() override;

    // Reads the printer list again (and forgets the device modes kept).
    void Reload();

    std::vector<std::string> Printers() override;
    std::string DefaultPrinter() override;
    int PrinterIndex() override;
    void SetPrinterIndex(int index) override;
    bool DeviceNames(std::string& device, std::string& driver, std::string& port) override;
    bool GetDevMode(TRpxDevMode& dm) override;
    void SetDevMode(const TRpxDevMode& dm) override;
    void ResetDevMode() override;
    bool Capabilities(TRpxDeviceCaps& caps) override;
    bool Metrics(TRpxDeviceMetrics& m) override;
    bool Printing() override;

private:
    struct Device;
    Device* Current();
    void FollowProgramPrinter(Device& d);

    std::string current_;
    std::map<std::string, Device> devices_;
};
