// Fonts, pens and brushes of the report output as values, and their recorded form: the
// payloads of the object table that drawing records refer to (report/output, no Qt).
#pragma once

#include "RpxDevice.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct TRpxFont {
    std::string Name = "Arial";   // UTF-8
    int Size = 10;                 // points
    TRpxColor Color = 0;
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    uint8_t CharSet = 1;           // default charset
    uint8_t PitchAndFamily = 0;
    int32_t Escapement = 0;        // tenths of a degree
    friend bool operator==(const TRpxFont&, const TRpxFont&) = default;

    // The device font at ppiY pixels per inch: height -MulDiv(Size, ppiY, 72).
    TRpxLogFont LogFont(int ppiY) const;
};

struct TRpxPen {
    TRpxColor Color = 0;
    uint8_t Style = rpsSolid;
    int Width = 1;                 // logical units of the drawing
    uint8_t Mode = rpmCopy;
    friend bool operator==(const TRpxPen&, const TRpxPen&) = default;
    TRpxLogPen LogPen() const { return {Style, Width, Color, Mode}; }
};

struct TRpxBrush {
    TRpxColor Color = 0xFFFFFF;
    uint8_t Style = rbsSolid;
    friend bool operator==(const TRpxBrush&, const TRpxBrush&) = default;
    TRpxLogBrush LogBrush() const { return {Style, Color}; }
};

// Object kinds in memory (the file numbers them font 1, pen 2, brush 3).
enum TRpxObjectKind : uint8_t { rokNone = 0, rokBrush = 1, rokFont = 2, rokPen = 3 };
constexpr size_t kFontPayload = 50, kPenPayload = 8, kBrushPayload = 5;
constexpr size_t kFaceNameBytes = 32;

// One entry of a document's object table.
struct TRpxRpxFileObject {
    TRpxObjectKind Kind = rokNone;
    std::vector<uint8_t> Payload;   // 50, 8 or 5 bytes; empty for an entry of unknown kind
};

// Payload layouts (little-endian):
//   font  colour i32, size i16, italic, underline, strike-out, escapement i16, weight i16,
//         charset, output precision, clip precision, quality, pitch-and-family, face char[32]
//   pen   colour i32, style u8, width i16, mode u8
//   brush colour i32, style u8
std::vector<uint8_t> FontPayload(const TRpxFont& font);
std::vector<uint8_t> PenPayload(const TRpxPen& pen);
std::vector<uint8_t> BrushPayload(const TRpxBrush& brush);
// The device objects of payloads; a font takes height -MulDiv(size, ppiY, 72). The face
// name is bounded by the payload even without a terminating zero.
TRpxLogFont FontOfPayload(const std::vector<uint8_t>& p, int ppiY);
TRpxLogPen PenOfPayload(const std::vector<uint8_t>& p);
TRpxLogBrush BrushOfPayload(const std::vector<uint8_t>& p);

// File kind <-> memory kind.
int16_t FileKindOf(TRpxObjectKind k);
TRpxObjectKind MemoryKindOf(int16_t fileKind);
size_t PayloadSize(TRpxObjectKind k);

// Saturates a coordinate to int16 (a page far larger than a sheet must not wrap around).
int16_t SaturateI16(int64_t v);
