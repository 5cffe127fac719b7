// The report's Rich Text Format writer (report/rtf, no Qt): a page whose output type asks
// for RTF writes its bands as paragraphs through TDaxRtfFile. The body is collected in
// memory while the report runs; Finish writes the whole file (header, font table, paper and
// margins, body) atomically. Labels do not know RTF: they ask the file for tab stops, tabs,
// font selections and text; the band decides rows, borders and page breaks.
//
// Every paragraph starts from "\pard\plain " and every font group writes each character
// property it sets, resets included, so formatting never runs on into later text.
#pragma once

#include "report/output/RpxObjects.h"

#include "platform/runtime/Classes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TDaxPageSetup;

// One entry of the font table.
class TDaxRtfFont {
public:
    virtual ~TDaxRtfFont() = default;
    // Font takes a copy; pitch-and-family, character set and face name come with it.
    virtual void SetFromFont(const TRpxFont& font);
    virtual void Assign(const TDaxRtfFont& other) { SetFromFont(other.Font); }
    // Same style, size, colour, pitch, face, pitch-and-family and character set.
    virtual bool SameFont(const TRpxFont& font) const;
    // Same pitch, face, pitch-and-family and character set: the entry's number serves.
    virtual bool SameFace(const TRpxFont& font) const;
    // "{\f<n>\f<family>\fcharset0\fprq<pitch> <face>;}"
    virtual void WriteTableEntry(std::string& out) const;

    int32_t Number = 0;
    uint8_t PitchAndFamily = 0;
    uint8_t CharSet = 0;
    std::string FaceName;   // UTF-8
    TRpxFont Font;
};

// "\f<n>\fs<half points>" and the styles of font; with resets, "\b0", "\i0" and "\ul0" for
// the styles it lacks.
std::string RtfFontControls(const TDaxRtfFont& entry, const TRpxFont& font, bool resets);
// Text as RTF: "\", "{" and "}" escaped, a tab as "\tab ", a line break as "\line ",
// characters above 0x7F as \'hh of Windows-1252 or, outside it, \uN?; other control
// characters are dropped. The input is UTF-8 (a damaged sequence becomes "?").
std::string RtfEscape(std::string_view utf8);

// The font the class library starts a font with: the default face at 8 points.
TRpxFont RtfDefaultFont();
// The file a page writes: its RtfFile, or "RpxRtf.rtf" when that is blank or only spaces.
std::string RtfOutputFileName(const std::string& rtfFile);
// A label's position in design pixels as twips: round(pixels / pixels per inch x 1440).
int32_t RtfTwips(int pixels, int pixelsPerInch);

class TDaxRtfFile {
public:
    // Checks that fileName can be written (EFCreateError naming it otherwise); the file is
    // written by Finish. An existing file is left as it is until then.
    explicit TDaxRtfFile(std::string fileName);
    virtual ~TDaxRtfFile();
    TDaxRtfFile(const TDaxRtfFile&) = delete;
    TDaxRtfFile& operator=(const TDaxRtfFile&) = delete;

    virtual void SetFont(TDaxRtfFont* entry) { CurrentFont = entry; }
    // Appends the entry, numbers it and makes it current.
    virtual TDaxRtfFont* AddFont(std::unique_ptr<TDaxRtfFont> entry);
    virtual void BeginBorder() { InBorder = true; }
    // In box mode an empty paragraph without border closes the box.
    virtual void EndBorder();
    // Label text, escaped.
    virtual void WriteText(std::string_view utf8);
    // The whole stream from its start, as it stands.
    virtual void WriteStream(TStream& stream);
    // Writes the file (header, font table, page setup, body) as the document stands.
    virtual void WriteFile();
    virtual void EndParagraph() { WriteBody("\\par "); }
    virtual void OpenGroup();
    virtual void CloseGroup();
    // alignment 1 centre, 2 right, anything else left.
    virtual void AddTabStop(int32_t twips, int alignment);
    virtual void Tab() { WriteBody("\\tab "); }

    // Takes a copy of setup, its lengths in inches.
    void SetPageSetup(const TDaxPageSetup& setup);
    // Appends RTF as it stands.
    void WriteBody(std::string_view rtf) { Body.append(rtf); }
    void StartParagraph();
    void SelectFont(const TRpxFont& font);
    // Closes every open group and the document and writes the file, once; later calls do
    // nothing. Called at the end of a pass on every path, an aborted one included.
    void Finish();
    bool Finished() const { return finished_; }

    // The whole file as WriteFile writes it.
    std::string Contents() const;

    std::string FileName;
    std::string Body;
    TRpxFont LastFont;
    TDaxRtfFont* CurrentFont = nullptr;
    std::vector<std::unique_ptr<TDaxRtfFont>> Fonts;
    int32_t GroupDepth = 0;
    // Paper and margins in inches, as the page setup gave them.
    struct PageGeometry {
        bool UseCurrentSize = true, CustomSize = false, Landscape = false;
        int32_t PaperCode = 1;
        double Width = 8.5, Height = 11, Left = 0.5, Top = 0.5, Right = 0.5, Bottom = 0.5;
    } Page;
    bool InBorder = false;
    bool BorderBottom = false;
    bool PageBreakPending = false;

private:
    bool finished_ = false;
};
