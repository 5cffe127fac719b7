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

bool ShellExecuteOpen(const std::string& fileName, const std::string& parameters, const std::string& directory)
{
    const QFileInfo program(QFile::decodeName(QByteArray::fromStdString(fileName)));
    if (!program.isFile() || !program.isExecutable()) return false;
    if (!directory.empty() && !QFileInfo(QFile::decodeName(QByteArray::fromStdString(directory))).isDir()) return false;
    QStringList args;
    try {
        for (const auto& a : SplitParameters(parameters)) args << QString::fromStdString(a);
    } catch (const EConvertError&) {
        return false;
    }
    return QProcess::startDetached(program.absoluteFilePath(), args, QFile::decodeName(QByteArray::fromStdString(directory)));
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
