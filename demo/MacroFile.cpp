#include "MacroFile.h"

#include "lzh.h"
#include "platform/runtime/ByteIO.h"
#include "platform/runtime/FileSave.h"

#include <algorithm>
#include <cstring>

namespace Vantrel {
namespace {

constexpr uint8_t MacroMagic[4] = {'T', 'Q', '2', 0};
constexpr uint8_t ContainerMagic[4] = {'Q', 'G', '2', 0};

constexpr const char* LoadErrorText = "Unable to load macro.";
constexpr const char* SaveErrorText = "Unable to save macro.";

// An LZH symbol costs at least one bit (a literal, one byte out) or ten bits (a match, at most
// 60 bytes out), so a block never expands to more than 48 times its size. A larger claim is a
// damaged header, refused before anything is allocated for it.
bool Plausible(int64_t expandedSize, int64_t compressedSize)
{
    return expandedSize <= compressedSize * 48;
}
// No valid block is longer than this (a code is far shorter than 64 bits per byte), so bytes
// beyond it are never read.
int64_t ReadLimit(int64_t expandedSize)
{
    return expandedSize * 8 + 16;
}

int32_t Get32(const uint8_t* p) { return static_cast<int32_t>(LoadLE32(p)); }

// Hands a memory block to the codec and collects what it writes, reporting the share of the
// input handed out as a rising percentage.
class TBlockPump {
public:
    TBlockPump(const std::vector<uint8_t>& input, const TProgressEvent& progress)
        : input_(input), progress_(progress) {}

    TLzhReadProc Reader()
    {
        return [this](void* buffer, uint16_t count, uint16_t& actual) {
            const int64_t remaining = static_cast<int64_t>(input_.size()) - position_;
            const int64_t n = std::min<int64_t>(count, remaining);
            if (n > 0) std::memcpy(buffer, input_.data() + position_, static_cast<std::size_t>(n));
            position_ += n;
            actual = static_cast<uint16_t>(n);
            Report(remaining - n);
        };
    }
    TLzhWriteProc Writer()
    {
        return [this](const void* buffer, uint16_t count, uint16_t& actual) {
            const auto* p = static_cast<const uint8_t*>(buffer);
            output.insert(output.end(), p, p + count);
            actual = count;
        };
    }

    std::vector<uint8_t> output;

private:
    void Report(int64_t remaining)
    {
        if (!progress_) return;
        const int64_t total = static_cast<int64_t>(input_.size());
        // Nothing to hand out counts as done.
        const int percent = total == 0 ? 100 : static_cast<int>((total - remaining) * 100 / total);
        if (percent > lastPercent_) {
            lastPercent_ = percent;
            progress_(percent);
        }
    }

    const std::vector<uint8_t>& input_;
    const TProgressEvent& progress_;
    int64_t position_ = 0;
    int lastPercent_ = 0;
};

std::vector<uint8_t> Compress(const std::vector<uint8_t>& raw, const TProgressEvent& progress)
{
    TBlockPump pump(raw, progress);
    int64_t inputCount = 0;
    LzhEncode(inputCount, pump.Writer(), pump.Reader());
    return std::move(pump.output);
}

// Expands a block to exactly `expected` bytes or fails with the load error.
std::vector<uint8_t> Expand(const std::vector<uint8_t>& block, int64_t expected, const TProgressEvent& progress)
{
    if (!Plausible(expected, static_cast<int64_t>(block.size()))) throw ELoadError(LoadErrorText);
    TBlockPump pump(block, progress);
    pump.output.reserve(static_cast<std::size_t>(expected));
    TLzhCodec codec;
    const int64_t written = codec.Decode(expected, pump.Writer(), pump.Reader());
    if (written != expected || codec.InputExhausted()) throw ELoadError(LoadErrorText);
    return std::move(pump.output);
}

// Reads count bytes at offset, or fails with the load error.
std::vector<uint8_t> ReadBlock(TStream& stream, int64_t offset, int64_t count)
{
    std::vector<uint8_t> block(static_cast<std::size_t>(count));
    try {
        stream.SetPosition(offset);
        stream.ReadBuffer(block.data(), count);
    } catch (const EStreamError&) {
        throw ELoadError(LoadErrorText);
    }
    return block;
}

std::unique_ptr<TFileStream> OpenForReading(const std::string& fileName, int64_t& size)
{
    try {
        auto stream = std::make_unique<TFileStream>(fileName, fmOpenRead);
        size = stream->Size();
        return stream;
    } catch (const EStreamError&) {
        throw ELoadError(LoadErrorText);
    }
}

std::vector<uint8_t> Serialize(std::span<const TEventMsg> events, std::span<const TWindowIdentity> identities,
                               int count)
{
    const auto n = static_cast<std::size_t>(count);
    std::vector<uint8_t> raw(n * MacroRecordSize);
    for (std::size_t i = 0; i < n; ++i) StoreEvent(events[i], raw.data() + i * EventRecordSize);
    uint8_t* ids = raw.data() + n * EventRecordSize;
    for (std::size_t i = 0; i < n; ++i) StoreIdentity(identities[i], ids + i * IdentityRecordSize);
    return raw;
}

// Fills the first `take` records from an expanded block of `stored` records.
void Deserialize(const std::vector<uint8_t>& raw, int stored, int take, TEventMsg* events, TWindowIdentity* identities)
{
    const auto n = static_cast<std::size_t>(stored);
    for (std::size_t i = 0; i < static_cast<std::size_t>(take); ++i) {
        events[i] = LoadEvent(raw.data() + i * EventRecordSize);
        identities[i] = LoadIdentity(raw.data() + n * EventRecordSize + i * IdentityRecordSize);
    }
}

}  // namespace

std::vector<uint8_t> PackRecords(std::span<const TEventMsg> events, std::span<const TWindowIdentity> identities,
                                 int count, const TProgressEvent& progress)
{
    if (count < 0) throw ERangeError("Count must be positive !");
    if (count > MaxMacroRecords || static_cast<std::size_t>(count) > events.size() ||
        static_cast<std::size_t>(count) > identities.size())
        throw ERangeError("Unable to read beyond end of buffers !");
    return Compress(Serialize(events, identities, count), progress);
}

// --- TMacroFile ----------------------------------------------------------------------------

TMacroFile::TMacroFile(std::string fileName) : fileName_(std::move(fileName)) {}
TMacroFile::~TMacroFile() = default;

void TMacroFile::OpenMacro()
{
    stream_.reset();
    opened_ = false;
    headerValid_ = false;
    if (!FileExists(fileName_)) throw ENoSuchMacro("File not found: " + fileName_);
    int64_t size = 0;
    auto stream = OpenForReading(fileName_, size);

    uint8_t head[8] = {};
    int64_t got = 0;
    try {
        got = stream->Read(head, sizeof head);
    } catch (const EStreamError&) {
        throw ELoadError(LoadErrorText);
    }
    // All four bytes count: "TQ2" followed by anything but a zero is not a macro.
    if (got < 4 || std::memcmp(head, MacroMagic, 4) != 0)
        throw ENoSuchMacro(fileName_ + " is not a valid Vantrel-file!");
    std::memcpy(magic_.data(), head, 4);
    headerValid_ = true;
    if (got < 8) throw ELoadError(LoadErrorText);
    const int32_t count = Get32(head + 4);
    const int64_t dataSize = size - 8;
    if (count < 0 || count > MaxMacroRecords || !Plausible(int64_t(count) * MacroRecordSize, dataSize))
        throw ELoadError(LoadErrorText);

    eventCount_ = count;
    dataSize_ = dataSize;
    stream_ = std::move(stream);
    opened_ = true;
}

void TMacroFile::SaveMacro(std::span<const TEventMsg> events, std::span<const TWindowIdentity> identities, int count)
{
    // Everything that can fail before the disk is touched comes first.
    const std::vector<uint8_t> packed = PackRecords(events, identities, count, OnProgress);

    std::vector<uint8_t> file(8);
    std::memcpy(file.data(), MacroMagic, 4);
    StoreLE32(file.data() + 4, static_cast<uint32_t>(count));
    file.insert(file.end(), packed.begin(), packed.end());

    // The file is replaced only once the new macro is complete on disk; until then the old
    // one stays open and readable.
    try {
        SaveFileAtomically(fileName_, file);
    } catch (const EStreamError&) {
        throw ESaveError(SaveErrorText);
    }
    stream_.reset();
    opened_ = false;
    std::memcpy(magic_.data(), MacroMagic, 4);
    eventCount_ = count;
    dataSize_ = static_cast<int64_t>(packed.size());
    headerValid_ = true;
}

void TMacroFile::LoadMacro(std::span<TEventMsg> events, std::span<TWindowIdentity> identities, int count)
{
    if (!opened_) OpenMacro();
    if (count > eventCount_) throw ERangeError("Unable to read beyond end of file !");
    if (count < 0) throw ERangeError("Count must be positive !");
    if (count > MaxMacroRecords || static_cast<std::size_t>(count) > events.size() ||
        static_cast<std::size_t>(count) > identities.size())
        throw ERangeError("Unable to write beyond end of buffers !");

    const int64_t expected = int64_t(eventCount_) * MacroRecordSize;
    const auto block = ReadBlock(*stream_, 8, std::min(dataSize_, ReadLimit(expected)));
    const auto raw = Expand(block, expected, OnProgress);
    Deserialize(raw, eventCount_, count, events.data(), identities.data());
}

// --- TQGFile -------------------------------------------------------------------------------

TQGFile::TQGFile(std::string fileName) : fileName_(std::move(fileName)) {}
TQGFile::~TQGFile() = default;

const TQGIndexEntry& TQGFile::Entry(int index) const
{
    if (index < 0 || index >= entryCount_) throw ERangeError("Index entry out of range");
    return index_[static_cast<std::size_t>(index)];
}

int64_t TQGFile::BlockEnd(int entry) const
{
    return entry + 1 < entryCount_ ? dataStart_ + index_[static_cast<std::size_t>(entry) + 1].start : fileSize_;
}

void TQGFile::OpenContainer()
{
    stream_.reset();
    opened_ = false;
    headerValid_ = false;
    entryCount_ = 0;
    if (!FileExists(fileName_)) throw ENoSuchQGFile("File not found: " + fileName_);
    int64_t size = 0;
    auto stream = OpenForReading(fileName_, size);

    uint8_t head[12] = {};
    int64_t got = 0;
    try {
        got = stream->Read(head, sizeof head);
    } catch (const EStreamError&) {
        throw ELoadError(LoadErrorText);
    }
    if (got < 4 || std::memcmp(head, ContainerMagic, 4) != 0)
        throw ENoSuchQGFile(fileName_ + " is not a valid Quillpage-File!");
    std::memcpy(magic_.data(), head, 4);
    headerValid_ = true;
    if (got < 12) throw ELoadError(LoadErrorText);
    const int32_t m = Get32(head + 4);
    const int32_t s = Get32(head + 8);
    if (m < 0 || m > MaxQGEntries || s < 0 || 12 + int64_t(s) > size) throw ELoadError(LoadErrorText);

    const int64_t expected = int64_t(m) * QGIndexEntrySize;
    const auto block = ReadBlock(*stream, 12, std::min<int64_t>(s, ReadLimit(expected)));
    const auto raw = Expand(block, expected, OnProgress);

    std::array<TQGIndexEntry, MaxQGEntries> index{};
    for (int i = 0; i < m; ++i) {
        const uint8_t* p = raw.data() + std::size_t(i) * QGIndexEntrySize;
        auto& e = index[static_cast<std::size_t>(i)];
        e.id = Get32(p);
        std::memcpy(e.info.data(), p + 4, e.info.size());
        e.start = Get32(p + 260);
        e.count = Get32(p + 264);
    }
    // Every block starts inside the data area, in file order, and can hold its events.
    const int64_t dataStart = 12 + int64_t(s);
    for (int i = 0; i < m; ++i) {
        const auto& e = index[static_cast<std::size_t>(i)];
        const int64_t end = i + 1 < m ? index[static_cast<std::size_t>(i) + 1].start : size - dataStart;
        if (e.start < 0 || e.start > end || dataStart + end > size || e.count < 0 || e.count > MaxMacroRecords ||
            !Plausible(int64_t(e.count) * MacroRecordSize, end - e.start))
            throw ELoadError(LoadErrorText);
    }

    index_ = index;
    entryCount_ = m;
    indexSize_ = s;
    dataStart_ = dataStart;
    fileSize_ = size;
    stream_ = std::move(stream);
    opened_ = true;
}

void TQGFile::LoadEntry(int id, std::vector<TEventMsg>& events, int& count, std::vector<TWindowIdentity>& identities)
{
    if (!opened_) OpenContainer();
    int found = -1;
    for (int i = 0; i < entryCount_ && found < 0; ++i)
        if (index_[static_cast<std::size_t>(i)].id == id) found = i;
    if (found < 0) throw ENoSuchMacro("No macro with ID=" + IntToStr(id) + " found.");

    const auto& e = index_[static_cast<std::size_t>(found)];
    const int64_t start = dataStart_ + e.start;
    const int64_t expected = int64_t(e.count) * MacroRecordSize;
    const auto block = ReadBlock(*stream_, start, std::min(BlockEnd(found) - start, ReadLimit(expected)));
    const auto raw = Expand(block, expected, OnProgress);

    std::vector<TEventMsg> ev(static_cast<std::size_t>(e.count));
    std::vector<TWindowIdentity> ids(static_cast<std::size_t>(e.count));
    Deserialize(raw, e.count, e.count, ev.data(), ids.data());
    events = std::move(ev);
    identities = std::move(ids);
    count = e.count;
}

// --- Making containers ---------------------------------------------------------------------

void WriteQGFile(const std::string& fileName, const std::vector<TQGEntry>& entries)
{
    if (entries.size() > static_cast<std::size_t>(MaxQGEntries))
        throw ERangeError("A help container holds at most 100 entries");
    std::vector<uint8_t> data;
    std::vector<uint8_t> index(entries.size() * QGIndexEntrySize);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& e = entries[i];
        if (e.events.size() != e.identities.size()) throw ERangeError("Every event needs its window identity");
        if (e.events.size() > static_cast<std::size_t>(MaxMacroRecords))
            throw ERangeError("Unable to read beyond end of buffers !");
        const int count = static_cast<int>(e.events.size());
        uint8_t* p = index.data() + i * QGIndexEntrySize;
        StoreLE32(p, static_cast<uint32_t>(e.id));
        std::memcpy(p + 4, e.title.data(), std::min<std::size_t>(e.title.size(), 255));
        StoreLE32(p + 260, static_cast<uint32_t>(data.size()));
        StoreLE32(p + 264, static_cast<uint32_t>(count));
        const auto block = PackRecords(e.events, e.identities, count);
        data.insert(data.end(), block.begin(), block.end());
        if (data.size() > 0x7FFFFFFF) throw ERangeError("Help container too large");
    }
    const auto packedIndex = Compress(index, {});
    std::vector<uint8_t> file(12);
    std::memcpy(file.data(), ContainerMagic, 4);
    StoreLE32(file.data() + 4, static_cast<uint32_t>(entries.size()));
    StoreLE32(file.data() + 8, static_cast<uint32_t>(packedIndex.size()));
    file.insert(file.end(), packedIndex.begin(), packedIndex.end());
    file.insert(file.end(), data.begin(), data.end());
    try {
        SaveFileAtomically(fileName, file);
    } catch (const EStreamError&) {
        throw ESaveError(SaveErrorText);
    }
}

}  // namespace Vantrel
