// PDF export of an exhibit page: the page image is written as "~" + base + ".gif" beside a
// one-image "~" + base + ".html" page in a private temporary folder, and the HTML-to-PDF
// converter (htmldoc) turns that page into the PDF. The PDF replaces the chosen file only when
// the converter has exited cleanly and written it, so a failed export leaves the user's folder
// as it was; the temporaries go with the private folder once the converter has finished.
//
// The converter runs behind TProcessRunner, so tests can put a failing one in its place.
#pragma once

#include "platform/graphics/Graphics.h"

#include <functional>
#include <string>
#include <vector>

// The messages of the export.
extern const char* const kPdfFailedText;       // "Unable to create PDF file."
extern const char* const kPdfImageFailedText;  // "Unable to create PDF file.\r\rUnable to create image file."
extern const char* const kPdfHtmlFailedText;   // "Unable to create HTML file for PDF"

struct TProcessResult {
    bool Started = false;   // the program could be started
    bool Finished = false;  // it exited by itself within the time limit (not killed, not crashed)
    int ExitCode = -1;
};

// Runs program with args (a list, no shell) in workDir without a window, and waits up to
// timeoutMs for it to exit; a program still running then is killed.
using TProcessRunner = std::function<TProcessResult(const std::string& program, const std::vector<std::string>& args,
                                                    const std::string& workDir, int timeoutMs)>;
TProcessResult RunHiddenProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::string& workDir, int timeoutMs);

struct TPdfConverter {
    std::string Program;  // full path; empty when none was found
    TProcessRunner Run = RunHiddenProcess;
    int TimeoutMs = 120000;
};

// htmldoc in the program folder, else on the PATH; "" when there is none.
std::string FindHtmlDoc(const std::string& programFolder);
TPdfConverter HtmlDocConverter(const std::string& programFolder);

// The converter's arguments: a web page with small margins, no header or footer, PDF 1.2.
std::vector<std::string> HtmlDocArguments(const std::string& pdfFile, const std::string& htmlFile);

// The chosen file's name without its folder and without its last extension
// ("/out/report.v2.pdf" gives "report.v2").
std::string PdfBaseName(const std::string& fileName);
// The HTML page that shows the image "~" + base + ".gif", its name escaped for the attribute.
std::string PdfHtmlText(const std::string& base);
// Writes "~" + base + ".html" into folder; false when the file cannot be created.
bool WritePdfHtml(const std::string& folder, const std::string& base);

// Makes the PDF fileName from page (whose pixel format becomes 24 bits). Problems are reported
// through showError with the export's messages; true when the PDF was written.
bool MakePdfFile(TBitmap& page, const std::string& fileName, const TPdfConverter& converter,
                 const std::function<void(const std::string&)>& showError);
