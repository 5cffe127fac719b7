// RTF output of bands and labels: a band is written as rows of paragraphs, each label adds
// its tab stop and its text to the row it belongs to. Labels do not know RTF syntax; they
// ask the file for tab stops, tabs, fonts and text.
#include "DaxReport.h"

#include <algorithm>

namespace {

// A stop in twips for a position in design pixels. A label at the very left of the band gets
// its stop at 1 twip, not 0: readers take a tab at the start of a line to the first stop
// beyond it, which would move the text to the next label's place.
int32_t RtfStop(int pixels, int pixelsPerInch) { return std::max<int32_t>(1, RtfTwips(pixels, pixelsPerInch)); }

} // namespace

// ---- labels -------------------------------------------------------------------------------------

int TDaxLabel::RtfAnchor() const
{
    switch (AlignHorizontal) {
    case laCenter: return Left + Width / 2;
    case laRight: return Left + Width;
    case laLeft: break;
    }
    return Left;
}

void TDaxLabel::WriteRtfText(TDaxRtfFile& file, const std::string& text) const
{
    TRpxFont plain = Font;
    plain.Underline = false;
    file.SelectFont(plain);
    file.Tab();
    file.SelectFont(Font);
    file.WriteText(text);
}

void TDaxLabel::WriteRtfTab(TDaxReportPage& page, TDaxRtfFile& file, int row)
{
    if (row != Row || !RtfPrint || !CanPrint()) return;
    file.AddTabStop(RtfStop(RtfAnchor(), page.PixelsPerInch()), AlignHorizontal);
}

void TDaxLabel::WriteRtf(TDaxReportPage&, TDaxRtfFile& file, int row)
{
    if (!CanPrint()) return;
    if (!RtfPrint) {
        Done = true;
        return;
    }
    if (row != Row) return;
    FireBefore();
    WriteRtfText(file, GetPrintText());
    FireAfter();
    Done = true;
}

int TDaxTVLabel::RtfLastRow() const
{
    return UsesMemo() ? Row + std::max(0, Memo.LineCount - 1) : Row;
}

void TDaxTVLabel::WriteRtfTab(TDaxReportPage& page, TDaxRtfFile& file, int row)
{
    if (!UsesMemo()) {
        TDaxLabel::WriteRtfTab(page, file, row);
        return;
    }
    if (row < Row || !RtfPrint || !CanPrint()) return;
    PrepareText();
    const int line = row - Row;
    if (line >= Memo.LineCount) return;
    // One stop per piece of the line between tab characters, where the memo would draw it.
    Memo.SplitTabs(Memo.Lines[static_cast<size_t>(line)]);
    const auto& pieces = Memo.Segments;
    const int ppi = page.PixelsPerInch();
    for (size_t i = 0; i < pieces.size(); ++i) {
        const TRpxTabStringPos& p = pieces[i];
        int x = Left + 1 + BorderMargin + p.Offset;
        if (AlignHorizontal == laCenter)
            x = pieces.size() == 1 ? Left + Width / 2 : Left + BorderMargin + p.Offset + p.SegmentWidth / 2;
        else if (AlignHorizontal == laRight)
            x = i + 1 == pieces.size() ? Left + Width - 1 - BorderMargin
                                       : Left + Width - 1 + p.Offset + p.SegmentWidth - BorderMargin - Width;
        file.AddTabStop(RtfStop(x, ppi), AlignHorizontal);
    }
}

void TDaxTVLabel::WriteRtf(TDaxReportPage&, TDaxRtfFile& file, int row)
{
    if (!RtfPrint || !CanPrint()) return;
    FireBefore();
    if (!UsesMemo()) {
        if (row != Row) return;
        WriteRtfText(file, GetPrintText());
        FireAfter();
        Done = true;
        return;
    }
    PrepareText();
    if (Memo.LineCount == 0) {
        Done = true;
        return;
    }
    const int line = row - Row;
    if (line < 0 || line >= Memo.LineCount) return;
    FireBefore();
    Memo.SplitTabs(Memo.Lines[static_cast<size_t>(line)]);
    for (const TRpxTabStringPos& p : Memo.Segments) WriteRtfText(file, p.SegmentText);
    FireAfter();
    if (line == Memo.LineCount - 1) Done = true;
}

// ---- bands --------------------------------------------------------------------------------------

void TDaxBand::WriteRtf(TDaxReportPage& page, TDaxRtfFile& file)
{
    if (!CanPrint()) {
        Done = true;
        return;
    }
    std::vector<TDaxLabel*> labels = labels_;
    // Every print of the band starts its labels afresh (the previous one left them done).
    for (TDaxLabel* l : labels) {
        l->Done = false;
        l->StartPrint();
    }
    std::stable_sort(labels.begin(), labels.end(), [](const TDaxLabel* a, const TDaxLabel* b) { return a->RtfAnchor() < b->RtfAnchor(); });
    FireEvent(this, OnBeforePrint, *this);
    file.BorderBottom = BorderType == btUnderLine;
    const bool border = BorderType != btNone;
    if (border) file.BeginBorder();

    // The rows end where the last label's last row is: a label that never reaches its row
    // (a negative Row) or stops printing half way cannot keep the band writing for ever.
    int lastRow = 0;
    for (const TDaxLabel* l : labels)
        if (!l->Done) lastRow = std::max(lastRow, l->RtfLastRow());
    const auto pending = [&] { return std::any_of(labels.begin(), labels.end(), [](const TDaxLabel* l) { return !l->Done; }); };
    int row = 0;
    do {
        // Only the band's first row starts the new page.
        file.PageBreakPending = row == 0 && NewPage && !page.PageEmpty;
        file.StartParagraph();
        file.PageBreakPending = false;
        for (TDaxLabel* l : labels) l->WriteRtfTab(page, file, row);
        for (TDaxLabel* l : labels) l->WriteRtf(page, file, row);
        file.EndParagraph();
        ++row;
    } while (row <= lastRow && pending());
    for (TDaxLabel* l : labels) l->Done = true;

    if (border) file.EndBorder();
    FireEvent(this, OnAfterPrint, *this);
    Done = true;
}
