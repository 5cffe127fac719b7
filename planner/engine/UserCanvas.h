// Scaled page drawing: printed pages are laid out in logical units of a page (800 x 1050 for
// the exhibits) and scaled to the device. A device coordinate is Round(XScale x x) and
// Round(YScale x y), halves to even.
#pragma once

#include "platform/graphics/Graphics.h"

#include <cstdint>
#include <string>

// Device units per logical unit, set by SetUserScale.
extern double XScale;
extern double YScale;

constexpr int kLogicalPageWidth = 800;
constexpr int kLogicalPageHeight = 1050;

// Scales the logical page onto the device page. A logical size of 0 leaves the scales alone.
void SetUserScale(int32_t deviceWidth, int32_t deviceHeight, int32_t logicalWidth, int32_t logicalHeight);

int UserX(int x);
int UserY(int y);
// A pen width of w logical units in device units (by the vertical scale).
int UserPenWidth(int32_t w);

void UserMoveTo(TCanvas& canvas, int x, int y);
void UserLineTo(TCanvas& canvas, int x, int y);
void UserRectangle(TCanvas& canvas, int x1, int y1, int x2, int y2);
void UserEllipse(TCanvas& canvas, int x1, int y1, int x2, int y2);
// Text at the scaled point. vertical 1 moves it up by half its height, 2 by its height;
// horizontal 1 moves it left by half its width, 2 by its width.
void UserTextOut(TCanvas& canvas, int x, int y, int vertical, int horizontal, const std::string& text);
// A 65 x 25 value box whose left edge stands at x, centred vertically on y: heavier left and
// top edges, the value with `decimals` decimals right-aligned inside.
void UserValueBox(TCanvas& canvas, int x, int y, int decimals, double value);
// The same box around a text (such as "---" for a value that does not exist).
void UserTextBox(TCanvas& canvas, int x, int y, const std::string& text);
