// Rows of labels written to an RTF file the way a band drives it: every label's tab stop,
// then per label its font without underline, a tab, its own font and its text.
#pragma once

#include "report/rtf/DaxRtf.h"

#include <string>
#include <vector>

namespace mwtest {

struct RtfLabel {
    int32_t Twips;
    int Alignment;   // 0 left, 1 centre, 2 right
    TRpxFont Font;
    std::string Text;
};

inline void WriteRtfRow(TDaxRtfFile& f, const std::vector<RtfLabel>& labels, bool newPage = false)
{
    f.PageBreakPending = newPage;
    f.StartParagraph();
    for (const auto& l : labels) f.AddTabStop(l.Twips, l.Alignment);
    for (const auto& l : labels) {
        TRpxFont plain = l.Font;
        plain.Underline = false;
        f.SelectFont(plain);
        f.Tab();
        f.SelectFont(l.Font);
        f.WriteText(l.Text);
    }
    f.EndParagraph();
}

}  // namespace mwtest
