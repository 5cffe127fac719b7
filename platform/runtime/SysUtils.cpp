#include "SysUtils.h"
#include "TypeNames.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

void Abort() { throw EAbort(); }
void AbstractError() { throw EAbstractError("Abstract Error"); }

namespace {
inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }
inline char Upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }
inline char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }
} // namespace

std::string Trim(std::string_view s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

std::string TrimLeft(std::string_view s)
{
    std::size_t b = 0;
    while (b < s.size() && IsBlank(s[b])) ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s)
{
    std::size_t e = s.size();
    while (e > 0 && IsBlank(s[e - 1])) --e;
    return std::string(s.substr(0, e));
}

std::string UpperCase(std::string_view s)
{
    std::string r(s);
    for (auto& c : r) c = Upper(c);
    return r;
}

std::string LowerCase(std::string_view s)
{
    std::string r(s);
    for (auto& c : r) c = Lower(c);
    return r;
}

bool SameText(std::string_view a, std::string_view b) { return CompareText(a, b) == 0; }

int CompareText(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d = static_cast<unsigned char>(Upper(a[i])) - static_cast<unsigned char>(Upper(b[i]));
        if (d != 0) return d;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

int CompareStr(std::string_view a, std::string_view b)
{
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int Pos(std::string_view needle, std::string_view s)
{
    if (needle.empty()) return 0;
    const auto p = s.find(needle);
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string Copy(std::string_view s, int index, int count)
{
    if (index < 1) index = 1;
    if (count <= 0 || static_cast<std::size_t>(index) > s.size()) return {};
    return std::string(s.substr(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count)));
}

std::string IntToStr(int64_t v) { return std::to_string(v); }

std::string IntToHex(uint64_t v, int digits)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*llX", std::clamp(digits, 0, 16), static_cast<unsigned long long>(v));
    return buf;
}

namespace {

bool IsControlChar(unsigned char c) { return c < 0x20 || c == 0x7F; }

}  // namespace

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string QuotedText(std::string_view s)
{
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (IsControlChar(static_cast<unsigned char>(c))) out += "\\x" + IntToHex(static_cast<unsigned char>(c), 2);
            else out += c;
        }
    }
    return out + '"';
}

TUnquoteFault UnquoteText(std::string_view text, std::size_t& pos, std::string& out, bool controlsAllowed,
                          std::size_t maxLength)
{
    ++pos;  // the opening quote
    for (;;) {
        if (pos >= text.size()) return TUnquoteFault::Unterminated;
        const char c = text[pos++];
        if (c == '"') return TUnquoteFault::None;
        if (!controlsAllowed && IsControlChar(static_cast<unsigned char>(c))) return TUnquoteFault::ControlCharacter;
        if (c != '\\') {
            out += c;
        } else {
            if (pos >= text.size()) return TUnquoteFault::Unterminated;
            switch (text[pos++]) {
            case '\\': out += '\\'; break;
            case '"': out += '"'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'x': {
                const int hi = pos + 1 < text.size() ? HexDigitValue(text[pos]) : -1;
                const int lo = hi >= 0 ? HexDigitValue(text[pos + 1]) : -1;
                if (lo < 0) return TUnquoteFault::BadHexEscape;
                out += static_cast<char>(hi * 16 + lo);
                pos += 2;
                break;
            }
            default: return TUnquoteFault::UnknownEscape;
            }
        }
        if (out.size() > maxLength) return TUnquoteFault::TooLong;
    }
}

std::string StringOfChar(char c, int count) { return count > 0 ? std::string(static_cast<std::size_t>(count), c) : std::string(); }

std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to, bool ignoreCase)
{
    if (from.empty()) return std::string(s);
    const std::string hay = ignoreCase ? UpperCase(s) : std::string(s);
    const std::string pat = ignoreCase ? UpperCase(from) : std::string(from);
    std::string out;
    std::size_t i = 0;
    for (;;) {
        const auto p = hay.find(pat, i);
        if (p == std::string::npos) break;
        out.append(s.substr(i, p - i));
        out.append(to);
        i = p + from.size();
    }
    out.append(s.substr(i));
    return out;
}

std::string IncludeTrailingPathDelimiter(std::string_view path)
{
    std::string r(path);
    if (r.empty() || r.back() != '/') r.push_back('/');
    return r;
}

std::string ExtractFilePath(std::string_view fileName)
{
    const auto p = fileName.find_last_of('/');
    return p == std::string_view::npos ? std::string() : std::string(fileName.substr(0, p + 1));
}

std::string ExtractFileName(std::string_view fileName)
{
    const auto p = fileName.find_last_of('/');
    return std::string(p == std::string_view::npos ? fileName : fileName.substr(p + 1));
}

std::string ExtractFileExt(std::string_view fileName)
{
    const auto p = fileName.find_last_of("./");
    if (p == std::string_view::npos || fileName[p] != '.') return {};
    return std::string(fileName.substr(p));
}

std::string ChangeFileExt(std::string_view fileName, std::string_view ext)
{
    const auto p = fileName.find_last_of("./");
    const std::string_view stem = (p == std::string_view::npos || fileName[p] != '.') ? fileName : fileName.substr(0, p);
    return std::string(stem) + std::string(ext);
}

bool FileExists(const std::string& fileName)
{
    struct stat st {};
    return ::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& dir)
{
    struct stat st {};
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFile(const std::string& fileName) { return ::unlink(fileName.c_str()) == 0; }

std::string ClassNameOf(const std::type_info& type)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    std::string name = status == 0 && demangled ? demangled.get() : type.name();
    // Template arguments are no part of the name a message shows; namespaces neither.
    if (const size_t open = name.find('<'); open != std::string::npos) name.erase(open);
    if (const size_t colon = name.rfind("::"); colon != std::string::npos) name.erase(0, colon + 2);
    return name;
}
