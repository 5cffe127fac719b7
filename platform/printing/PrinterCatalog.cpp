#include "platform/printing/PrinterCatalog.h"

const TPrinterPaper* TPrinterCapabilities::PaperByNumber(int number) const
{
    for (const TPrinterPaper& p : Papers)
        if (p.Number == number) return &p;
    return nullptr;
}

const TPrinterBin* TPrinterCapabilities::BinByNumber(int number) const
{
    for (const TPrinterBin& b : Bins)
        if (b.Number == number) return &b;
    return nullptr;
}

void TPrinterPageFormat::Merge(const TPrinterPageFormat& o)
{
    if (o.Orientation) Orientation = o.Orientation;
    if (o.Paper) Paper = o.Paper;
    if (o.Duplex) Duplex = o.Duplex;
    if (o.Copies) Copies = o.Copies;
    if (o.Collate) Collate = o.Collate;
    if (o.Resolution) Resolution = o.Resolution;
    if (o.Color) Color = o.Color;
    if (o.Source) Source = o.Source;
}

namespace {

class TEmptyCatalog : public TPrinterCatalog {
public:
    std::vector<std::string> Names() override { return {}; }
    std::string DefaultName() override { return {}; }
    const TPrinterCapabilities* Capabilities(const std::string&) override { return nullptr; }
    bool PageMetrics(const std::string&, const TPrinterPageFormat&, TPrinterPageMetrics&) override { return false; }
};

std::shared_ptr<TPrinterCatalog>& Installed()
{
    static std::shared_ptr<TPrinterCatalog> catalog;
    return catalog;
}

std::function<std::shared_ptr<TPrinterCatalog>()>& Factory()
{
    static std::function<std::shared_ptr<TPrinterCatalog>()> make;
    return make;
}

}  // namespace

TPrinterCatalog& PrinterCatalog()
{
    if (!Installed() && Factory()) Installed() = Factory()();
    if (Installed()) return *Installed();
    static TEmptyCatalog empty;
    return empty;
}

bool PrinterCatalogInstalled() { return Installed() != nullptr || static_cast<bool>(Factory()); }

void InstallPrinterCatalog(std::shared_ptr<TPrinterCatalog> catalog)
{
    Factory() = nullptr;
    Installed() = std::move(catalog);
}

void InstallPrinterCatalogFactory(std::function<std::shared_ptr<TPrinterCatalog>()> make)
{
    Installed().reset();
    Factory() = std::move(make);
}
