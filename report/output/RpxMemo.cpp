#include "RpxMemo.h"

#include "RpxOutput.h"

#include <algorithm>
#include <cstdlib>

TRpxMemo::TRpxMemo() = default;
TRpxMemo::~TRpxMemo() = default;

void TRpxMemo::LoadText(TStream& stream)
{
    stream.SetPosition(0);
    Text.assign(static_cast<size_t>(std::max<int64_t>(0, stream.Size())), '\0');
    Text.resize(static_cast<size_t>(stream.Read(Text.data(), static_cast<int64_t>(Text.size()))));
}

TRpxDevice& TRpxMemo::Measurer()
{
    if (measurer_) return *measurer_;
    if (!own_) own_ = RpxMeasuringDevice();
    return *own_;
}

void TRpxMemo::WrapParagraph(std::string_view para, std::vector<std::string>& out)
{
    TRpxDevice& dc = Measurer();
    auto fits = [&](std::string_view s) {
        const size_t end = s.find_last_not_of(' ');
        return end == std::string_view::npos || dc.TextExtent(s.substr(0, end + 1)).Cx <= Width;
    };
    const size_t before = out.size();
    std::string line;
    size_t i = 0;
    while (i < para.size()) {
        // A word and the blanks after it.
        size_t wordEnd = para.find(' ', i);
        if (wordEnd == std::string_view::npos) wordEnd = para.size();
        size_t next = para.find_first_not_of(' ', wordEnd);
        if (next == std::string_view::npos) next = para.size();
        const std::string_view word = para.substr(i, next - i);
        if (fits(line + std::string(word))) {
            line += word;
            i = next;
            continue;
        }
        if (!line.empty()) {
            out.push_back(std::move(line));
            line.clear();
            continue;
        }
        // A word wider than the line: as many characters as fit, at least one.
        size_t take = Utf8Prefix(word, 1);
        for (size_t n = 2; n <= Utf8Length(word); ++n) {
            const size_t bytes = Utf8Prefix(word, n);
            if (!fits(word.substr(0, bytes))) break;
            take = bytes;
        }
        out.emplace_back(word.substr(0, take));
        i += take;
    }
    if (!line.empty() || out.size() == before) out.push_back(std::move(line));
}

void TRpxMemo::DeleteLine(std::vector<std::string>& lines, int i)
{
    lines.erase(lines.begin() + i);
    ParagraphEnds.erase(std::remove(ParagraphEnds.begin(), ParagraphEnds.end(), i), ParagraphEnds.end());
    for (int& e : ParagraphEnds)
        if (e > i) --e;
}

void TRpxMemo::Layout()
{
    Lines.clear();
    LineCount = 0;
    ParagraphEnds.clear();
    TRpxDevice& dc = Measurer();
    dc.SelectFont(Font.LogFont(PixelsPerInch));
    LineHeight = MulDiv(std::abs(dc.TextHeight()), LineSpacing, 100);

    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= Text.size()) {
        size_t lf = Text.find('\n', start);
        const bool last = lf == std::string::npos;
        if (last) lf = Text.size();
        std::string_view para(Text.data() + start, lf - start);
        if (!para.empty() && para.back() == '\r') para.remove_suffix(1);
        if (!(last && para.empty() && start > 0 && start == Text.size())) {
            WrapParagraph(para, lines);
            ParagraphEnds.push_back(static_cast<int>(lines.size()) - 1);
        }
        if (last) break;
        start = lf + 1;
    }
    if (Alignment != 3) ParagraphEnds.clear();

    if (SkipBlankLines) {
        for (int i = static_cast<int>(lines.size()) - 1; i >= 0; --i)
            if (lines[static_cast<size_t>(i)].empty()) DeleteLine(lines, i);
    }
    if (TrimBlankEnds) {
        while (!lines.empty() && lines.front().empty()) DeleteLine(lines, 0);
        while (!lines.empty() && lines.back().empty()) DeleteLine(lines, static_cast<int>(lines.size()) - 1);
    }
    LineCount = static_cast<int>(lines.size());
    if (!WordWrap && LineCount > 0) LineCount = 1;
    Lines = std::move(lines);
}

bool TRpxMemo::PrintRange(int& first, int& last) const
{
    first = std::max(0, FirstLine);
    last = LastLine < 0 || LastLine >= LineCount ? LineCount - 1 : LastLine;
    return LineCount > 0 && last >= first;
}

void TRpxMemo::PrintLines(TRpxCanvas& canvas, int x, int y)
{
    Layout();
    if (!(canvas.Font() == Font)) canvas.SetFont(Font);
    int first = 0, last = 0;
    if (!PrintRange(first, last)) return;
    for (int d = first; d <= last; ++d) {
        const int top = y + LineHeight * (d - first);
        DrawLine(canvas, Lines[static_cast<size_t>(d)], d, {x, top, x + Width, top + LineHeight});
    }
}

void TRpxMemo::SplitTabs(const std::string& text)
{
    Segments.clear();
    TRpxDevice& dc = Measurer();
    dc.SelectFont(Font.LogFont(PixelsPerInch));
    const int stop = std::max(1, PixelsPerInch / 2);
    int pos = 0;
    std::string piece;
    for (char c : text) {
        if (c == '\t') {
            const int w = dc.TextExtent(piece).Cx;
            Segments.push_back({pos, piece, w});
            pos = (pos + w) / stop * stop + stop;
            piece.clear();
        } else {
            piece += c;
        }
    }
    if (!piece.empty()) Segments.push_back({pos, piece, dc.TextExtent(piece).Cx});
    TextWidth = Segments.empty() ? 0 : Segments.back().Offset + Segments.back().SegmentWidth;
}

void TRpxMemo::DrawLine(TRpxCanvas& canvas, const std::string& text, int index, const TRpxRect& r)
{
    bool justify = false;
    if (Alignment == 3) {
        justify = true;
        if (index == LineCount - 1) justify = JustifyLastLine;
        if (std::find(ParagraphEnds.begin(), ParagraphEnds.end(), index) != ParagraphEnds.end()) justify = false;
    }
    if (!(canvas.Font() == Font)) canvas.SetFont(Font);
    canvas.SetTextAlign(Alignment == 1 ? TA_CENTER : Alignment == 2 ? TA_RIGHT : TA_LEFT);
    SplitTabs(text);
    const int slack = Width - TextWidth;
    for (size_t i = 0; i < Segments.size(); ++i) {
        const TRpxTabStringPos& s = Segments[i];
        int x = 0, end = 0;
        if (Alignment == 1) {
            x = r.Left + s.Offset + s.SegmentWidth / 2 + slack / 2;
            end = x + s.SegmentWidth / 2;
        } else if (Alignment == 2) {
            x = r.Left + s.Offset + s.SegmentWidth + slack;
            end = x;
        } else {
            x = r.Left + s.Offset;
            end = x + s.SegmentWidth;
        }
        const bool last = i + 1 == Segments.size();
        if (r.Bottom > ClipBottom) {
            // A line without the room for its height: only what fits is drawn, unjustified.
            canvas.TextRect({r.Left, r.Top, last ? r.Right : end, ClipBottom}, x, r.Top, s.SegmentText);
        } else if (PlainText) {
            canvas.TextOut(x, r.Top, s.SegmentText);
        } else if (last) {
            // Only the last piece of a line stretches to the right edge.
            canvas.TextInRect(r, x, r, !justify, s.SegmentText, r.Top);
        } else {
            TRpxRect seg = r;
            seg.Right = end;
            canvas.TextInRect(seg, x, r, true, s.SegmentText, r.Top);
        }
    }
}
