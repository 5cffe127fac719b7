#include "DaxRtf.h"

#include "report/DaxPageSetup.h"
#include "report/output/RpxText.h"

#include "platform/runtime/FileSave.h"
#include "platform/runtime/SysUtils.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

const char* FamilyName(uint8_t pitchAndFamily)
{
    if (pitchAndFamily >= 16 && pitchAndFamily <= 31) return "roman";
    if (pitchAndFamily >= 32 && pitchAndFamily <= 47) return "swiss";
    if (pitchAndFamily >= 48 && pitchAndFamily <= 63) return "modern";
    if (pitchAndFamily >= 64 && pitchAndFamily <= 79) return "script";
    if (pitchAndFamily >= 80 && pitchAndFamily <= 95) return "decor";
    return "nil";
}

// The logical pitch: 0 default, 1 fixed, 2 variable.
int Pitch(uint8_t pitchAndFamily) { return pitchAndFamily & 3; }

int32_t Twips(double inches) { return static_cast<int32_t>(std::lround(inches * 1440.0)); }

void AppendUnicode(std::string& out, char32_t c)
{
    const auto one = [&](unsigned u) {
        const int n = u > 32767 ? static_cast<int>(u) - 65536 : static_cast<int>(u);
        out += "\\u" + std::to_string(n) + "?";
    };
    if (c > 0xFFFF) {
        c -= 0x10000;
        one(0xD800 + static_cast<unsigned>(c >> 10));
        one(0xDC00 + static_cast<unsigned>(c & 0x3FF));
    } else {
        one(static_cast<unsigned>(c));
    }
}

}  // namespace

// --- Font table entries ----------------------------------------------------------------------

void TDaxRtfFont::SetFromFont(const TRpxFont& font)
{
    Font = font;
    PitchAndFamily = font.PitchAndFamily;
    CharSet = font.CharSet;
    FaceName = font.Name;
}

bool TDaxRtfFont::SameFont(const TRpxFont& f) const
{
    return f.Bold == Font.Bold && f.Italic == Font.Italic && f.Underline == Font.Underline &&
           f.StrikeOut == Font.StrikeOut && f.Size == Font.Size && f.Color == Font.Color && SameFace(f);
}

bool TDaxRtfFont::SameFace(const TRpxFont& f) const
{
    return Pitch(f.PitchAndFamily) == Pitch(Font.PitchAndFamily) && f.Name == FaceName &&
           f.PitchAndFamily == PitchAndFamily && f.CharSet == CharSet;
}

void TDaxRtfFont::WriteTableEntry(std::string& out) const
{
    out += "{\\f" + std::to_string(Number) + "\\f" + FamilyName(PitchAndFamily) + "\\fcharset0\\fprq" +
           std::to_string(Pitch(PitchAndFamily)) + " " + RtfEscape(FaceName) + ";}";
}

std::string RtfFontControls(const TDaxRtfFont& entry, const TRpxFont& font, bool resets)
{
    std::string s = "\\f" + std::to_string(entry.Number) + "\\fs" + std::to_string(2 * font.Size);
    const auto style = [&](bool on, const char* control) {
        if (on) s += control;
        else if (resets) s += std::string(control) + "0";
    };
    style(font.Bold, "\\b");
    style(font.Italic, "\\i");
    style(font.Underline, "\\ul");
    return s + " ";
}

std::string RtfEscape(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const char32_t c = NextUtf8(utf8, i);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == '\n') {
            out += "\\line ";
        } else if (c < 0x20 || c == 0x7F) {
            // Control characters have no place in the text.
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            const int b = c == kUtf8Damaged ? -1 : CharToCp1252(c);
            if (b >= 0) {
                char hex[16];
                std::snprintf(hex, sizeof hex, "\\'%02x", static_cast<unsigned>(b));
                out += hex;
            } else if (c == kUtf8Damaged) {
                out += '?';
            } else {
                AppendUnicode(out, c);
            }
        }
    }
    return out;
}

TRpxFont RtfDefaultFont()
{
    TRpxFont f;
    f.Name = "Arial";
    f.Size = 8;
    return f;
}

std::string RtfOutputFileName(const std::string& rtfFile)
{
    return rtfFile.find_first_not_of(' ') == std::string::npos ? "RpxRtf.rtf" : rtfFile;
}

int32_t RtfTwips(int pixels, int pixelsPerInch)
{
    if (pixelsPerInch <= 0) return 0;
    return static_cast<int32_t>(std::lround(static_cast<double>(pixels) * 1440.0 / pixelsPerInch));
}

// --- The file --------------------------------------------------------------------------------

TDaxRtfFile::TDaxRtfFile(std::string fileName) : FileName(std::move(fileName))
{
    // Fail now rather than at the end of the run; an existing file keeps its bytes until the
    // finished document replaces it.
    if (std::FILE* f = std::fopen(FileName.c_str(), "ab")) std::fclose(f);
    else throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(errno));

    LastFont = RtfDefaultFont();
    auto first = std::make_unique<TDaxRtfFont>();
    first->SetFromFont(LastFont);
    AddFont(std::move(first));
    Body = "\\pard\\plain " + RtfFontControls(*Fonts.front(), Fonts.front()->Font, false);
}

TDaxRtfFile::~TDaxRtfFile() = default;

TDaxRtfFont* TDaxRtfFile::AddFont(std::unique_ptr<TDaxRtfFont> entry)
{
    Fonts.push_back(std::move(entry));
    Fonts.back()->Number = static_cast<int32_t>(Fonts.size());
    SetFont(Fonts.back().get());
    return Fonts.back().get();
}

void TDaxRtfFile::EndBorder()
{
    InBorder = false;
    if (!BorderBottom) {
        StartParagraph();
        EndParagraph();
    }
}

void TDaxRtfFile::WriteText(std::string_view utf8) { WriteBody(RtfEscape(utf8)); }

void TDaxRtfFile::WriteStream(TStream& stream)
{
    const int64_t size = stream.Size();
    if (size <= 0) return;
    std::string bytes(static_cast<size_t>(size), '\0');
    stream.SetPosition(0);
    stream.ReadBuffer(bytes.data(), size);
    WriteBody(bytes);
}

void TDaxRtfFile::OpenGroup()
{
    ++GroupDepth;
    WriteBody("{");
}

void TDaxRtfFile::CloseGroup()
{
    if (GroupDepth <= 0) return;
    --GroupDepth;
    WriteBody("}");
}

void TDaxRtfFile::AddTabStop(int32_t twips, int alignment)
{
    if (alignment == 1) WriteBody("\\tqc");
    else if (alignment == 2) WriteBody("\\tqr");
    WriteBody("\\tx" + std::to_string(twips) + " ");
}

void TDaxRtfFile::SetPageSetup(const TDaxPageSetup& setup)
{
    const auto inches = [&](double v) { return setup.UnitMaster().ToInches(setup.Units(), v); };
    Page.UseCurrentSize = setup.Size() == psUseCurrent;
    Page.CustomSize = setup.Size() == psCustom;
    Page.PaperCode = TDaxPageSetup::SizeCode(setup.Size());
    Page.Landscape = setup.Orientation() == poLandscape;
    Page.Width = inches(setup.Width());
    Page.Height = inches(setup.Height());
    Page.Left = inches(setup.LeftMargin());
    Page.Top = inches(setup.TopMargin());
    Page.Right = inches(setup.RightMargin());
    Page.Bottom = inches(setup.BottomMargin());
}

void TDaxRtfFile::StartParagraph()
{
    CloseGroup();
    WriteBody("\\pard\\plain ");
    if (PageBreakPending) WriteBody("\\page ");
    if (InBorder) WriteBody(BorderBottom ? "\\brdrb\\brdrs " : "\\box\\brdrs ");
    // The paragraph's own text is in the default font: the first entry, as it was made.
    TDaxRtfFont& first = *Fonts.front();
    first.SetFromFont(RtfDefaultFont());
    SetFont(&first);
    WriteBody(RtfFontControls(first, first.Font, false));
}

void TDaxRtfFile::SelectFont(const TRpxFont& font)
{
    if (CurrentFont && CurrentFont->SameFont(font)) return;
    TDaxRtfFont* entry = nullptr;
    for (auto& f : Fonts)
        if (f->SameFace(font)) {
            entry = f.get();
            break;
        }
    if (entry) SetFont(entry);
    else entry = AddFont(std::make_unique<TDaxRtfFont>());
    LastFont = font;
    entry->SetFromFont(font);
    CloseGroup();
    OpenGroup();
    WriteBody(RtfFontControls(*entry, font, true));
}

std::string TDaxRtfFile::Contents() const
{
    std::string out = "{\\rtf1\\ansi {\\fonttbl";
    for (const auto& f : Fonts) f->WriteTableEntry(out);
    out += "}";
    const auto n = [](const char* control, double inches) { return control + std::to_string(Twips(inches)); };
    if (Page.CustomSize) {
        out += n("\\paperw", Page.Width) + n("\\paperh", Page.Height) + "\\psz" + std::to_string(Page.PaperCode);
    } else if (!Page.UseCurrentSize) {
        out += n("\\paperh", Page.Height) + n("\\paperw", Page.Width) + "\\psz" + std::to_string(Page.PaperCode);
    }
    out += n("\\margl", Page.Left) + n("\\margr", Page.Right) + n("\\margt", Page.Top) + n("\\margb", Page.Bottom);
    if (Page.Landscape) out += "\\landscape";
    out += " ";
    out += Body;
    if (!finished_) {
        out.append(static_cast<size_t>(GroupDepth), '}');
        out += "}";
    }
    return out;
}

void TDaxRtfFile::WriteFile() { SaveFileAtomically(FileName, Contents()); }

void TDaxRtfFile::Finish()
{
    if (finished_) return;
    while (GroupDepth > 0) CloseGroup();
    WriteBody("}");
    finished_ = true;
    WriteFile();
}
