// A recorded report of two pages on different paper: "Upright letter" on Letter, then
// "Sideways A4" on A4 turned on its side, in collated copies, two-sided or not.
#pragma once

#include "report/output/RpxOutput.h"

#include <memory>

inline std::shared_ptr<TRpxRpxFile> LetterThenLandscapeA4(int copies = 1, int duplex = 1)
{
    TRpxOutput out;
    out.SetOutputMode(1);
    out.PrinterSetup->SetPaperSize(1);
    out.PrinterSetup->SetOrientation(1);
    out.PrinterSetup->SetCopies(copies);
    out.PrinterSetup->SetCollate(1);
    out.PrinterSetup->SetDuplex(duplex);
    out.BeginOutput();
    out.Canvas().TextOut(96, 96, "Upright letter");
    out.PrinterSetup->SetPaperSize(9);
    out.PrinterSetup->SetOrientation(2);
    out.AdvancePage();
    out.Canvas().TextOut(96, 96, "Sideways A4");
    out.EndOutput();
    return out.Document;
}
