// Printing a recorded document (report/output, no Qt): page ranges, copies made by the
// program (collated or not), the page setup sent again only when the paper changes, a new
// job for each further collated pass on a simplex printer, abort and stop.
#pragma once

#include "RpxFile.h"
#include "RpxOutput.h"

#include <functional>

class TRpxPrinter : public TRpxPageTaker {
public:
    // printer: where the pages go (not owned).
    explicit TRpxPrinter(TRpxPrintDevice& printer) : printer_(printer) {}

    // n clamped to the document's complete pages.
    void TakePage(TRpxRpxFile& document, int n) override;
    void TakeRange(TRpxRpxFile& document, int first, int last) override { PrintRange(document, first, last); }
    void PrintRange(TRpxRpxFile& document, int first, int last);

    bool Aborted = false;
    bool Stopped = false;
    int32_t CurrentPage = 0;
    std::function<void(TRpxPrinter&)> OnProgress;
    // Lets pending window messages run between pages (an abort button acts here).
    std::function<void()> ProcessMessages;

protected:
    // Sends a page setup to the printer.
    virtual void SendSetup(TRpxPrinterSetup& setup) { setup.ApplyToPrinter(); }

private:
    void Progress()
    {
        if (OnProgress) OnProgress(*this);
    }

    TRpxPrintDevice& printer_;
};
