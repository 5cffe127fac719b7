// Word-wrapped text laid out at the output's resolution (report/output, no Qt): lines break
// at blanks, a word longer than the line breaks between characters, CR LF and LF end a
// paragraph. Labels print memos a slice of lines at a time across pages.
#pragma once

#include "RpxDevice.h"
#include "RpxObjects.h"

#include "platform/runtime/Classes.h"

#include <climits>
#include <memory>
#include <string>
#include <vector>

class TRpxCanvas;

struct TRpxTabStringPos {
    int Offset = 0;          // pixels from the line's start
    std::string SegmentText;
    int SegmentWidth = 0;
};

class TRpxMemo {
public:
    TRpxMemo();
    ~TRpxMemo();
    TRpxMemo(const TRpxMemo&) = delete;
    TRpxMemo& operator=(const TRpxMemo&) = delete;

    virtual void SetFont(const TRpxFont& font) { Font = font; }
    void LoadText(TStream& stream);
    // Measures with dc (not owned) instead of the program's measuring device.
    void SetMeasurer(TRpxDevice* dc) { measurer_ = dc; }

    void Layout();
    // Lays out and draws lines FirstLine..LastLine one below the other from (x, y).
    void PrintLines(TRpxCanvas& canvas, int x, int y);
    void DrawLine(TRpxCanvas& canvas, const std::string& text, int index, const TRpxRect& r);
    void SplitTabs(const std::string& text);
    // The range PrintLines draws; false when there is nothing to draw.
    bool PrintRange(int& first, int& last) const;

    int PixelsPerInch = 96;
    TRpxFont Font;
    int Width = 96;
    int LineSpacing = 100;
    bool WordWrap = true;
    bool JustifyLastLine = false;
    std::vector<int> ParagraphEnds;
    std::vector<std::string> Lines;
    int LineCount = 0;
    std::string Text;            // UTF-8, lines separated by CR LF or LF
    uint8_t Alignment = 0;       // 0 left, 1 centre, 2 right, 3 justified
    int LineHeight = 10;
    std::vector<TRpxTabStringPos> Segments;
    int FirstLine = -1, LastLine = -1;
    int TextWidth = 0;
    bool PlainText = false;
    bool SkipBlankLines = false;
    bool TrimBlankEnds = false;
    // Lines reaching below this y are drawn clipped to it (none: INT_MAX).
    int ClipBottom = INT_MAX;

private:
    TRpxDevice& Measurer();
    // Breaks one paragraph into lines of at most Width pixels.
    void WrapParagraph(std::string_view paragraph, std::vector<std::string>& out);
    void DeleteLine(std::vector<std::string>& lines, int i);

    TRpxDevice* measurer_ = nullptr;
    std::unique_ptr<TRpxDevice> own_;
};
