#include "RpxRtfReader.h"

#include "report/output/RpxText.h"

#include "platform/runtime/SysUtils.h"

#include <algorithm>
#include <array>
#include <map>
#include <string_view>

namespace {

constexpr size_t kMaxFonts = 1024, kMaxColours = 1024, kMaxTabs = 64, kMaxFaceBytes = 256;
constexpr int32_t kMaxTwips = 31680 * 4;   // far beyond any sheet

// Groups whose contents are not shown.
constexpr std::array<std::string_view, 27> kSkipped = {
    "stylesheet", "info",     "header",  "headerl",   "headerr",   "headerf",     "footer",
    "footerl",    "footerr",  "footerf", "pict",      "object",    "footnote",    "fldinst",
    "xe",         "tc",       "txe",     "listtable", "listoverridetable", "revtbl", "rsidtbl",
    "themedata",  "datastore", "latentstyles", "colorschememapping", "pgdsctbl", "shpinst",
};

enum class Dest : uint8_t { Text, FontTable, ColourTable, Skip };
enum class Side : uint8_t { None, Box, Top, Bottom, Left, Right };

struct State {
    Dest Destination = Dest::Text;
    TRtfCharFormat Char;
    TRtfParagraphFormat Para;
    int UnicodeSkip = 1;
    bool Hidden = false;
    TRtfTabKind PendingTab = TRtfTabKind::Left;
    Side BorderSide = Side::None;
};


int32_t ClampTwips(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, -kMaxTwips, kMaxTwips)); }

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : p_(data), n_(size) {}

    TRtfDocument Run()
    {
        size_t i = 0;
        while (i < n_ && (p_[i] == ' ' || p_[i] == '\r' || p_[i] == '\n' || p_[i] == '\t')) ++i;
        if (n_ - i < 5 || std::string_view(reinterpret_cast<const char*>(p_ + i), 5) != "{\\rtf")
            throw EReadError("RTF text does not start with {\\rtf");
        pos_ = i;
        while (pos_ < n_) {
            const uint8_t c = p_[pos_++];
            if (c == '{') {
                if (stack_.size() >= kRtfMaxDepth) throw EReadError("RTF groups nest too deeply");
                stack_.push_back(cur_);
                starting_ = true;
                continue;
            }
            if (c == '}') {
                if (stack_.empty()) throw EReadError("RTF group closed that was never opened");
                EndGroup();
                if (stack_.empty()) break;   // the document's group: what follows is not part of it
                continue;
            }
            if (stack_.empty()) throw EReadError("RTF text outside the document's group");
            if (c == '\\') {
                ControlWord();
            } else if (c == '\r' || c == '\n') {
                continue;
            } else if (c == '\t') {
                Char(U'\t');
            } else {
                TextByte(c);
            }
            starting_ = false;
        }
        if (!stack_.empty()) throw EReadError("RTF text ends inside a group");
        if (!para_.Runs.empty()) EndParagraph();
        return std::move(doc_);
    }

private:
    void EndGroup()
    {
        if (cur_.Destination == Dest::FontTable && fontNumber_ >= 0) FlushFont();
        // The last paragraph takes the formatting in force where the document ends.
        if (stack_.size() == 1 && !para_.Runs.empty()) EndParagraph();
        cur_ = stack_.back();
        stack_.pop_back();
        starting_ = false;
        skip_ = 0;
    }

    void TextByte(uint8_t c)
    {
        if (cur_.Destination == Dest::Skip) return;
        if (skip_ > 0) {
            --skip_;
            return;
        }
        if (cur_.Destination == Dest::FontTable) {
            if (c == ';') FlushFont();
            else if (face_.size() < kMaxFaceBytes) AppendUtf8(face_, Cp1252ToChar(c));
            return;
        }
        if (cur_.Destination == Dest::ColourTable) {
            if (c == ';') FlushColour();
            return;
        }
        Char(Cp1252ToChar(c));
    }

    // A character of the text.
    void Char(char32_t c)
    {
        if (cur_.Destination != Dest::Text || cur_.Hidden) return;
        // Characters that would break paragraphs or frames apart where the text has none.
        if ((c < 0x20 && c != '\t') || c == 0x7F || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFC ||
            (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            return;
        if (para_.Runs.empty() || !(para_.Runs.back().Format == cur_.Char)) para_.Runs.push_back({cur_.Char, {}});
        AppendUtf8(para_.Runs.back().Text, c);
    }

    void EndParagraph()
    {
        para_.Format = cur_.Para;
        para_.Format.PageBreakBefore = para_.Format.PageBreakBefore || pageBreak_;
        pageBreak_ = false;
        doc_.Paragraphs.push_back(std::move(para_));
        para_ = {};
    }

    void PageBreak()
    {
        if (!para_.Runs.empty()) EndParagraph();
        pageBreak_ = true;
    }

    void FlushFont()
    {
        if (fontNumber_ >= 0 && fonts_.size() < kMaxFonts) {
            std::string face = face_;
            while (!face.empty() && face.back() == ' ') face.pop_back();
            while (!face.empty() && face.front() == ' ') face.erase(face.begin());
            fonts_[fontNumber_] = face;
        }
        fontNumber_ = -1;
        face_.clear();
    }

    void FlushColour()
    {
        if (colours_.size() < kMaxColours) colours_.push_back(colourSet_ ? colour_ : -1);
        colour_ = 0;
        colourSet_ = false;
    }

    std::string FaceOf(int64_t number) const
    {
        const auto f = fonts_.find(static_cast<int32_t>(std::clamp<int64_t>(number, INT32_MIN, INT32_MAX)));
        return f == fonts_.end() ? std::string() : f->second;
    }

    void ControlWord()
    {
        if (pos_ >= n_) throw EReadError("RTF text ends inside a control word");
        const uint8_t c = p_[pos_];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
            ++pos_;
            Symbol(c);
            return;
        }
        const size_t start = pos_;
        while (pos_ < n_ && ((p_[pos_] >= 'a' && p_[pos_] <= 'z') || (p_[pos_] >= 'A' && p_[pos_] <= 'Z'))) ++pos_;
        // No control word is longer than 32 letters: a longer one is unknown.
        const std::string_view word(reinterpret_cast<const char*>(p_ + start), std::min<size_t>(pos_ - start, 33));
        bool hasParam = false, negative = false;
        int64_t param = 0;
        if (pos_ < n_ && p_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        int digits = 0;
        while (pos_ < n_ && p_[pos_] >= '0' && p_[pos_] <= '9') {
            if (digits++ < 10) param = param * 10 + (p_[pos_] - '0');
            hasParam = true;
            ++pos_;
        }
        if (negative) param = -param;
        param = std::clamp<int64_t>(param, INT32_MIN, INT32_MAX);
        if (pos_ < n_ && p_[pos_] == ' ') ++pos_;
        Word(word, hasParam, param);
    }

    void Symbol(uint8_t c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}': TextByte(c); break;
        case '\'': {
            if (n_ - pos_ < 2) throw EReadError("RTF text ends inside a \\' escape");
            const auto hex = [](uint8_t h) {
                return h >= '0' && h <= '9' ? h - '0' : h >= 'a' && h <= 'f' ? h - 'a' + 10 : h >= 'A' && h <= 'F' ? h - 'A' + 10 : -1;
            };
            const int hi = hex(p_[pos_]), lo = hex(p_[pos_ + 1]);
            pos_ += 2;
            if (hi < 0 || lo < 0) break;   // not an escape after all: nothing to show
            TextByte(static_cast<uint8_t>(hi * 16 + lo));
            break;
        }
        case '*': cur_.Destination = Dest::Skip; break;
        case '~': Unicode(0xA0); break;
        case '_': Unicode(0x2011); break;
        case '\r':
        case '\n':
            if (cur_.Destination == Dest::Text) EndParagraph();
            break;
        default: break;   // \- optional hyphen, \: sub-entry, \| formula: nothing to show
        }
        starting_ = false;
    }

    void Unicode(char32_t c)
    {
        if (cur_.Destination == Dest::Skip) return;
        if (cur_.Destination == Dest::FontTable) return;
        Char(c);
    }

    void Word(std::string_view w, bool hasParam, int64_t param)
    {
        const bool wasStarting = starting_;
        starting_ = false;
        if (w == "bin") {
            // Binary data: skipped whatever the destination.
            const int64_t count = hasParam ? param : 0;
            if (count < 0 || static_cast<uint64_t>(count) > n_ - pos_) throw EReadError("RTF \\bin runs past the end");
            pos_ += static_cast<size_t>(count);
            return;
        }
        if (cur_.Destination == Dest::Skip) return;
        if (wasStarting && std::find(kSkipped.begin(), kSkipped.end(), w) != kSkipped.end()) {
            cur_.Destination = Dest::Skip;
            return;
        }
        // Any control word ends the characters a \u stands in for.
        skip_ = 0;
        const bool on = !hasParam || param != 0;
        const int p = static_cast<int>(param);

        if (w == "fonttbl") {
            cur_.Destination = Dest::FontTable;
            return;
        }
        if (w == "colortbl") {
            cur_.Destination = Dest::ColourTable;
            colours_.clear();
            return;
        }
        if (cur_.Destination == Dest::FontTable) {
            if (w == "f" && hasParam) {
                if (fontNumber_ >= 0) FlushFont();
                fontNumber_ = p;
                face_.clear();
            } else if (w == "u" && hasParam && face_.size() < kMaxFaceBytes) {
                AppendUtf8(face_, static_cast<char32_t>(param < 0 ? param + 65536 : param) & 0xFFFF);
                skip_ = cur_.UnicodeSkip;
            }
            return;
        }
        if (cur_.Destination == Dest::ColourTable) {
            const int v = std::clamp(p, 0, 255);
            if (w == "red") colour_ = (colour_ & ~0xFF) | v;
            else if (w == "green") colour_ = (colour_ & ~0xFF00) | (v << 8);
            else if (w == "blue") colour_ = (colour_ & ~0xFF0000) | (v << 16);
            else return;
            colourSet_ = true;
            return;
        }

        TRtfCharFormat& ch = cur_.Char;
        TRtfParagraphFormat& pa = cur_.Para;
        // Characters and breaks.
        if (w == "par" || w == "sect" || w == "row") return EndParagraph();
        if (w == "page") return PageBreak();
        if (w == "tab" || w == "cell" || w == "nestcell") return Char(U'\t');
        if (w == "line") return Char(0x2028);
        if (w == "emdash") return Char(0x2014);
        if (w == "endash") return Char(0x2013);
        if (w == "emspace" || w == "enspace" || w == "qmspace") return Char(U' ');
        if (w == "bullet") return Char(0x2022);
        if (w == "lquote") return Char(0x2018);
        if (w == "rquote") return Char(0x2019);
        if (w == "ldblquote") return Char(0x201C);
        if (w == "rdblquote") return Char(0x201D);
        if (w == "u" && hasParam) {
            char32_t u = static_cast<char32_t>(param < 0 ? param + 65536 : param) & 0xFFFF;
            if (u >= 0xD800 && u <= 0xDBFF) {
                highSurrogate_ = u;
            } else {
                if (u >= 0xDC00 && u <= 0xDFFF && highSurrogate_)
                    u = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (u - 0xDC00);
                highSurrogate_ = 0;
                Char(u);
            }
            skip_ = cur_.UnicodeSkip;
            return;
        }
        if (w == "uc") {
            cur_.UnicodeSkip = std::clamp(p, 0, 10);
            return;
        }
        // Character formatting.
        if (w == "plain") {
            ch = {};
            if (deff_ >= 0) ch.Face = FaceOf(deff_);
            cur_.Hidden = false;
        } else if (w == "b") {
            ch.Bold = on;
        } else if (w == "i") {
            ch.Italic = on;
        } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash" || w == "ulth" || w == "ulwave") {
            ch.Underline = on;
        } else if (w == "ulnone") {
            ch.Underline = false;
        } else if (w == "strike" || w == "striked") {
            ch.StrikeOut = on;
        } else if (w == "f" && hasParam) {
            ch.Face = FaceOf(param);
        } else if (w == "fs" && hasParam) {
            ch.HalfPoints = std::clamp(p, 0, 3276);
        } else if (w == "cf" && hasParam) {
            ch.HasColor = p > 0 && static_cast<size_t>(p) < colours_.size() && colours_[static_cast<size_t>(p)] >= 0;
            ch.Color = ch.HasColor ? colours_[static_cast<size_t>(p)] : 0;
        } else if (w == "v") {
            cur_.Hidden = on;
        } else if (w == "deff" && hasParam) {
            deff_ = param;
        }
        // Paragraph formatting.
        else if (w == "pard") {
            pa = {};
        } else if (w == "ql") {
            pa.Align = TRtfAlign::Left;
        } else if (w == "qc") {
            pa.Align = TRtfAlign::Center;
        } else if (w == "qr") {
            pa.Align = TRtfAlign::Right;
        } else if (w == "qj" || w == "qd") {
            pa.Align = TRtfAlign::Justify;
        } else if (w == "li") {
            pa.LeftIndent = ClampTwips(param);
        } else if (w == "ri") {
            pa.RightIndent = ClampTwips(param);
        } else if (w == "fi") {
            pa.FirstIndent = ClampTwips(param);
        } else if (w == "sb") {
            pa.SpaceBefore = std::max(0, ClampTwips(param));
        } else if (w == "sa") {
            pa.SpaceAfter = std::max(0, ClampTwips(param));
        } else if (w == "pagebb") {
            pa.PageBreakBefore = on;
        } else if (w == "tqc") {
            cur_.PendingTab = TRtfTabKind::Center;
        } else if (w == "tqr") {
            cur_.PendingTab = TRtfTabKind::Right;
        } else if (w == "tqdec") {
            cur_.PendingTab = TRtfTabKind::Decimal;
        } else if (w == "tx" || w == "tb") {
            if (w == "tx" && hasParam && pa.Tabs.size() < kMaxTabs) pa.Tabs.push_back({std::max(0, ClampTwips(param)), cur_.PendingTab});
            cur_.PendingTab = TRtfTabKind::Left;
        } else if (w == "box") {
            cur_.BorderSide = Side::Box;
        } else if (w == "brdrt") {
            cur_.BorderSide = Side::Top;
        } else if (w == "brdrb") {
            cur_.BorderSide = Side::Bottom;
        } else if (w == "brdrl") {
            cur_.BorderSide = Side::Left;
        } else if (w == "brdrr") {
            cur_.BorderSide = Side::Right;
        } else if (w == "brdrnone") {
            SetBorder(false);
        } else if (w.substr(0, 4) == "brdr" && w != "brdrw" && w != "brdrcf" && w != "brdrbtw" && w != "brdrbar") {
            SetBorder(true);   // a border style: the side named before it is drawn
        }
        // The page.
        else if (w == "paperw" || w == "pgwsxn") {
            doc_.PaperWidth = std::max(0, ClampTwips(param));
        } else if (w == "paperh" || w == "pghsxn") {
            doc_.PaperHeight = std::max(0, ClampTwips(param));
        } else if (w == "margl" || w == "marglsxn") {
            doc_.MarginLeft = std::max(0, ClampTwips(param));
        } else if (w == "margr" || w == "margrsxn") {
            doc_.MarginRight = std::max(0, ClampTwips(param));
        } else if (w == "margt" || w == "margtsxn") {
            doc_.MarginTop = std::max(0, ClampTwips(param));
        } else if (w == "margb" || w == "margbsxn") {
            doc_.MarginBottom = std::max(0, ClampTwips(param));
        } else if (w == "landscape" || w == "lndscpsxn") {
            doc_.Landscape = true;
        }
    }

    void SetBorder(bool on)
    {
        TRtfParagraphFormat& pa = cur_.Para;
        switch (cur_.BorderSide) {
        case Side::Box: pa.BorderTop = pa.BorderBottom = pa.BorderLeft = pa.BorderRight = on; break;
        case Side::Top: pa.BorderTop = on; break;
        case Side::Bottom: pa.BorderBottom = on; break;
        case Side::Left: pa.BorderLeft = on; break;
        case Side::Right: pa.BorderRight = on; break;
        case Side::None: break;
        }
    }

    const uint8_t* p_;
    size_t n_;
    size_t pos_ = 0;
    std::vector<State> stack_;
    State cur_;
    bool starting_ = false;   // just after "{"
    int skip_ = 0;            // characters still to skip after \u
    char32_t highSurrogate_ = 0;
    bool pageBreak_ = false;
    TRtfDocument doc_;
    TRtfParagraph para_;
    std::map<int32_t, std::string> fonts_;
    int32_t fontNumber_ = -1;
    std::string face_;
    int64_t deff_ = -1;
    std::vector<TRpxColor> colours_;
    TRpxColor colour_ = 0;
    bool colourSet_ = false;
};

// UTF-16 units of UTF-8 text.
int32_t Utf16Length(std::string_view s)
{
    int32_t n = 0;
    for (unsigned char c : s) {
        if ((c & 0xC0) != 0x80) ++n;
        if ((c & 0xF8) == 0xF0) ++n;   // outside the BMP: a surrogate pair
    }
    return n;
}

}  // namespace

std::string TRtfParagraph::Text() const
{
    std::string s;
    for (const auto& r : Runs) s += r.Text;
    return s;
}

int32_t TRtfDocument::TextLength() const
{
    if (Paragraphs.empty()) return 0;
    int64_t n = static_cast<int64_t>(Paragraphs.size()) - 1;
    for (const auto& p : Paragraphs)
        for (const auto& r : p.Runs) n += Utf16Length(r.Text);
    return static_cast<int32_t>(std::min<int64_t>(n, INT32_MAX));
}

TRtfDocument ReadRtf(const uint8_t* data, size_t size)
{
    if (!data) size = 0;
    return Reader(data, size).Run();
}
