// Rich text drawn into a rectangle of a report device (report/rtf/qt): the text is read by
// our RTF reader, laid out with Qt's text document at the given resolution, and drawn line
// by line with the device's own text and line operations, so that it lands on printers,
// page images and recording devices alike. Drawing stops at the first line that does not
// fit (or at a page break) and NextChar tells where the next rectangle continues.
#pragma once

#include "report/output/RpxObjects.h"
#include "report/rtf/RpxRtfReader.h"

#include "platform/runtime/Classes.h"

#include <cstdint>
#include <vector>

class TRpxRtfDraw {
public:
    TRpxRtfDraw() { Reset(); }

    // The default font of text that names none (and of all text with UseFont).
    void SetFont(const TRpxFont& font) { Font = font; }
    // Forgets the text, the device and the settings.
    void Reset();
    int32_t TextLengthOf() const { return TextLength; }
    // The longest paragraph drawn, in characters; a text with a longer one is refused, and
    // a recorded page shows kTooLongText in its place.
    static constexpr int64_t kMaxParagraphLength = 200000;
    static constexpr const char* kTooLongText = "Rich text not shown: a paragraph longer than 200,000 characters";
    // True when the last text loaded was refused for a paragraph over kMaxParagraphLength.
    bool TooLong() const { return tooLong_; }
    // The whole stream, from its start, as RTF. Damaged text, and text with a paragraph over
    // kMaxParagraphLength, loads as no text (false).
    bool LoadFromStream(TStream& stream);
    bool LoadFromBytes(const uint8_t* data, size_t size);
    void SetDC(TRpxDevice* dc) { DC = dc; }
    // Draws from the larger of NextChar and RangeStart up to RangeEnd (-1: the end) into
    // Rect; NextChar := the first character not drawn. Nothing without a device or when
    // everything has been drawn. On a printer the rectangle reaches 5000 twips further down.
    void Draw();

    const TRtfDocument& Document() const { return doc_; }

    int32_t NextChar = 0;
    TRpxRect Rect;                  // device pixels
    TRpxDevice* DC = nullptr;
    int32_t TextLength = 0;
    int32_t ResolutionX = 0, ResolutionY = 0;   // the text's pixels per inch; 0: the device's
    int32_t RangeStart = -1, RangeEnd = -1;
    TRpxFont Font;
    bool UseFont = false;

private:
    TRtfDocument doc_;
    std::vector<int32_t> starts_;   // the first character of each paragraph
    bool tooLong_ = false;
};

// Pixels at a resolution to twips, and the scaling behind it (each product-quotient rounded
// to the nearest, as MulDiv); the width and height scale with the corner.
TRpxRect PixelRectToTwips(const TRpxRect& r, int resolutionX, int resolutionY);
TRpxRect MulDivRect(const TRpxRect& r, int divisorX, int divisorY, int multiplierX, int multiplierY);

// Makes the recorded report player draw its rich-text records (code 40) through TRpxRtfDraw.
void InstallRpxRtfDraw();
