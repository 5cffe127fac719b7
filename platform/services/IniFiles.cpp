#include "platform/services/IniFiles.h"

#include "platform/runtime/NumText.h"

#include "platform/runtime/FileLoad.h"
#include "platform/runtime/FileSave.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace {

constexpr size_t kMaxFileSize = 4 * 1024 * 1024;
constexpr size_t kMaxLines = 500000;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// A name as compared: ASCII letters folded, as SameText does.
std::string Folded(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// A section header's name, or nothing when the line is not one.
std::optional<std::string> SectionName(const std::string& line)
{
    const std::string t = Trim(line);
    if (t.size() < 2 || t[0] != '[') return std::nullopt;
    const size_t close = t.find(']');
    if (close == std::string::npos) return std::nullopt;
    return Trim(std::string_view(t).substr(1, close - 1));
}

// Key and value of an entry line; false for comments and other lines.
bool Entry(const std::string& line, std::string& key, std::string& value)
{
    const std::string t = Trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#' || t[0] == '[') return false;
    const size_t eq = t.find('=');
    if (eq == std::string::npos) return false;
    key = Trim(std::string_view(t).substr(0, eq));
    value = Trim(std::string_view(t).substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return !key.empty();
}

// [first, last) lines of the first section of that name; first is the header; -1 when absent.
std::pair<int, int> FindSection(const std::vector<std::string>& lines, const std::string& section)
{
    const int n = static_cast<int>(lines.size());
    for (int i = 0; i < n; ++i) {
        const auto name = SectionName(lines[i]);
        if (!name || !SameText(*name, section)) continue;
        int end = i + 1;
        while (end < n && !SectionName(lines[end])) ++end;
        return {i, end};
    }
    return {-1, -1};
}

int FindKey(const std::vector<std::string>& lines, std::pair<int, int> range, const std::string& ident,
            std::string* value = nullptr)
{
    for (int i = range.first + 1; i < range.second; ++i) {
        std::string k, v;
        if (Entry(lines[i], k, v) && SameText(k, ident)) {
            if (value) *value = v;
            return i;
        }
    }
    return -1;
}

// Line breaks as the string list splits them: CR LF, LF or CR.
size_t LineBreaks(std::string_view b)
{
    size_t n = 0;
    for (size_t i = 0; i < b.size(); ++i)
        if (b[i] == '\n' || (b[i] == '\r' && (i + 1 == b.size() || b[i + 1] != '\n'))) ++n;
    return n;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

}  // namespace

TIniFile::TStamp TIniFile::StampOf(const std::string& fileName)
{
    TIniFile::TStamp stamp;
    struct stat st {};
    if (::stat(fileName.c_str(), &st) != 0) return stamp;
    stamp.Exists = true;
    stamp.Device = static_cast<unsigned long long>(st.st_dev);
    stamp.Inode = static_cast<unsigned long long>(st.st_ino);
    stamp.Size = static_cast<unsigned long long>(st.st_size);
    stamp.Modified = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    stamp.Changed = static_cast<long long>(st.st_ctim.tv_sec) * 1000000000LL + st.st_ctim.tv_nsec;
    return stamp;
}

const TIniFile::TLines& TIniFile::Load() const
{
    const TStamp stamp = StampOf(fileName_);
    if (!cache_ || !(cache_->Stamp == stamp)) {
        auto cache = std::make_shared<TCache>();
        cache->File = ReadFile();
        // Stamped before reading: a change while reading shows as a change next time.
        cache->Stamp = stamp;
        const auto& lines = cache->File.Lines;
        std::pair<int, int>* open = nullptr;
        for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
            const auto name = SectionName(lines[i]);
            if (!name) continue;
            if (open) open->second = i;
            const auto [at, added] = cache->Sections.emplace(Folded(*name), std::pair<int, int>{i, -1});
            open = added ? &at->second : nullptr;
        }
        if (open) open->second = static_cast<int>(lines.size());
        cache_ = std::move(cache);
    }
    return cache_->File;
}

std::pair<int, int> TIniFile::SectionRange(const std::string& section) const
{
    Load();
    const auto it = cache_->Sections.find(Folded(section));
    return it == cache_->Sections.end() ? std::pair<int, int>{-1, -1} : it->second;
}

TIniFile::TLines TIniFile::ReadFile() const
{
    TLines out;
    // A folder, a pipe or a device is not read (a pipe would wait for a writer, a device may
    // never end) and never replaced.
    TLoadedFile file = LoadRegularFile(fileName_, kMaxFileSize);
    if (file.Status == TFileLoad::Missing) return out;
    std::string_view bytes = file.Bytes;
    // Each line costs far more memory than its bytes: a file of nothing but line breaks is
    // not read either.
    if (file.Status != TFileLoad::Loaded || LineBreaks(bytes) > kMaxLines) {
        out.Readable = false;
        return out;
    }
    // A byte-order mark from an editor is no part of the first line; it is written back.
    if (bytes.substr(0, 3) == kUtf8Bom) {
        bytes.remove_prefix(3);
        out.Bom = true;
    }
    TStringList list;
    list.SetText(bytes);
    for (int i = 0; i < list.Count(); ++i) out.Lines.push_back(list[i]);
    return out;
}

void TIniFile::Save(const TLines& file) const
{
    cache_.reset();  // read again after the write, whatever it leaves on disk
    const auto& lines = file.Lines;
    std::string text = file.Bom ? std::string(kUtf8Bom) : std::string();
    for (const auto& l : lines) text += l + "\n";
    // A file we could not read back is not written.
    if (lines.size() > kMaxLines || text.size() > kMaxFileSize)
        throw EIniFileException("Unable to write to " + fileName_ + ": the file would be too large");
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::path(fileName_).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    try {
        SaveFileAtomically(fileName_, text);
    } catch (const EStreamError& e) {
        throw EIniFileException("Unable to write to " + fileName_ + ": " + e.Message());
    }
}

bool TIniFile::CanWrite(const std::string& fileName)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path name = fs::absolute(fs::path(fileName), ec);
    const fs::path folder = name.parent_path();
    struct stat st {};
    if (::stat(name.c_str(), &st) == 0)
        return S_ISREG(st.st_mode) && ::access(name.c_str(), W_OK) == 0 && ::access(folder.c_str(), W_OK) == 0;
    return fs::is_directory(folder, ec) && ::access(folder.c_str(), W_OK) == 0;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& def) const
{
    const TLines& l = Load();
    std::string v;
    const auto range = SectionRange(section);
    if (range.first < 0 || FindKey(l.Lines, range, ident, &v) < 0) return def;
    return v;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& ident, int def) const
{
    return StrToIntDef(ReadString(section, ident, ""), def);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) const
{
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value)
{
    const std::string s = Trim(section), k = Trim(ident);
    if (s.empty() || HasLineBreak(s) || s.find(']') != std::string::npos)
        throw EIniFileException("Invalid section name \"" + section + "\" for " + fileName_);
    if (k.empty() || HasLineBreak(k) || k.find('=') != std::string::npos || k[0] == '[' || k[0] == ';' || k[0] == '#')
        throw EIniFileException("Invalid key name \"" + ident + "\" for " + fileName_);
    if (HasLineBreak(value)) throw EIniFileException("A value with a line break cannot be written to " + fileName_);

    TLines l = Load();  // a copy to change
    if (!l.Readable) throw EIniFileException("Unable to write to " + fileName_ + ": the file cannot be read");
    auto& lines = l.Lines;
    const auto range = FindSection(lines, s);
    if (range.first < 0) {
        if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
        lines.push_back("[" + s + "]");
        lines.push_back(k + "=" + value);
    } else if (const int found = FindKey(lines, range, k); found >= 0) {
        std::string oldKey, oldValue;
        Entry(lines[found], oldKey, oldValue);
        lines[found] = oldKey + "=" + value;
    } else {
        int at = range.second;
        while (at > range.first + 1 && Trim(lines[at - 1]).empty()) --at;
        lines.insert(lines.begin() + at, k + "=" + value);
    }
    Save(l);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& ident, int value)
{
    WriteString(section, ident, IntToStr(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& ident, bool value)
{
    WriteString(section, ident, value ? "1" : "0");
}

bool TIniFile::SectionExists(const std::string& section) const
{
    return SectionRange(section).first >= 0;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) const
{
    const TLines& l = Load();
    const auto range = SectionRange(section);
    return range.first >= 0 && FindKey(l.Lines, range, ident) >= 0;
}

void TIniFile::ReadSections(TStrings& strings) const
{
    strings.Clear();
    std::unordered_set<std::string> seen;   // folded names: a file of many sections stays fast
    for (const auto& line : Load().Lines)
        if (const auto name = SectionName(line); name && seen.insert(Folded(*name)).second) strings.Add(*name);
}

void TIniFile::ReadSection(const std::string& section, TStrings& strings) const
{
    strings.Clear();
    const TLines& l = Load();
    const auto range = SectionRange(section);
    std::unordered_set<std::string> seen;
    for (int i = range.first + 1; range.first >= 0 && i < range.second; ++i) {
        std::string k, v;
        if (Entry(l.Lines[i], k, v) && seen.insert(Folded(k)).second) strings.Add(k);
    }
}

void TIniFile::EraseSection(const std::string& section)
{
    TLines l = Load();  // a copy to change
    if (!l.Readable) throw EIniFileException("Unable to write to " + fileName_ + ": the file cannot be read");
    const auto range = FindSection(l.Lines, section);
    if (range.first < 0) return;
    l.Lines.erase(l.Lines.begin() + range.first, l.Lines.begin() + range.second);
    Save(l);
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident)
{
    TLines l = Load();  // a copy to change
    if (!l.Readable) throw EIniFileException("Unable to write to " + fileName_ + ": the file cannot be read");
    const auto range = FindSection(l.Lines, section);
    const int at = range.first < 0 ? -1 : FindKey(l.Lines, range, ident);
    if (at < 0) return;
    l.Lines.erase(l.Lines.begin() + at);
    Save(l);
}
