// HKEY_CURRENT_USER as one plain-text file per user, and the registry-as-ini view of a key.
//
// The file (RegistryFileName(): $MW_REGISTRY_FILE, else <config>/belvor/registry.txt) is UTF-8
// text that installers and tools may write by hand:
//
//   # comment (also ";"), blank lines ignored
//   [Software\Belvor\Mastwise]         a key: its path below HKEY_CURRENT_USER, "\" between names
//   Path=/opt/belvor/mastwise          a string value of the key above: Name=Value
//   Description="  kept blanks\tand a tab"
//
// - Key paths and value names match without regard to case (ASCII letters); a key exists when it
//   has a section or a section below it. A key written twice is one key; a value written twice
//   reads as its last line.
// - Names and plain values are trimmed of blanks. A value that starts with a double quote is a
//   quoted string: it ends at the next unescaped double quote (only blanks may follow) and knows
//   the escapes \\ \" \n \r \t and \xHH. Everything else is taken literally, backslashes too.
// - Subkeys are listed in alphabetical order without regard to case, as the system registry does.
// - Any other line, a value before the first key, a bad quoted string, bytes that are not UTF-8
//   or a file over 8 MiB or 500,000 lines make the file damaged: reading it raises ERegistryDamaged naming the
//   file and line, and nothing is ever written over it until it is mended by hand.
// Writes keep every other line (comments included) as it was, take a lock file beside the
// registry (<file>.lock, held with flock() and removed afterwards), re-read the file, and
// replace it atomically (SaveFileAtomically). A write that fails names its cause: a read-only
// folder, a full disk, or the system's own words. The file's name is used as the file system's
// bytes, whatever its encoding.
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/services/ConfigPaths.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

MW_DECLARE_EXCEPTION(ERegistryException, Exception);
// The registry file cannot be read; it was left exactly as it is.
MW_DECLARE_EXCEPTION(ERegistryDamaged, ERegistryException);

// The contents of one registry file, kept line by line so that rewriting it changes only
// the lines that changed.
class TRegistryData {
public:
    using TValues = std::vector<std::pair<std::string, std::string>>;

    // ERegistryDamaged ("<fileName> line <n>: <what>") for text that is not a registry file.
    static TRegistryData Parse(std::string_view text, const std::string& fileName = "registry");
    std::string Text() const;

    bool KeyExists(const std::string& path) const;
    // The names of the keys directly below path ("" for the root).
    std::vector<std::string> SubKeys(const std::string& path) const;
    // The values of the key in the order of the file, each name once with its last value.
    TValues Values(const std::string& path) const;
    bool ReadValue(const std::string& path, const std::string& name, std::string& value) const;

    // ERegistryException for a path or name the file cannot hold.
    void CreateKey(const std::string& path);
    void WriteValue(const std::string& path, const std::string& name, const std::string& value);
    bool DeleteValue(const std::string& path, const std::string& name);
    // Deletes the key with everything below it.
    bool DeleteKey(const std::string& path);

private:
    enum class TKind { Other, Section, Value };
    struct TLine {
        std::string Raw;
        TKind Kind = TKind::Other;
        std::string Key;   // the section's path (section and value lines)
        std::string Name;  // value lines
        std::string Value;
    };
    static std::string CheckPath(const std::string& path);
    int SectionEnd(int header) const;  // index after the last line of the section at header
    // The value lines of a key, in file order. An index by key built on first use and dropped
    // by every change, so that reading every key's values costs one pass over the file.
    const std::vector<size_t>& ValueLines(const std::string& path) const;
    void Changed();
    std::vector<TLine> lines_;
    mutable std::unordered_map<std::string, std::vector<size_t>> valueLines_;
    mutable bool indexed_ = false;
};

// Quotes a value when a plain one would not read back the same (see above).
std::string EncodeRegistryValue(const std::string& value);

// One registry file on disk.
class TRegistryFile {
public:
    explicit TRegistryFile(std::string fileName = RegistryFileName()) : fileName_(std::move(fileName)) {}
    const std::string& FileName() const { return fileName_; }

    // A missing file is an empty registry. ERegistryDamaged when the file cannot be read as one
    // (unreadable, too large, or not in the format above).
    TRegistryData Load() const;
    // Under the lock: re-reads the file, applies change and writes the result atomically when
    // it differs. Returns what the file now holds. ERegistryDamaged leaves the file untouched;
    // ERegistryException when it cannot be locked or written.
    TRegistryData Update(const std::function<void(TRegistryData&)>& change);

private:
    std::string fileName_;
};

// A key of HKEY_CURRENT_USER seen as an ini file: each subkey is a section, its string values
// the section's entries. Reads come from the registry as it was when opened or last written;
// each write is written through at once.
class TRegIniFile {
public:
    // Opens the key keyPath (e.g. "Software\\Belvor"), creating it when it is missing.
    // ERegistryDamaged for a damaged file, ERegistryException when the key cannot be created.
    explicit TRegIniFile(const std::string& keyPath, const std::string& registryFile = RegistryFileName());

    const std::string& FileName() const { return key_; }
    const std::string& RegistryFile() const { return file_.FileName(); }

    // A missing value (or section) gives def; names match without regard to case.
    std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) const;
    int ReadInteger(const std::string& section, const std::string& ident, int def) const;
    bool ReadBool(const std::string& section, const std::string& ident, bool def) const;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& ident, int value);
    void WriteBool(const std::string& section, const std::string& ident, bool value);

    // Subkey names of the key (the sections).
    void ReadSections(TStrings& strings) const;
    // Value names of a section.
    void ReadSection(const std::string& section, TStrings& strings) const;
    // "name=value" pairs of a section.
    void ReadSectionValues(const std::string& section, TStrings& strings) const;
    bool SectionExists(const std::string& section) const;
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& ident);

private:
    std::string Path(const std::string& section) const;

    TRegistryFile file_;
    std::string key_;
    TRegistryData data_;
};
