#include "planner/engine/PdfExport.h"

#include "gif/GIFWriter.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/FileSave.h"
#include "platform/runtime/SysUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

const char* const kPdfFailedText = "Unable to create PDF file.";
const char* const kPdfImageFailedText = "Unable to create PDF file.\r\rUnable to create image file.";
const char* const kPdfHtmlFailedText = "Unable to create HTML file for PDF";

namespace {

// Names and arguments reach Qt as the file system's bytes, whatever their encoding.
QString Q(const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); }

std::string ImageName(const std::string& base) { return "~" + base + ".gif"; }
std::string HtmlName(const std::string& base) { return "~" + base + ".html"; }

// A file name as the value of a src attribute: the converter reads it as a URL, so "%" is
// percent-encoded, and the attribute's own characters become entities.
std::string EscapedSource(const std::string& name)
{
    std::string out;
    for (char ch : name) {
        switch (ch) {
        case '%': out += "%25"; break;
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += ch;
        }
    }
    return out;
}

// Replaces target with the finished PDF in one step, only once it is complete.
bool Deliver(const std::string& pdf, const std::string& target)
{
    try {
        TMemoryStream in;
        in.LoadFromFile(pdf);
        if (in.Size() == 0) return false;
        SaveFileAtomically(target, in.Memory(), in.Size());
        return true;
    } catch (const EStreamError&) {
        return false;
    }
}

}  // namespace

TProcessResult RunHiddenProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::string& workDir, int timeoutMs)
{
    QProcess p;
    p.setProgram(Q(program));
    QStringList list;
    for (const std::string& a : args) list << Q(a);
    p.setArguments(list);
    if (!workDir.empty()) p.setWorkingDirectory(Q(workDir));
    p.setStandardInputFile(QProcess::nullDevice());
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    TProcessResult r;
    p.start();
    if (!p.waitForStarted()) return r;
    r.Started = true;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        return r;
    }
    r.Finished = p.exitStatus() == QProcess::NormalExit;
    r.ExitCode = p.exitCode();
    return r;
}

std::string FindHtmlDoc(const std::string& programFolder)
{
    if (!programFolder.empty()) {
        const QFileInfo beside(QDir(Q(programFolder)).filePath("htmldoc"));
        if (beside.isFile() && beside.isExecutable()) return QFile::encodeName(beside.absoluteFilePath()).toStdString();
    }
    return QFile::encodeName(QStandardPaths::findExecutable("htmldoc")).toStdString();
}

TPdfConverter HtmlDocConverter(const std::string& programFolder)
{
    TPdfConverter c;
    c.Program = FindHtmlDoc(programFolder);
    return c;
}

std::vector<std::string> HtmlDocArguments(const std::string& pdfFile, const std::string& htmlFile)
{
    return {"--webpage", "--top",    "1", "--bottom", ".25in", "--left", ".5in", "--right", ".5in",
            "--header",  ".",        "--footer", ".", "-f", pdfFile, "-t", "pdf12", htmlFile};
}

std::string PdfBaseName(const std::string& fileName)
{
    return std::filesystem::path(fileName).stem().string();
}

std::string PdfHtmlText(const std::string& base)
{
    return "<html>\n"
           "<head>\n"
           "  <title>Untitled</title>\n"
           "</head>\n"
           "\n"
           "\n"
           "<body bgcolor=\"white\">\n"
           "<center>\n"
           "<img src=\"" +
           EscapedSource(ImageName(base)) +
           "\" alt=\"image\" border=\"0\">\n"
           "</center>\n"
           "</body>\n"
           "</html>\n";
}

bool WritePdfHtml(const std::string& folder, const std::string& base)
{
    const std::string text = PdfHtmlText(base);
    std::ofstream out(std::filesystem::path(folder) / HtmlName(base), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return static_cast<bool>(out);
}

bool MakePdfFile(TBitmap& page, const std::string& fileName, const TPdfConverter& converter,
                 const std::function<void(const std::string&)>& showError)
{
    auto fail = [&](const char* text) {
        if (showError) showError(text);
        return false;
    };
    const std::string base = PdfBaseName(fileName);
    // The temporaries live only in this folder, which goes (with them) when the export ends.
    QTemporaryDir work(QDir(QDir::tempPath()).filePath("mastwise-pdf-XXXXXX"));
    if (!work.isValid()) return fail(kPdfImageFailedText);
    const std::filesystem::path folder = QFile::encodeName(work.path()).toStdString();

    bool imageWritten = false;
    try {
        imageWritten = GIFImage::SaveBitmapToGIFFile((folder / ImageName(base)).string(), page, false, false, clWhite);
    } catch (const EFCreateError&) {
        imageWritten = false;
    }
    if (!imageWritten) return fail(kPdfImageFailedText);

    // The converter runs even without the page: it then reports the failure itself.
    if (!WritePdfHtml(folder.string(), base)) fail(kPdfHtmlFailedText);

    if (converter.Program.empty() || !converter.Run) return fail(kPdfFailedText);
    const std::filesystem::path pdf = folder / ("~" + base + ".pdf");
    const TProcessResult r = converter.Run(converter.Program, HtmlDocArguments(pdf.string(), (folder / HtmlName(base)).string()),
                                           folder.string(), converter.TimeoutMs);
    std::error_code ec;
    if (!r.Started || !r.Finished || r.ExitCode != 0 || !std::filesystem::is_regular_file(pdf, ec) ||
        std::filesystem::file_size(pdf, ec) == 0)
        return fail(kPdfFailedText);
    if (!Deliver(pdf.string(), fileName)) return fail(kPdfFailedText);
    return true;
}
