// Printed exhibits: the azimuth and elevation pattern exhibits (a graph page or a data-table
// page under a title block), the system summary, and the printed page of the azimuth
// comparison. Every page is drawn on a logical page of 800 x 1050 units scaled to the
// printer's page (UserCanvas.h).
//
// A missing value (a field of 0, a power of 0) prints "---", never a made-up level.
#pragma once

#include "platform/graphics/Graphics.h"

#include <functional>
#include <memory>
#include <string>

class TPrinter;

// The window layer shows the hourglass while an exhibit is drawn: called with true at the
// start and false at the end of every such stretch, on every path.
extern std::function<void(bool busy)> ExhibitBusyHook;

// Shows the busy cursor while it lives.
class TExhibitBusy {
public:
    TExhibitBusy();
    ~TExhibitBusy();
    TExhibitBusy(const TExhibitBusy&) = delete;
    TExhibitBusy& operator=(const TExhibitBusy&) = delete;
};

// The maker's lines of the footer.
extern const char* const kMakerName;
extern const char* const kMakerAddress1;
extern const char* const kMakerAddress2;

// The exhibit pictures "REDBELVOR" (the maker's logo), "TLINE_H" and "TLINE_V" (a run of
// transmission line, lying and standing), the program's compiled-in pictures, read once on
// first use. Null for another name.
TBitmap* ExhibitBitmap(const std::string& name);

// Copies the bitmap stretched into the scaled logical rectangle (corners truncated).
void DrawBitmapScaled(TCanvas& canvas, const TRect& logical, TBitmap& bitmap);

// --- Pattern exhibits ----------------------------------------------------------------
// By PrintOption: a graph page or a data page on Printer(), or the pattern text file
// (PatternFileName); nothing for another option. Printing errors and file errors raise; a
// document that fails is aborted, never half delivered.
void PrintPatternExhibit(bool azimuth);
void PrintPatternExhibit(bool azimuth, TPrinter& printer);

void DrawExhibitHeader(TCanvas& canvas, bool azimuth);
void PrintAzimuthGraph(TCanvas& canvas);
void PrintElevationGraphNearRange(TCanvas& canvas);
void PrintElevationGraphFullRange(TCanvas& canvas);
void PrintAzimuthTable(TCanvas& canvas);
// The azimuth table of the record `id` rotated by `rotation` degrees, in the canvas's font.
void PrintAzimuthTable(TCanvas& canvas, int32_t id, int32_t rotation);
void PrintElevationTable(TCanvas& canvas);
// The elevation grid of the printed graphs in the logical rectangle.
void DrawElevationPrintGrid(TCanvas& canvas, const TRect& rect, int columns);

// --- System summary ------------------------------------------------------------------
// The page body on a canvas whose scale is set.
void PrintSystemExhibit(TCanvas& canvas);
// The whole document: portrait, scale, the page.
void PrintSystemExhibitDocument(TPrinter& printer);

// --- Comparison page -----------------------------------------------------------------
void DrawComparisonHeader(TCanvas& canvas, const std::string& type, const std::string& gain, bool legend);
void DrawComparisonFrame(TCanvas& canvas);
// The comparison window's page: header and polar frame, then `drawLegend` draws the traces
// and legend rows on the printer canvas.
void PrintComparisonGraph(const std::function<void(TCanvas&)>& drawLegend);
void PrintComparisonGraph(const std::function<void(TCanvas&)>& drawLegend, TPrinter& printer);

// --- Numbers -------------------------------------------------------------------------
// General format with 3 significant digits (20 -> "20", 13.0103 -> "13", 0.7525 -> "0.753").
std::string Gen3(double v);
