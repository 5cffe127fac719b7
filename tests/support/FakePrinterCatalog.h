// A printer catalog in memory: printers with the capabilities they are given, and a count of
// the times the list was read.
#pragma once

#include "platform/printing/PrinterCatalog.h"

#include <algorithm>
#include <string>
#include <vector>

namespace mwtest {

class TFakePrinterCatalog : public TPrinterCatalog {
public:
    std::vector<std::string> Names() override
    {
        ++listReads;
        std::vector<std::string> names;
        for (const auto& p : printers) names.push_back(p.Name);
        return names;
    }
    std::string DefaultName() override { return defaultName; }
    const TPrinterCapabilities* Capabilities(const std::string& name) override
    {
        const auto it = std::find_if(printers.begin(), printers.end(), [&](const auto& p) { return p.Name == name; });
        return it != printers.end() ? &*it : nullptr;
    }
    // The sheet at 100 dpi with a tenth of an inch all round.
    bool PageMetrics(const std::string& name, const TPrinterPageFormat& f, TPrinterPageMetrics& m) override
    {
        const TPrinterCapabilities* c = Capabilities(name);
        if (!c) return false;
        TPrinterPaper paper = f.Paper ? *f.Paper : TPrinterPaper{1, "Letter", 2159, 2794};
        if (f.Orientation == TPrinterOrientation::poLandscape) std::swap(paper.Width, paper.Length);
        m.Resolution = 100;
        m.SheetWidth = int(paper.Width * 100 / 254);
        m.SheetHeight = int(paper.Length * 100 / 254);
        m.PrintableLeft = m.PrintableTop = 10;
        m.PrintableWidth = m.SheetWidth - 20;
        m.PrintableHeight = m.SheetHeight - 20;
        return true;
    }

    std::vector<TPrinterCapabilities> printers;
    std::string defaultName;
    int listReads = 0;
};

}  // namespace mwtest
