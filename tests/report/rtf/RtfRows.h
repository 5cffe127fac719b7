// Rows of labels written to an RTF file the way a band drives it (every label's tab stop,
// then per label its font without underline, a tab, its own font and its text), and the
// parts of a written file that tests compare.
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

// Everything after the header's first space that ends the page setup.
inline std::string RtfBodyOf(const std::string& file)
{
    const size_t fonts = file.find("{\\fonttbl");
    const size_t end = file.find("}\\", fonts);   // the font table ends before the margins
    const size_t space = file.find(' ', file.find("\\margb", end));
    return file.substr(space + 1);
}

inline int RtfBraceBalance(const std::string& rtf, bool& neverNegative)
{
    int depth = 0;
    neverNegative = true;
    for (size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;   // an escaped character, or the first letter of a control word
            continue;
        }
        if (rtf[i] == '{') ++depth;
        if (rtf[i] == '}' && --depth < 0) neverNegative = false;
    }
    return depth;
}

}  // namespace mwtest
