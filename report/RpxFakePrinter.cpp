#include "RpxFakePrinter.h"

TRpxFakePrinterBackend::Printer& TRpxFakePrinterBackend::AddPrinter(Printer p)
{
    p.Current = p.Defaults;
    printers.push_back(std::move(p));
    if (defaultPrinter.empty()) defaultPrinter = printers.back().Name;
    if (index < 0) index = 0;
    return printers.back();
}

TRpxFakePrinterBackend::Printer& TRpxFakePrinterBackend::At(const std::string& name)
{
    for (auto& p : printers)
        if (p.Name == name) return p;
    throw EListError("No printer " + name);
}

TRpxFakePrinterBackend::Printer* TRpxFakePrinterBackend::Current()
{
    return index >= 0 && index < static_cast<int>(printers.size()) ? &printers[static_cast<size_t>(index)] : nullptr;
}

std::vector<std::string> TRpxFakePrinterBackend::Printers()
{
    std::vector<std::string> names;
    for (const auto& p : printers) names.push_back(p.Name);
    return names;
}

bool TRpxFakePrinterBackend::DeviceNames(std::string& device, std::string& driver, std::string& port)
{
    Printer* p = Current();
    if (!p) return false;
    device = p->Name;
    driver = p->Driver;
    port = p->Port;
    return true;
}

bool TRpxFakePrinterBackend::GetDevMode(TRpxDevMode& dm)
{
    Printer* p = Current();
    if (!p) return false;
    if (missingDevModes > 0) {
        --missingDevModes;
        return false;
    }
    dm = p->Current;
    return true;
}

void TRpxFakePrinterBackend::SetDevMode(const TRpxDevMode& dm)
{
    if (Printer* p = Current()) p->Current = dm;
}

void TRpxFakePrinterBackend::ResetDevMode()
{
    if (Printer* p = Current()) p->Current = p->Defaults;
}

bool TRpxFakePrinterBackend::Capabilities(TRpxDeviceCaps& caps)
{
    Printer* p = Current();
    if (!p) return false;
    caps = p->Caps;
    return true;
}

bool TRpxFakePrinterBackend::Metrics(TRpxDeviceMetrics& m)
{
    Printer* p = Current();
    if (!p) return false;
    m = p->Metrics;
    return true;
}
