// Settings files with private-profile semantics:
// - "[Section]" lines open sections; "Key=Value" lines hold the entries; lines starting with
//   ";" or "#", and any line that is neither, are kept as they are and otherwise ignored;
// - section and key names match without regard to case; the first section and the first
//   key of a name are the ones read and written;
// - values are trimmed of blanks and control characters, and one pair of matching quotes
//   ('...' or "...") around a value is dropped; there is no escaping;
// - a UTF-8 byte-order mark at the start of the file is skipped, and kept when writing;
// - a write changes only its own line (or adds one) and replaces the file atomically; a
//   file that exists but cannot be read is never written over.
// A missing or unreadable file (also one over 4 MiB or 500,000 lines) reads as empty.
// The file is read once and kept; it is read again only when it has changed on disk (another
// size, time, or a file put in its place), so many reads of a large file stay cheap.
#pragma once

#include "platform/runtime/Classes.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

MW_DECLARE_EXCEPTION(EIniFileException, Exception);

class TIniFile {
public:
    explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
    const std::string& FileName() const { return fileName_; }

    std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) const;
    // A value that is not a whole number gives def.
    int ReadInteger(const std::string& section, const std::string& ident, int def) const;
    bool ReadBool(const std::string& section, const std::string& ident, bool def) const;

    // EIniFileException when the file cannot be written, or for a name or value a settings
    // file cannot hold (a line break; "=" or a leading "[" in a key).
    void WriteString(const std::string& section, const std::string& ident, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& ident, int value);
    void WriteBool(const std::string& section, const std::string& ident, bool value);

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& ident) const;
    void ReadSections(TStrings& strings) const;
    void ReadSection(const std::string& section, TStrings& strings) const;
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& ident);

    // True when WriteString can store this file: it exists and is writable, or its folder is.
    static bool CanWrite(const std::string& fileName);

private:
    struct TLines {
        std::vector<std::string> Lines;
        bool Readable = true;  // false: the file exists but could not be read
        bool Bom = false;      // the file starts with a UTF-8 byte-order mark
    };
    // What the file system says of the file; equal stamps: the file has not changed.
    struct TStamp {
        bool Exists = false;
        unsigned long long Device = 0, Inode = 0, Size = 0;
        long long Modified = 0, Changed = 0;  // nanoseconds
        bool operator==(const TStamp&) const = default;
    };
    struct TCache {
        TStamp Stamp;
        TLines File;
        // Folded section name: [first, last) lines of its first section, as FindSection gives.
        std::unordered_map<std::string, std::pair<int, int>> Sections;
    };
    static TStamp StampOf(const std::string& fileName);
    // The file as last read, read again when it has changed.
    const TLines& Load() const;
    TLines ReadFile() const;
    std::pair<int, int> SectionRange(const std::string& section) const;
    void Save(const TLines& file) const;

    std::string fileName_;
    mutable std::shared_ptr<const TCache> cache_;
};
