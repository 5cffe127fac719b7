// The exhibit pages of a PDF export, drawn in image pixels on the hidden page image (at least
// 765 x 900) that is then written as a GIF and converted. They carry what the printed exhibits
// carry, laid out for the image: a frame, the logo, the exhibit box, the data block and the
// title-block footer. The pattern pages take their texts from AzimuthPdfText and
// ElevationPdfText (as the pages show them); pages 2 and 3 draw their plot on the image first.
//
// Images are drawn without antialiasing (text included), so a page keeps to the few colours it
// was drawn with and fits a GIF's colour table.
#pragma once

#include "platform/graphics/Graphics.h"

#include <string>

// text on one line, right-aligned in r and clipped to it.
void DrawLabelRight(TCanvas& canvas, const std::string& text, const TRect& r);

void DrawElevationExhibitPage(TCanvas& canvas);
void DrawAzimuthExhibitPage(TCanvas& canvas);
// The comparison page's frame, logo and title-block footer (no exhibit box, no data box).
void DrawComparisonPdfTitleBlock(TCanvas& canvas);
// The whole system summary; the caller clears the image first.
void DrawSystemExhibitPage(TCanvas& canvas);
