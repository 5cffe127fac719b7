#include "platform/services/Shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

namespace {

bool DefaultOpener(const std::string& url)
{
    return QProcess::startDetached("xdg-open", {QString::fromStdString(url)});
}

TUrlOpener& Opener()
{
    static TUrlOpener opener;
    return opener;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

std::vector<std::string> SplitParameters(std::string_view p)
{
    std::vector<std::string> args;
    std::string word;
    bool inWord = false;
    size_t i = 0;
    while (i < p.size()) {
        const char c = p[i];
        if (IsBlank(c)) {
            if (inWord) args.push_back(std::move(word));
            word.clear();
            inWord = false;
            ++i;
        } else if (c == '\'') {
            const size_t close = p.find('\'', i + 1);
            if (close == std::string_view::npos) throw EConvertError("Unclosed ' in the parameters");
            word.append(p.substr(i + 1, close - i - 1));
            inWord = true;
            i = close + 1;
        } else if (c == '"') {
            inWord = true;
            for (++i;; ++i) {
                if (i >= p.size()) throw EConvertError("Unclosed \" in the parameters");
                const char d = p[i];
                if (d == '"') break;
                if (d == '\\' && i + 1 < p.size() && std::string_view("$`\"\\\n").find(p[i + 1]) != std::string_view::npos) {
                    if (p[i + 1] != '\n') word += p[i + 1];
                    ++i;
                } else {
                    word += d;
                }
            }
            ++i;
        } else if (c == '\\') {
            if (i + 1 >= p.size()) throw EConvertError("A backslash ends the parameters");
            if (p[i + 1] != '\n') {
                word += p[i + 1];
                inWord = true;
            }
            i += 2;
        } else {
            word += c;
            inWord = true;
            ++i;
        }
    }
    if (inWord) args.push_back(std::move(word));
    return args;
}

bool ShellExecuteOpen(const std::string& fileName, const std::string& parameters, const std::string& directory,
                      std::string* why)
{
    auto fail = [why](std::string cause) {
        if (why) *why = std::move(cause);
        return false;
    };
    const QFileInfo program(QFile::decodeName(QByteArray::fromStdString(fileName)));
    if (!program.exists()) return fail("The file " + fileName + " does not exist.");
    if (!program.isFile()) return fail(fileName + " is not a file.");
    if (!program.isExecutable()) return fail(fileName + " is not an executable program (it may have lost its execute permission).");
    if (!directory.empty() && !QFileInfo(QFile::decodeName(QByteArray::fromStdString(directory))).isDir())
        return fail("The folder " + directory + " does not exist.");
    QStringList args;
    try {
        for (const auto& a : SplitParameters(parameters)) args << QString::fromStdString(a);
    } catch (const EConvertError& e) {
        return fail(std::string(e.what()) + ".");
    }
    QProcess process;
    process.setProgram(program.absoluteFilePath());
    process.setArguments(args);
    process.setWorkingDirectory(QFile::decodeName(QByteArray::fromStdString(directory)));
    if (!process.startDetached()) {
        const QString error = process.errorString();
        return fail(error.isEmpty() ? std::string("The program could not be started.") : error.toStdString() + ".");
    }
    return true;
}

bool ShellOpenURL(const std::string& url)
{
    if (url.empty()) return false;
    const TUrlOpener& opener = Opener();
    return opener ? opener(url) : DefaultOpener(url);
}

TUrlOpener SetUrlOpener(TUrlOpener opener)
{
    TUrlOpener previous = std::move(Opener());
    Opener() = std::move(opener);
    return previous;
}
