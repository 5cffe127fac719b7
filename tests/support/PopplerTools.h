// Reading our PDF files back with poppler's command-line tools (pdftotext, pdftoppm, pdfinfo).
#pragma once

#include "support/TestFiles.h"

#include <QImage>

#include <cstdio>
#include <filesystem>
#include <cmath>
#include <regex>
#include <string>
#include <vector>

namespace mwtest {

// Runs a shell command and gives its standard output; `status` gets its exit status.
inline std::string RunCommand(const std::string& command, int* status = nullptr)
{
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) {
        if (status) *status = -1;
        return out;
    }
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int rc = pclose(p);
    if (status) *status = rc;
    return out;
}

inline std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// The text of the document (or of one page), laid out as on the page.
inline std::string PdfText(const std::string& file, int page = 0)
{
    std::string range = page > 0 ? " -f " + std::to_string(page) + " -l " + std::to_string(page) : "";
    return RunCommand("pdftotext -layout" + range + " " + Quoted(file) + " - 2>/dev/null");
}

// A word of a page as pdftotext places it (points from the top left corner).
struct TPdfWord {
    std::string text;
    double xMin, yMin, xMax, yMax;
};

// The words of page 1, in reading order.
inline std::vector<TPdfWord> PdfWords(const std::string& file)
{
    const std::string html = RunCommand("pdftotext -bbox -f 1 -l 1 " + Quoted(file) + " - 2>/dev/null");
    static const std::regex word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    std::vector<TPdfWord> words;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word); it != std::sregex_iterator(); ++it)
        words.push_back({(*it)[5], std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4])});
    return words;
}

inline int PdfPageCount(const std::string& file)
{
    const std::string info = RunCommand("pdfinfo " + Quoted(file) + " 2>/dev/null");
    const auto at = info.find("Pages:");
    if (at == std::string::npos) return -1;
    return std::stoi(info.substr(at + 6));
}

// Each page's size in whole points as pdfinfo gives it, "612x792"; the page's rotation, when
// it has one, follows as "@90".
inline std::vector<std::string> PdfPageSizes(const std::string& file)
{
    const std::string info = RunCommand("pdfinfo -f 1 -l 9999 " + Quoted(file) + " 2>/dev/null");
    static const std::regex size(R"re(Page\s+\d+ size:\s+([\d.]+) x ([\d.]+) pts)re");
    static const std::regex rot(R"re(Page\s+\d+ rot:\s+(\d+))re");
    std::vector<std::string> sizes;
    for (auto it = std::sregex_iterator(info.begin(), info.end(), size); it != std::sregex_iterator(); ++it)
        sizes.push_back(std::to_string(std::lround(std::stod((*it)[1]))) + "x" +
                        std::to_string(std::lround(std::stod((*it)[2]))));
    size_t i = 0;
    for (auto it = std::sregex_iterator(info.begin(), info.end(), rot); it != std::sregex_iterator(); ++it, ++i)
        if (i < sizes.size() && (*it)[1] != "0") sizes[i] += "@" + (*it)[1].str();
    return sizes;
}

// Page `page` rendered at `dpi` by pdftoppm; a null image when that fails.
inline QImage PdfPageImage(const std::string& file, int page, int dpi, const std::filesystem::path& folder)
{
    const std::string stem = (folder / ("page" + std::to_string(page))).string();
    RunCommand("pdftoppm -png -singlefile -r " + std::to_string(dpi) + " -f " + std::to_string(page) + " -l " +
               std::to_string(page) + " " + Quoted(file) + " " + Quoted(stem) + " 2>/dev/null");
    return QImage(QString::fromStdString(stem + ".png"));
}

// Pixels in r that are not near white / that are strongly of one colour.
inline int InkPixels(const QImage& img, const QRect& r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom() && y < img.height(); ++y)
        for (int x = r.left(); x <= r.right() && x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() < 200 || c.green() < 200 || c.blue() < 200) ++n;
        }
    return n;
}

inline int ColouredPixels(const QImage& img, const QRect& r, bool (*is)(const QColor&))
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom() && y < img.height(); ++y)
        for (int x = r.left(); x <= r.right() && x < img.width(); ++x)
            if (is(img.pixelColor(x, y))) ++n;
    return n;
}

}  // namespace mwtest
