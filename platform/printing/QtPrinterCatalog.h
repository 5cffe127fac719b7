// The system's printers (platform/printing): Qt's printer information for papers,
// resolutions, duplex and colour, CUPS for paper sources, the queue's device and the defaults
// Qt does not give. The list is read when the catalog is made (and by Reload); a printer's
// capabilities when first asked for. Needs a QGuiApplication.
#pragma once

#include "platform/printing/PrinterCatalog.h"

#include <map>
#include <memory>

class TQtPrinterCatalog : public TPrinterCatalog {
public:
    TQtPrinterCatalog();
    ~TQtPrinterCatalog() override;

    std::vector<std::string> Names() override { return names_; }
    std::string DefaultName() override { return default_; }
    const TPrinterCapabilities* Capabilities(const std::string& name) override;
    bool PageMetrics(const std::string& name, const TPrinterPageFormat& format, TPrinterPageMetrics& m) override;
    void Reload() override;

private:
    std::vector<std::string> names_;
    std::string default_;
    std::map<std::string, std::unique_ptr<TPrinterCapabilities>> known_;
};
