// Pattern plots: polar azimuth plots in relative field or dB, the rectangular elevation plots
// over the near range (-5 .. +10 degrees) and the full range (-5 .. 90), and the plots of the
// exhibit images. Plots draw on a canvas of the given client size; a TBitmap overload draws
// on the bitmap's canvas at its size. Drawing on images is not antialiased.
#pragma once

#include "platform/graphics/Graphics.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// --- Plot state ----------------------------------------------------------------------
extern bool AzimuthPlotInDb;         // false relative field, true dB
extern uint8_t ElevationPlotMode;    // 0 near field, 1 near dB, 2 full field, 3 full dB
extern int32_t PolarRingSpacing;     // pixels between the rings of the current polar plot
extern int32_t AzimuthTraceCount;    // azimuth traces drawn (0 .. kMaxTraces)
extern int32_t ElevationTraceCount;  // near-range elevation traces drawn (0 .. kMaxTraces)

constexpr int kMaxTraces = 4;
// Further traces of the polar and near-range plots. The first trace always follows the
// current selection (SelectedAzimuthId and AzimuthRotation, SelectedElevationId and
// BeamTiltIndex) at the moment it is drawn, so entry 0 of these lists is not read.
extern int32_t AzimuthTraceIds[kMaxTraces];
extern int32_t AzimuthTraceRotations[kMaxTraces];
extern int32_t ElevationTraceIds[kMaxTraces];
extern int32_t ElevationTraceShifts[kMaxTraces];
// Trace 1 red, 2 blue, 3 green, 4 fuchsia. Elevation traces start at blue.
extern const TColor TraceColors[kMaxTraces];

int32_t AzimuthTraceId(int t);
int32_t AzimuthTraceRotation(int t);
int32_t ElevationTraceId(int t);
int32_t ElevationTraceShift(int t);

// Messages of the plots ("Azimuth pattern data is not available") go to the window layer
// through this hook; without one they are dropped.
extern std::function<void(const std::string&)> PlotMessageHook;

// --- Polar geometry ------------------------------------------------------------------
// Ring position of a relative field on the dB plot: 0 dB is ring 8, -40 dB the centre;
// never below 0 (a field of 0 or less is the centre).
double DbRings(double e);
// Point of sample v (field x 1000) at azimuth k degrees rotated clockwise by `rotation`, on a
// polar plot centred at (cx, cy) with ring spacing s.
TPoint AzimuthFieldPoint(int cx, int cy, int s, int v, int k, int rotation);
TPoint AzimuthDbPoint(int cx, int cy, int s, int v, int k, int rotation);

// --- Plots ---------------------------------------------------------------------------
void ClearImage(TCanvas& canvas, int width, int height);
void ClearImage(TBitmap& image);

// The comparison window's polar grid on an image `width` wide (ring spacing from the width).
void DrawPolarGrid(TCanvas& canvas, int width, int height);
void DrawPolarGrid(TBitmap& image);
// Grid and traces of the current plot type, scaled to the client height.
void DrawAzimuthPlot(TCanvas& canvas, int width, int height);
void DrawAzimuthPlot(TBitmap& image);
// The traces of the trace lists around (cx, cy), scaled by PolarRingSpacing. When printing
// the points are logical (UserMoveTo/UserLineTo) and the pen 15 device units wide, red for dB
// and fuchsia for relative field.
void DrawAzimuthTracesDb(int cx, int cy, TCanvas& canvas, bool print);
void DrawAzimuthTracesField(int cx, int cy, TCanvas& canvas, bool print);
// One trace of the record with this code; the pen is penWidth on screen, five times that
// when printing.
void DrawAzimuthTraceField(TCanvas& canvas, std::string_view code, int rotation, int cx, int cy, TColor color,
                           int penWidth, bool print);
void DrawAzimuthTraceDb(TCanvas& canvas, std::string_view code, int rotation, int cx, int cy, TColor color,
                        int penWidth, bool print);

// Clears the image and draws the elevation grid in rect: 19 columns (full range) or 15 (near).
void DrawElevationGrid(TCanvas& canvas, int width, int height, const TRect& rect, int columns);
void DrawElevationPlotFullRange(TCanvas& canvas, int width, int height);
void DrawElevationPlotFullRange(TBitmap& image);
void DrawElevationPlotNearRange(TCanvas& canvas, int width, int height);
void DrawElevationPlotNearRange(TBitmap& image);

// --- Exhibit images ------------------------------------------------------------------
// The polar plot of the azimuth exhibit image: fixed ring steps (27 pixels for 10 rings, 32
// for 8 dB rings), centred 50 pixels below the image's middle.
void DrawAzimuthPdfPlot(TCanvas& canvas, int width, int height);
void DrawAzimuthPdfPlot(TBitmap& image);
// The comparison window's page image: the polar grid alone (33 pixels per dB ring, 27 per
// relative-field ring) centred 50 pixels below the middle, drawn over what is there.
void DrawComparisonPdfGrid(TCanvas& canvas, int width, int height);
// The elevation plot of the exhibit image in the fixed rectangle (100, 100) - (700, 800), near
// or full range by ElevationPlotMode.
void DrawElevationPdfPlot(TCanvas& canvas, int width, int height);
void DrawElevationPdfPlot(TBitmap& image);
// The screen plot by ElevationPlotMode.
void DrawElevationPlot(TBitmap& image);

constexpr TRect kElevationPdfRect{100, 100, 700, 800};
