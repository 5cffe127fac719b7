// Printers for the tests: a laser whose driver numbers its A4 paper its own way and names
// its bins freely, and a plain letter printer.
#pragma once

#include "report/RpxFakePrinter.h"

#include <memory>

inline TRpxFakePrinterBackend::Printer LaserPrinter()
{
    TRpxFakePrinterBackend::Printer p;
    p.Name = "Laser";
    p.Caps.Papers = {{1, "Letter", 2159, 2794}, {300, "A4 210 x 297 mm", 2100, 2970},
                     {5, "Legal", 2159, 3556}, {DMPAPER_USER, "User defined", 0, 0}};
    p.Caps.Bins = {{1, "Upper tray"}, {4, "Manual feed"}, {261, "Automatically select"},
                   {262, "Envelope Manual Feed"}, {263, "Envelope tray"}};
    p.Caps.Resolutions = {{300, 300}, {600, 600}};
    p.Caps.Duplex = true;
    p.Defaults.Fields = DM_ORIENTATION | DM_PAPERSIZE | DM_SCALE | DM_COPIES | DM_DEFAULTSOURCE |
                        DM_PRINTQUALITY | DM_COLOR | DM_DUPLEX | DM_YRESOLUTION | DM_COLLATE | DM_FORMNAME;
    p.Defaults.Orientation = 1;
    p.Defaults.PaperSize = 1;
    p.Defaults.FormName = "Letter";
    p.Defaults.Copies = 1;
    p.Defaults.DefaultSource = 261;
    p.Defaults.PrintQuality = 600;
    p.Defaults.YResolution = 600;
    p.Defaults.Color = 2;
    p.Defaults.Duplex = 1;
    p.Defaults.Collate = 1;
    // Letter at 600 dpi with a quarter-inch border (one side wider).
    p.Metrics = {150, 150, 5100, 6600, 4800, 6300, 600, 600};
    return p;
}

inline TRpxFakePrinterBackend::Printer PlainPrinter()
{
    TRpxFakePrinterBackend::Printer p;
    p.Name = "Plain";
    p.Caps.Papers = {{1, "Letter", 2159, 2794}, {9, "A4", 2100, 2970}};
    p.Defaults.Fields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_COLOR;
    p.Defaults.Copies = 2;
    p.Defaults.Color = 1;
    p.Metrics = {0, 0, 850, 1100, 850, 1100, 100, 100};
    return p;
}

// Installs a backend for one test and removes it (with the cache) afterwards.
struct TFakePrinters {
    explicit TFakePrinters(bool withPrinters = true)
    {
        backend = std::make_shared<TRpxFakePrinterBackend>();
        if (withPrinters) {
            backend->AddPrinter(LaserPrinter());
            backend->AddPrinter(PlainPrinter());
        }
        SetPrinterBackend(backend);
    }
    ~TFakePrinters() { SetPrinterBackend(nullptr); }
    TRpxFakePrinterBackend::Printer& Current() { return backend->printers[size_t(backend->index)]; }
    std::shared_ptr<TRpxFakePrinterBackend> backend;
};
