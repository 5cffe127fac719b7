// Opening our files in LibreOffice: a headless conversion with a throwaway profile, and what
// poppler reads back from the PDF it makes (page texts, bold runs).
#pragma once

#include "support/PopplerTools.h"

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace mwtest {

inline bool SofficeAvailable() { return RunCommand("command -v soffice >/dev/null && echo yes") == "yes\n"; }

// Converts `file` to `format` ("pdf", "html", ...) beside it; the path of the result, or an
// empty path when soffice failed or wrote nothing.
inline std::filesystem::path ConvertWithSoffice(const std::filesystem::path& file, const std::string& format)
{
    std::random_device rd;
    const std::string profile = "/tmp/mw-soffice-profile-" + std::to_string(rd()) + std::to_string(rd());
    int status = 0;
    RunCommand("cd " + Quoted(file.parent_path().string()) + " && soffice --headless --norestore -env:UserInstallation=file://" +
                   profile + " --convert-to " + format + " --outdir . " + Quoted(file.filename().string()) +
                   " >/dev/null 2>&1",
               &status);
    std::filesystem::remove_all(profile);
    std::filesystem::path out = file;
    out.replace_extension(format);
    if (status != 0 || !std::filesystem::exists(out)) return {};
    return out;
}

// The text of each page (pdftotext -layout, split at form feeds; a blank last page dropped).
inline std::vector<std::string> PdfPageTexts(const std::filesystem::path& pdf)
{
    const std::string text = RunCommand("pdftotext -layout " + Quoted(pdf.string()) + " - 2>/dev/null");
    std::vector<std::string> pages(1);
    for (char c : text) {
        if (c == '\f') pages.emplace_back();
        else pages.back() += c;
    }
    if (pages.back().find_first_not_of(" \n") == std::string::npos) pages.pop_back();
    return pages;
}

// Whether the first run of text that holds `text` is bold (1) or not (0), -1 when there is
// none: poppler's XML marks runs set in a bold face with <b>.
class PdfBoldRuns {
public:
    explicit PdfBoldRuns(const std::filesystem::path& pdf)
        : xml_(RunCommand("pdftohtml -xml -stdout -i " + Quoted(pdf.string()) + " 2>/dev/null"))
    {
    }
    int Bold(const std::string& text) const
    {
        for (size_t at = xml_.find("<text "); at != std::string::npos; at = xml_.find("<text ", at + 1)) {
            const size_t open = xml_.find('>', at) + 1, close = xml_.find("</text>", open);
            const std::string inner = xml_.substr(open, close - open);
            std::string plain;
            for (size_t i = 0; i < inner.size(); ++i) {
                if (inner[i] == '<') i = inner.find('>', i);
                else plain += inner[i];
            }
            if (plain.find(text) != std::string::npos) return inner.find("<b>") != std::string::npos ? 1 : 0;
        }
        return -1;
    }
    const std::string& Xml() const { return xml_; }

private:
    std::string xml_;
};

}  // namespace mwtest
