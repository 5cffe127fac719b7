#include "platform/services/Registry.h"

#include "platform/runtime/NumText.h"

#include "platform/runtime/FileLoad.h"
#include "platform/runtime/FileSave.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr size_t kMaxFileSize = 8 * 1024 * 1024;
constexpr int kMaxLines = 500000;

// A name as compared: ASCII letters folded, as SameText does.
std::string Folded(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool ValidUtf8(std::string_view s, size_t& badAt)
{
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int extra = 0;
        uint32_t cp = 0;
        if (c < 0x80) { ++i; continue; }
        if ((c & 0xE0) == 0xC0) { extra = 1; cp = c & 0x1F; }
        else if ((c & 0xF0) == 0xE0) { extra = 2; cp = c & 0x0F; }
        else if ((c & 0xF8) == 0xF0) { extra = 3; cp = c & 0x07; }
        else { badAt = i; return false; }
        if (i + extra >= s.size()) { badAt = i; return false; }
        for (int k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) { badAt = i; return false; }
            cp = (cp << 6) | (d & 0x3F);
        }
        const bool overlong = (extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
        if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { badAt = i; return false; }
        i += extra + 1;
    }
    return true;
}

// Splits a key path into its names; false when a name is empty or holds a control character.
bool SplitPath(std::string_view path, std::vector<std::string>& names)
{
    names.clear();
    if (path.empty()) return true;
    size_t start = 0;
    for (;;) {
        const size_t end = path.find('\\', start);
        std::string name = Trim(path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (name.empty()) return false;
        for (unsigned char c : name)
            if (IsControl(c) || c == '[' || c == ']') return false;
        names.push_back(std::move(name));
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

std::string JoinPath(const std::vector<std::string>& names)
{
    std::string out;
    for (const auto& n : names) {
        if (!out.empty()) out += '\\';
        out += n;
    }
    return out;
}

// "a\b" lies below "a" (and "a" below "").
bool IsBelow(const std::string& path, const std::string& parent)
{
    if (parent.empty()) return !path.empty();
    return path.size() > parent.size() && path[parent.size()] == '\\' && SameText(path.substr(0, parent.size()), parent);
}

bool ValidName(const std::string& name)
{
    if (name.empty() || name != Trim(name)) return false;
    if (name[0] == '[' || name[0] == '#' || name[0] == ';' || name[0] == '"') return false;
    for (unsigned char c : name)
        if (IsControl(c) || c == '=') return false;
    return true;
}

// The value text after "=": plain (trimmed) or quoted. Empty `error` on success.
std::string DecodeValue(std::string_view text, std::string& error)
{
    const std::string t = Trim(text);
    if (t.empty() || t[0] != '"') return t;
    std::string out;
    size_t i = 0;
    switch (UnquoteText(t, i, out, true)) {
    case TUnquoteFault::None: break;
    case TUnquoteFault::BadHexEscape: error = "bad \\x escape in a quoted value"; return {};
    case TUnquoteFault::UnknownEscape: error = std::string("unknown escape \\") + t[i - 1] + " in a quoted value"; return {};
    default: error = "quoted value without its closing quote"; return {};
    }
    if (i != t.size()) error = "text after the closing quote of a value";
    return out;
}

// Why a file in folder could not be written, in the user's terms: the folder is read-only or
// the disk is full, else the system's own words (error) or what the save said (detail).
std::string WriteFailureCause(const std::filesystem::path& folder, int error, const std::string& detail = {})
{
    struct statvfs fs {};
    const bool known = ::statvfs(folder.c_str(), &fs) == 0;
    if (error == EROFS || error == EACCES || error == EPERM || (known && (fs.f_flag & ST_RDONLY)) ||
        ::access(folder.c_str(), W_OK) != 0)
        return "its folder " + folder.string() + " is read-only";
    if (error == ENOSPC || error == EDQUOT || (known && fs.f_bavail == 0)) return "the disk is full";
    if (!detail.empty()) return detail;
    return std::strerror(error);
}

// The writers' lock: a lock file beside the registry held with flock(), so a program that dies
// holding it frees it at once. The file is removed on release; a holder that finds its file
// gone (removed by the one before) locks again on the new one.
class TLock {
public:
    TLock() = default;
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;
    ~TLock()
    {
        if (fd_ < 0) return;
        ::unlink(name_.c_str());
        ::close(fd_);
    }

    // 0 once held; EWOULDBLOCK when another holds it for longer than timeoutMs; else the error
    // that kept the lock file from being made.
    int Acquire(const std::string& name, int timeoutMs)
    {
        name_ = name;
        for (int waited = 0;;) {
            const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd < 0) return errno;
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                struct stat held {}, named {};
                if (::fstat(fd, &held) == 0 && ::stat(name.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
                    held.st_ino == named.st_ino) {
                    fd_ = fd;
                    return 0;
                }
                ::close(fd);  // released and removed meanwhile: take the new one
                continue;
            }
            const int error = errno;
            ::close(fd);
            if (error != EWOULDBLOCK && error != EINTR) return error;
            if (waited >= timeoutMs) return EWOULDBLOCK;
            ::usleep(20000);
            waited += 20;
        }
    }

private:
    std::string name_;
    int fd_ = -1;
};

}  // namespace

std::string EncodeRegistryValue(const std::string& value)
{
    bool quote = !value.empty() && (static_cast<unsigned char>(value.front()) <= ' ' ||
                                    static_cast<unsigned char>(value.back()) <= ' ' || value.front() == '"');
    for (unsigned char c : value)
        if (IsControl(c)) quote = true;
    if (!quote) return value;
    return QuotedText(value);
}

// --- TRegistryData ---------------------------------------------------------------------------

TRegistryData TRegistryData::Parse(std::string_view text, const std::string& fileName)
{
    auto damaged = [&](int line, const std::string& what) {
        throw ERegistryDamaged("The registry file " + fileName + " is damaged (line " + IntToStr(line) + ": " + what +
                               "); it was left as it is.");
    };
    size_t bad = 0;
    if (!ValidUtf8(text, bad)) {
        const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(bad), '\n'));
        damaged(line, "not UTF-8 text");
    }
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a BOM from an editor
    // Every line is kept with its parts: a file of nothing but line breaks would cost far more
    // memory than its size.
    if (std::count(text.begin(), text.end(), '\n') > kMaxLines)
        damaged(kMaxLines + 1, "more than " + IntToStr(kMaxLines) + " lines");

    TRegistryData data;
    std::string key;
    bool inKey = false;
    int number = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string raw(text.substr(pos, end - pos));
        pos = end + 1;
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (raw.find('\0') != std::string::npos) damaged(number, "a NUL byte");

        TLine line;
        line.Raw = raw;
        const std::string t = Trim(raw);
        if (t.empty() || t[0] == '#' || t[0] == ';') {
            line.Kind = TKind::Other;
        } else if (t[0] == '[') {
            if (t.back() != ']') damaged(number, "a key line without its closing \"]\"");
            std::vector<std::string> names;
            if (!SplitPath(std::string_view(t).substr(1, t.size() - 2), names) || names.empty())
                damaged(number, "a bad key path");
            line.Kind = TKind::Section;
            line.Key = key = JoinPath(names);
            inKey = true;
        } else {
            const size_t eq = t.find('=');
            if (eq == std::string::npos) damaged(number, "neither a key, a value nor a comment");
            if (!inKey) damaged(number, "a value before the first key");
            line.Kind = TKind::Value;
            line.Key = key;
            line.Name = Trim(std::string_view(t).substr(0, eq));
            if (line.Name.empty()) damaged(number, "a value without a name");
            std::string error;
            line.Value = DecodeValue(std::string_view(t).substr(eq + 1), error);
            if (!error.empty()) damaged(number, error);
        }
        data.lines_.push_back(std::move(line));
    }
    return data;
}

std::string TRegistryData::Text() const
{
    std::string out;
    for (const auto& l : lines_) out += l.Raw + "\n";
    return out;
}

bool TRegistryData::KeyExists(const std::string& path) const
{
    if (path.empty()) return true;
    for (const auto& l : lines_)
        if (l.Kind == TKind::Section && (SameText(l.Key, path) || IsBelow(l.Key, path))) return true;
    return false;
}

std::vector<std::string> TRegistryData::SubKeys(const std::string& path) const
{
    std::vector<std::string> out;
    std::unordered_set<std::string> seen;   // folded names: a file with many keys stays fast
    for (const auto& l : lines_) {
        if (l.Kind != TKind::Section || !IsBelow(l.Key, path)) continue;
        const std::string rest = l.Key.substr(path.empty() ? 0 : path.size() + 1);
        std::string name = rest.substr(0, rest.find('\\'));
        if (seen.insert(Folded(name)).second) out.push_back(std::move(name));
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    return out;
}

const std::vector<size_t>& TRegistryData::ValueLines(const std::string& path) const
{
    if (!indexed_) {
        valueLines_.clear();
        for (size_t i = 0; i < lines_.size(); ++i)
            if (lines_[i].Kind == TKind::Value) valueLines_[Folded(lines_[i].Key)].push_back(i);
        indexed_ = true;
    }
    static const std::vector<size_t> none;
    const auto it = valueLines_.find(Folded(path));
    return it == valueLines_.end() ? none : it->second;
}

void TRegistryData::Changed()
{
    indexed_ = false;
    valueLines_.clear();
}

TRegistryData::TValues TRegistryData::Values(const std::string& path) const
{
    TValues out;
    std::unordered_map<std::string, size_t> at;   // folded name -> index in out
    for (const size_t i : ValueLines(path)) {
        const TLine& l = lines_[i];
        const auto [it, added] = at.emplace(Folded(l.Name), out.size());
        if (added) out.emplace_back(l.Name, l.Value);
        else out[it->second].second = l.Value;
    }
    return out;
}

bool TRegistryData::ReadValue(const std::string& path, const std::string& name, std::string& value) const
{
    bool found = false;
    for (const size_t i : ValueLines(path))
        if (SameText(lines_[i].Name, name)) {
            value = lines_[i].Value;
            found = true;
        }
    return found;
}

std::string TRegistryData::CheckPath(const std::string& path)
{
    std::vector<std::string> names;
    if (!SplitPath(path, names) || JoinPath(names) != path)
        throw ERegistryException("Invalid registry key \"" + path + "\"");
    return path;
}

int TRegistryData::SectionEnd(int header) const
{
    int end = header + 1;
    while (end < static_cast<int>(lines_.size()) && lines_[end].Kind != TKind::Section) ++end;
    return end;
}

void TRegistryData::CreateKey(const std::string& path)
{
    CheckPath(path);
    if (path.empty() || KeyExists(path)) return;
    Changed();
    if (!lines_.empty() && !Trim(lines_.back().Raw).empty()) lines_.push_back(TLine{});
    TLine header;
    header.Kind = TKind::Section;
    header.Key = path;
    header.Raw = "[" + path + "]";
    lines_.push_back(std::move(header));
}

void TRegistryData::WriteValue(const std::string& path, const std::string& name, const std::string& value)
{
    CheckPath(path);
    if (path.empty()) throw ERegistryException("Values cannot be stored at the root of the registry");
    if (!ValidName(name)) throw ERegistryException("Invalid registry value name \"" + name + "\"");
    size_t bad = 0;
    if (!ValidUtf8(value, bad)) throw ERegistryException("Registry value \"" + name + "\" is not UTF-8 text");

    Changed();
    TLine line;
    line.Kind = TKind::Value;
    line.Key = path;
    line.Name = name;
    line.Value = value;
    // Rewrite the line that is read (the last one) and keep its spelling of the name.
    for (int i = static_cast<int>(lines_.size()) - 1; i >= 0; --i) {
        TLine& l = lines_[i];
        if (l.Kind == TKind::Value && SameText(l.Key, path) && SameText(l.Name, name)) {
            line.Name = l.Name;
            line.Raw = l.Name + "=" + EncodeRegistryValue(value);
            l = std::move(line);
            return;
        }
    }
    line.Raw = name + "=" + EncodeRegistryValue(value);
    int header = -1;
    for (int i = static_cast<int>(lines_.size()) - 1; i >= 0 && header < 0; --i)
        if (lines_[i].Kind == TKind::Section && SameText(lines_[i].Key, path)) header = i;
    if (header < 0) {
        CreateKey(path);
        lines_.push_back(std::move(line));
        return;
    }
    // After the key's last value: comments and blank lines at its end belong to what follows.
    int at = SectionEnd(header);
    while (at > header + 1 && lines_[at - 1].Kind == TKind::Other) --at;
    lines_.insert(lines_.begin() + at, std::move(line));
}

bool TRegistryData::DeleteValue(const std::string& path, const std::string& name)
{
    Changed();
    const auto before = lines_.size();
    std::erase_if(lines_, [&](const TLine& l) {
        return l.Kind == TKind::Value && SameText(l.Key, path) && SameText(l.Name, name);
    });
    return lines_.size() != before;
}

bool TRegistryData::DeleteKey(const std::string& path)
{
    if (path.empty()) return false;
    Changed();
    // One pass: a section's lines go with its header (erasing section by section would be
    // quadratic in a file with many keys).
    bool any = false;
    bool dropping = false;
    std::vector<TLine> kept;
    kept.reserve(lines_.size());
    for (auto& l : lines_) {
        if (l.Kind == TKind::Section) dropping = SameText(l.Key, path) || IsBelow(l.Key, path);
        if (dropping) any = true;
        else kept.push_back(std::move(l));
    }
    lines_ = std::move(kept);
    return any;
}

// --- TRegistryFile ---------------------------------------------------------------------------

TRegistryData TRegistryFile::Load() const
{
    const TLoadedFile file = LoadRegularFile(fileName_, kMaxFileSize);
    switch (file.Status) {
    case TFileLoad::Loaded: break;
    case TFileLoad::Missing: return {};
    // A folder, a pipe or a device is no registry file (opening a pipe would wait for a writer).
    case TFileLoad::NotAFile:
        throw ERegistryDamaged("The registry file " + fileName_ + " cannot be read (not a file); it was left as it is.");
    case TFileLoad::TooLarge:
        throw ERegistryDamaged("The registry file " + fileName_ + " is damaged (larger than 8 MiB); it was left as it is.");
    case TFileLoad::Failed:
        throw ERegistryDamaged("The registry file " + fileName_ + " cannot be read (" + std::strerror(file.Error) +
                               "); it was left as it is.");
    }
    return TRegistryData::Parse(file.Bytes, fileName_);
}

TRegistryData TRegistryFile::Update(const std::function<void(TRegistryData&)>& change)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::absolute(fs::path(fileName_)).parent_path();
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
        throw ERegistryException("Cannot create the folder of the registry file " + fileName_ + " (" +
                                 WriteFailureCause(folder, ec.value()) + ")");
    TLock lock;
    if (const int error = lock.Acquire(fileName_ + ".lock", 5000)) {
        if (error == EWOULDBLOCK)
            throw ERegistryException("The registry file " + fileName_ + " is locked by another program");
        throw ERegistryException("Cannot write the registry file " + fileName_ + " (" +
                                 WriteFailureCause(folder, error) + ")");
    }

    TRegistryData data = Load();
    const std::string before = data.Text();
    change(data);
    const std::string after = data.Text();
    if (after == before && fs::exists(fs::path(fileName_), ec)) return data;
    // A file that could not be read back is not written.
    if (after.size() > kMaxFileSize || std::count(after.begin(), after.end(), '\n') > kMaxLines)
        throw ERegistryException("Cannot write the registry file " + fileName_ + " (it would be too large)");
    try {
        SaveFileAtomically(fileName_, after);
    } catch (const EStreamError& e) {
        throw ERegistryException("Cannot write the registry file " + fileName_ + " (" +
                                 WriteFailureCause(folder, 0, e.Message()) + ")");
    }
    return data;
}

// --- TRegIniFile -----------------------------------------------------------------------------

TRegIniFile::TRegIniFile(const std::string& keyPath, const std::string& registryFile)
    : file_(registryFile), key_(keyPath)
{
    std::vector<std::string> names;
    if (!SplitPath(keyPath, names) || names.empty()) throw ERegistryException("Invalid registry key \"" + keyPath + "\"");
    key_ = JoinPath(names);
    data_ = file_.Load();
    if (!data_.KeyExists(key_)) data_ = file_.Update([&](TRegistryData& d) { d.CreateKey(key_); });
}

std::string TRegIniFile::Path(const std::string& section) const
{
    return section.empty() ? key_ : key_ + "\\" + section;
}

std::string TRegIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& def) const
{
    std::string v;
    return data_.ReadValue(Path(section), ident, v) ? v : def;
}

int TRegIniFile::ReadInteger(const std::string& section, const std::string& ident, int def) const
{
    std::string v;
    if (!data_.ReadValue(Path(section), ident, v)) return def;
    return StrToIntDef(Trim(v), def);
}

bool TRegIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) const
{
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TRegIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value)
{
    const std::string path = Path(section);
    data_ = file_.Update([&](TRegistryData& d) { d.WriteValue(path, ident, value); });
}

void TRegIniFile::WriteInteger(const std::string& section, const std::string& ident, int value)
{
    WriteString(section, ident, IntToStr(value));
}

void TRegIniFile::WriteBool(const std::string& section, const std::string& ident, bool value)
{
    WriteString(section, ident, value ? "1" : "0");
}

void TRegIniFile::ReadSections(TStrings& strings) const
{
    strings.Clear();
    for (const auto& s : data_.SubKeys(key_)) strings.Add(s);
}

void TRegIniFile::ReadSection(const std::string& section, TStrings& strings) const
{
    strings.Clear();
    for (const auto& [name, value] : data_.Values(Path(section))) strings.Add(name);
}

void TRegIniFile::ReadSectionValues(const std::string& section, TStrings& strings) const
{
    strings.Clear();
    for (const auto& [name, value] : data_.Values(Path(section))) strings.Add(name + "=" + value);
}

bool TRegIniFile::SectionExists(const std::string& section) const { return data_.KeyExists(Path(section)); }

void TRegIniFile::EraseSection(const std::string& section)
{
    if (section.empty()) return;  // never the key itself
    const std::string path = Path(section);
    data_ = file_.Update([&](TRegistryData& d) { d.DeleteKey(path); });
}

void TRegIniFile::DeleteKey(const std::string& section, const std::string& ident)
{
    const std::string path = Path(section);
    data_ = file_.Update([&](TRegistryData& d) { d.DeleteValue(path, ident); });
}
