// Reads Rich Text Format into paragraphs of formatted runs (report/rtf, no Qt): everything
// the report's RTF writer emits and the common subset other word processors write (font
// and colour tables, character styles and sizes, alignment, indents and spacing, tab stops,
// paragraph borders, page breaks, paper and margins, \'hh and \uN escapes, fields' results,
// table cells as tabs). Destinations it does not show (style sheet, information, headers,
// pictures, anything marked \*) are skipped.
//
// Bounded: nesting depth, table sizes and numbers are limited, nothing is read past the
// bytes given, and damaged input (not RTF, unbalanced groups, too deep, a \bin past the end)
// raises EReadError naming the fault.
#pragma once

#include "report/output/RpxDevice.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TRtfCharFormat {
    std::string Face;          // UTF-8; empty: the default font's face
    int HalfPoints = 0;        // 0: the default font's size
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    bool HasColor = false;     // false: the default font's colour
    TRpxColor Color = 0;       // 0x00BBGGRR
    friend bool operator==(const TRtfCharFormat&, const TRtfCharFormat&) = default;
};

struct TRtfRun {
    TRtfCharFormat Format;
    std::string Text;          // UTF-8; a tab is "\t", a line break U+2028
};

enum class TRtfAlign : uint8_t { Left, Center, Right, Justify };
enum class TRtfTabKind : uint8_t { Left, Center, Right, Decimal };

struct TRtfTabStop {
    int32_t Twips = 0;         // from the left margin
    TRtfTabKind Kind = TRtfTabKind::Left;
    friend bool operator==(const TRtfTabStop&, const TRtfTabStop&) = default;
};

struct TRtfParagraphFormat {
    TRtfAlign Align = TRtfAlign::Left;
    std::vector<TRtfTabStop> Tabs;
    bool BorderTop = false, BorderBottom = false, BorderLeft = false, BorderRight = false;
    bool PageBreakBefore = false;
    int32_t LeftIndent = 0, RightIndent = 0, FirstIndent = 0, SpaceBefore = 0, SpaceAfter = 0;   // twips
    bool SameBorders(const TRtfParagraphFormat& o) const
    {
        return BorderTop == o.BorderTop && BorderBottom == o.BorderBottom && BorderLeft == o.BorderLeft &&
               BorderRight == o.BorderRight && LeftIndent == o.LeftIndent && RightIndent == o.RightIndent;
    }
    bool HasBorder() const { return BorderTop || BorderBottom || BorderLeft || BorderRight; }
};

struct TRtfParagraph {
    TRtfParagraphFormat Format;
    std::vector<TRtfRun> Runs;
    std::string Text() const;
};

struct TRtfDocument {
    std::vector<TRtfParagraph> Paragraphs;
    // Twips; the defaults of the format when the text gives none.
    int32_t PaperWidth = 12240, PaperHeight = 15840;
    int32_t MarginLeft = 1800, MarginRight = 1800, MarginTop = 1440, MarginBottom = 1440;
    bool Landscape = false;
    // The text's length in UTF-16 units, one more for each paragraph break: the character
    // positions drawing counts in.
    int32_t TextLength() const;
};

constexpr int kRtfMaxDepth = 200;

TRtfDocument ReadRtf(const uint8_t* data, size_t size);
inline TRtfDocument ReadRtf(const std::vector<uint8_t>& bytes) { return ReadRtf(bytes.data(), bytes.size()); }
inline TRtfDocument ReadRtf(const std::string& bytes)
{
    return ReadRtf(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}
