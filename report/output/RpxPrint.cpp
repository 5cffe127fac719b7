#include "RpxPrint.h"

#include <cmath>

void TRpxPrinter::TakePage(TRpxRpxFile& document, int n)
{
    n = ClampPage(document, n);
    PrintRange(document, n, n);
}

void TRpxPrinter::PrintRange(TRpxRpxFile& document, int first, int last)
{
    Aborted = Stopped = false;
    last = std::min(last, document.CompletePages());
    first = std::max(first, 1);
    if (last < first) return;

    TRpxPrinterSetup setup;
    TRpxOutput output(&printer_);
    output.SetOutputMode(0);
    output.Title = document.Title;

    document.ReadPageSetup(setup, 1);
    // With the user's own setup (the viewer's print dialog) the copies asked for there count,
    // not the ones recorded with the first page.
    const TRpxPrinterSetup& counts = document.UserSetup ? *document.PrinterSetup : setup;
    const int copies = std::max(1, static_cast<int>(counts.Copies));
    const bool collate = counts.Collate != 0;
    // The program makes the copies itself.
    setup.SetCopies(1);
    if (document.UserSetup) {
        setup.ReadFromPrinter();
        if (copies > 1) SendSetup(setup);
    } else {
        SendSetup(setup);
        setup.ReadFromPrinter();
    }
    output.SetPrinterSetup(setup);
    CurrentPage = first;
    Progress();
    output.BeginOutput();
    document.ZoomX = document.ZoomY = 100;
    document.Printing = true;

    bool firstSheet = true;
    TRpxPrinterSetup previous, current;
    auto sheet = [&](int j, int c, bool firstOfPass) {
        CurrentPage = j;
        Progress();
        if (!Aborted && !Stopped) {
            if (!firstSheet) {
                if (!document.UserSetup && (collate || c == 0)) {
                    document.ReadPageSetup(setup, j);
                    setup.SetCopies(1);
                }
                bool send = firstOfPass;
                if (!send && j > 1) {
                    document.ReadPageSetup(previous, j - 1);
                    document.ReadPageSetup(current, j);
                    previous.Copies = current.Copies = 1;
                    send = !previous.SamePageFormat(current);
                }
                if (send) SendSetup(setup);
                setup.ReadFromPrinter();
                output.SetPrinterSetup(setup);
                output.StartOutputPage();
            }
            firstSheet = false;
            document.PlayOriginX = -static_cast<int>(std::lround(output.PixelsPerInchX * setup.LeftOffset));
            document.PlayOriginY = -static_cast<int>(std::lround(output.PixelsPerInchY * setup.TopOffset));
            document.PlayPage(printer_.Device(), j);
            output.EndOutputPage();
        }
        if (ProcessMessages) ProcessMessages();
    };

    if (collate && copies > 1) {
        for (int pass = 0; pass < copies; ++pass) {
            if (pass > 0 && setup.Duplex != 1 && !Aborted && !Stopped) {
                // A duplex printer starts each copy on a fresh sheet. The new job opens on
                // the first page, so it takes that page's setup, not the last one's.
                output.EndOutput();
                if (!document.UserSetup) {
                    document.ReadPageSetup(setup, first);
                    setup.SetCopies(1);
                }
                SendSetup(setup);
                setup.ReadFromPrinter();
                output.SetPrinterSetup(setup);
                output.BeginOutput();
                firstSheet = true;
            }
            for (int j = first; j <= last; ++j) sheet(j, pass, j == first);
        }
    } else {
        for (int j = first; j <= last; ++j) {
            int pageCopies = copies;
            TRpxPrinterSetup own;
            if (!document.UserSetup && document.ReadPageSetup(own, j)) pageCopies = std::max(1, static_cast<int>(own.Copies));
            for (int c = 0; c < pageCopies; ++c) sheet(j, c, j == first && c == 0);
        }
    }

    document.Printing = false;
    if (Aborted) output.AbortOutput();
    else output.EndOutput();
    Progress();
}
