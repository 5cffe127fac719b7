#include "platform/ui/FileFilter.h"

#include "platform/runtime/SysUtils.h"

#include <cctype>

namespace {

std::vector<std::string> Split(const std::string& s, char sep)
{
    std::vector<std::string> parts;
    std::string cur;
    for (char c : s) {
        if (c == sep) {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts.push_back(cur);
    return parts;
}

// "*.mcr" -> "*.[mM][cC][rR]": Qt's dialog on a case-sensitive file system would miss
// "DEMO.MCR" otherwise.
std::string CaseBlind(const std::string& pattern)
{
    std::string out;
    for (unsigned char c : pattern) {
        if (std::isalpha(c)) {
            out += '[';
            out += static_cast<char>(std::tolower(c));
            out += static_cast<char>(std::toupper(c));
            out += ']';
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Wildcard match of '*' and '?', without regard to ASCII case. Iterative, so hostile
// patterns cannot recurse deeply.
bool Match(const std::string& name, const std::string& pat)
{
    std::size_t n = 0, p = 0, starP = std::string::npos, starN = 0;
    auto eq = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    while (n < name.size()) {
        if (p < pat.size() && (pat[p] == '?' || (pat[p] != '*' && eq(pat[p], name[n])))) {
            ++n;
            ++p;
        } else if (p < pat.size() && pat[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pat.size() && pat[p] == '*') ++p;
    return p == pat.size();
}

}  // namespace

std::vector<TFileFilter> ParseFileFilter(const std::string& filter)
{
    std::vector<TFileFilter> out;
    if (filter.empty()) return out;
    const auto parts = Split(filter, '|');
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        TFileFilter f;
        f.Description = Trim(parts[i]);
        const std::string pats = i + 1 < parts.size() ? parts[i + 1] : std::string("*");
        for (const auto& p : Split(pats, ';')) {
            const std::string t = Trim(p);
            if (!t.empty()) f.Patterns.push_back(t);
        }
        if (f.Patterns.empty()) f.Patterns.push_back("*");
        if (f.Description.empty() && i + 1 >= parts.size()) continue;  // trailing "|"
        out.push_back(std::move(f));
    }
    return out;
}

std::vector<std::string> QtNameFilters(const std::string& filter)
{
    std::vector<std::string> out;
    for (const auto& f : ParseFileFilter(filter)) {
        std::string pats;
        for (const auto& p : f.Patterns) {
            if (!pats.empty()) pats += ' ';
            pats += CaseBlind(p);
        }
        // Qt reads the patterns from the last "(...)"; the description is shown as written.
        out.push_back((f.Description.empty() ? std::string() : f.Description + " ") + "(" + pats + ")");
    }
    return out;
}

bool MatchesFileFilter(const std::string& fileName, const std::vector<std::string>& patterns)
{
    const std::string name = ExtractFileName(fileName);
    for (const auto& p : patterns) {
        // "*.*" stands for every file, with or without an extension.
        if (p == "*.*" || Match(name, p)) return true;
    }
    return false;
}

std::string AddDefaultExt(const std::string& fileName, const std::string& ext)
{
    if (fileName.empty() || ext.empty() || !ExtractFileExt(fileName).empty()) return fileName;
    if (fileName.back() == '/') return fileName;
    return fileName + "." + ext;
}
