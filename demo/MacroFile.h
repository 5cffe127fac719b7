// Macro files (".mcr", ".dms") and help containers (".qgf") of the demo recorder.
//
// Macro file:      "TQ2\0", int32 n, then one LZH block that expands to n event records
//                  followed by n window-identity records.
// Help container:  "QG2\0", int32 m (at most 100), int32 S, S bytes of LZH block expanding to
//                  m index entries of 268 bytes, then the data area: one LZH block per entry.
//                  Index entry: int32 id, 256 bytes of title, int32 start (relative to the data
//                  area), int32 k (events). A block runs to the next entry's start, the last
//                  one to the end of the file.
// All integers are little-endian.
#pragma once

#include "MacroRecords.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/SysUtils.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace Vantrel {

MW_DECLARE_EXCEPTION(ENoSuchMacro, Exception);   // missing, not a macro file, unknown id
MW_DECLARE_EXCEPTION(ENoSuchQGFile, Exception);  // missing, not a container, no name
MW_DECLARE_EXCEPTION(ELoadError, Exception);     // cannot open, or damaged data
MW_DECLARE_EXCEPTION(ESaveError, Exception);     // cannot create or write

// Percentage (0..100) of a compression or expansion.
using TProgressEvent = std::function<void(int percentDone)>;

inline constexpr int MaxQGEntries = 100;
inline constexpr int QGIndexEntrySize = 268;

class TMacroFile {
public:
    explicit TMacroFile(std::string fileName);   // opens nothing yet
    ~TMacroFile();
    TMacroFile(const TMacroFile&) = delete;
    TMacroFile& operator=(const TMacroFile&) = delete;

    // Opens the file read-only and checks its header; afterwards EventCount() is known.
    void OpenMacro();
    // Writes a macro of count records. The new file replaces the old one only once it has
    // been written completely: a failed save leaves the previous macro as it was.
    void SaveMacro(std::span<const TEventMsg> events, std::span<const TWindowIdentity> identities, int count);
    // Fills the first count records of both arrays (opens the file when not yet open).
    void LoadMacro(std::span<TEventMsg> events, std::span<TWindowIdentity> identities, int count);

    int EventCount() const { return eventCount_; }
    bool HeaderValid() const { return headerValid_; }
    const std::string& FileName() const { return fileName_; }

    TProgressEvent OnProgress;

private:
    std::array<uint8_t, 4> magic_{};
    int32_t eventCount_ = 0;
    bool headerValid_ = false;
    bool opened_ = false;
    std::string fileName_;
    int64_t dataSize_ = 0;   // bytes after the header
    std::unique_ptr<TFileStream> stream_;
};

// One index entry of a container.
struct TQGIndexEntry {
    int32_t id = 0;
    std::array<uint8_t, 256> info{};   // a title; the player does not read it
    int32_t start = 0;                 // relative to the data area
    int32_t count = 0;                 // events
};

class TQGFile {
public:
    explicit TQGFile(std::string fileName);
    ~TQGFile();
    TQGFile(const TQGFile&) = delete;
    TQGFile& operator=(const TQGFile&) = delete;

    // Opens the container read-only, reads and checks its index.
    void OpenContainer();
    // Returns the records of the first entry with that identifier (opens when not yet open).
    void LoadEntry(int id, std::vector<TEventMsg>& events, int& count, std::vector<TWindowIdentity>& identities);

    int EntryCount() const { return entryCount_; }
    const TQGIndexEntry& Entry(int index) const;   // ERangeError outside 0..EntryCount()-1
    const std::string& FileName() const { return fileName_; }

    TProgressEvent OnProgress;

private:
    int64_t BlockEnd(int entry) const;

    std::array<uint8_t, 4> magic_{};
    int32_t entryCount_ = 0;
    int32_t indexSize_ = 0;
    std::array<TQGIndexEntry, MaxQGEntries> index_{};
    bool headerValid_ = false;
    bool opened_ = false;
    std::string fileName_;
    int64_t dataStart_ = 0;   // 12 + the index size
    int64_t fileSize_ = 0;
    std::unique_ptr<TFileStream> stream_;
};

// Makes help containers (the system itself only reads them).
struct TQGEntry {
    int32_t id = 0;
    std::string title;   // stored in the 256 bytes the player does not read, cut to 255
    std::vector<TEventMsg> events;
    std::vector<TWindowIdentity> identities;   // as many as events
};
// ERangeError for more than 100 entries or unequal record counts; ESaveError on write errors.
void WriteQGFile(const std::string& fileName, const std::vector<TQGEntry>& entries);

// Compresses count records (events first, then identities) into one LZH block.
std::vector<uint8_t> PackRecords(std::span<const TEventMsg> events, std::span<const TWindowIdentity> identities,
                                 int count, const TProgressEvent& progress = {});

}  // namespace Vantrel
