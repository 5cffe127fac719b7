#include "Classes.h"
#include "ByteIO.h"
#include "FileSave.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

// --- TStream ---------------------------------------------------------------

int64_t TStream::Size()
{
    const int64_t pos = Seek(0, TSeekOrigin::soCurrent);
    const int64_t end = Seek(0, TSeekOrigin::soEnd);
    Seek(pos, TSeekOrigin::soBeginning);
    return end;
}

void TStream::SetSize(int64_t) { throw EStreamError("Stream size cannot be changed"); }

void TStream::ReadBuffer(void* buffer, int64_t count)
{
    if (count < 0 || (count != 0 && Read(buffer, count) != count)) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int64_t count)
{
    if (count < 0 || (count != 0 && Write(buffer, count) != count)) throw EWriteError();
}

int64_t TStream::CopyFrom(TStream& source, int64_t count)
{
    if (count < 0) throw EReadError();
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<uint8_t> buf(static_cast<std::size_t>(std::min<int64_t>(count, 65536)));
    int64_t left = count;
    while (left > 0) {
        const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(buf.size()));
        source.ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        left -= n;
    }
    return count;
}

uint8_t TStream::ReadU8()
{
    uint8_t b[1];
    ReadBuffer(b, 1);
    return b[0];
}

uint16_t TStream::ReadU16()
{
    uint8_t b[2];
    ReadBuffer(b, 2);
    return LoadLE16(b);
}

uint32_t TStream::ReadU32()
{
    uint8_t b[4];
    ReadBuffer(b, 4);
    return LoadLE32(b);
}

void TStream::WriteU8(uint8_t v) { WriteBuffer(&v, 1); }

void TStream::WriteU16(uint16_t v)
{
    uint8_t b[2];
    StoreLE16(b, v);
    WriteBuffer(b, 2);
}

void TStream::WriteU32(uint32_t v)
{
    uint8_t b[4];
    StoreLE32(b, v);
    WriteBuffer(b, 4);
}

// --- TMemoryStream -----------------------------------------------------------

int64_t TMemoryStream::Read(void* buffer, int64_t count)
{
    // Bounds come from the buffer itself, never from an overridable Size().
    const int64_t size = static_cast<int64_t>(data_.size());
    if (count <= 0 || pos_ >= size) return 0;
    const int64_t n = std::min(count, size - pos_);
    std::memcpy(buffer, data_.data() + pos_, static_cast<std::size_t>(n));
    pos_ += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0) return 0;
    if (pos_ > std::numeric_limits<int64_t>::max() - count) return 0;
    const int64_t end = pos_ + count;
    if (end > static_cast<int64_t>(data_.size())) data_.resize(static_cast<std::size_t>(end));
    std::memcpy(data_.data() + pos_, buffer, static_cast<std::size_t>(count));
    pos_ = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t base = 0;
    switch (origin) {
    case TSeekOrigin::soBeginning: base = 0; break;
    case TSeekOrigin::soCurrent: base = pos_; break;
    case TSeekOrigin::soEnd: base = static_cast<int64_t>(data_.size()); break;
    }
    // Saturate instead of overflowing on absurd offsets.
    int64_t target = 0;
    if (__builtin_add_overflow(base, offset, &target)) target = offset > 0 ? std::numeric_limits<int64_t>::max() : 0;
    pos_ = std::max<int64_t>(0, target);
    return pos_;
}

void TMemoryStream::SetSize(int64_t newSize)
{
    data_.resize(static_cast<std::size_t>(std::max<int64_t>(0, newSize)));
    if (pos_ > Size()) pos_ = Size();
}

void TMemoryStream::Clear()
{
    data_.clear();
    pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& s)
{
    // Read aside first: a source that fails half-way leaves this stream as it was, and a
    // stream may load from itself.
    s.SetPosition(0);
    const int64_t n = s.Size();
    std::vector<uint8_t> bytes(static_cast<std::size_t>(std::max<int64_t>(0, n)));
    s.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    data_.swap(bytes);
    pos_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream f(fileName, fmOpenRead);
    LoadFromStream(f);
}

void TMemoryStream::SaveToStream(TStream& s) { s.WriteBuffer(data_.data(), Size()); }

void TMemoryStream::SaveToFile(const std::string& fileName) { SaveFileAtomically(fileName, data_.data(), Size()); }

// --- TFileStream -------------------------------------------------------------

TFileStream::TFileStream(const std::string& fileName, uint32_t mode) : fileName_(fileName)
{
    if (mode == fmCreate) {
        fd_ = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd_ < 0) throw EFCreateError("Cannot create file \"" + fileName + "\". " + std::strerror(errno));
        return;
    }
    int flags = O_RDONLY;
    if ((mode & 3) == fmOpenWrite) flags = O_WRONLY;
    else if ((mode & 3) == fmOpenReadWrite) flags = O_RDWR;
    fd_ = ::open(fileName.c_str(), flags | O_CLOEXEC);
    if (fd_ < 0) throw EFOpenError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw EFOpenError("Cannot open file \"" + fileName + "\". Is a directory");
    }
}

TFileStream::~TFileStream()
{
    if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count)
{
    int64_t done = 0;
    auto* p = static_cast<uint8_t*>(buffer);
    while (done < count) {
        const ssize_t n = ::read(fd_, p + done, static_cast<std::size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count)
{
    int64_t done = 0;
    const auto* p = static_cast<const uint8_t*>(buffer);
    while (done < count) {
        const ssize_t n = ::write(fd_, p + done, static_cast<std::size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int whence = SEEK_SET;
    if (origin == TSeekOrigin::soCurrent) whence = SEEK_CUR;
    else if (origin == TSeekOrigin::soEnd) whence = SEEK_END;
    const off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
    if (r < 0) throw EStreamError("Seek error on \"" + fileName_ + "\"");
    return r;
}

void TFileStream::SetSize(int64_t newSize)
{
    if (::ftruncate(fd_, static_cast<off_t>(newSize)) != 0) throw EWriteError();
}

void TFileStream::Flush()
{
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) throw EWriteError();
}

// --- TStrings ----------------------------------------------------------------

void TStrings::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

const std::string& TStrings::Strings(int index) const
{
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].s;
}

void TStrings::Put(int index, const std::string& s)
{
    CheckIndex(index);
    items_[static_cast<std::size_t>(index)].s = s;
    Changed();
}

void* TStrings::Objects(int index) const
{
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].obj;
}

void TStrings::PutObject(int index, void* obj)
{
    CheckIndex(index);
    items_[static_cast<std::size_t>(index)].obj = obj;
}

int TStrings::Add(const std::string& s)
{
    items_.push_back({s, nullptr});
    Changed();
    return Count() - 1;
}

int TStrings::AddObject(const std::string& s, void* obj)
{
    const int i = Add(s);
    PutObject(i, obj);
    return i;
}

void TStrings::Insert(int index, const std::string& s)
{
    if (index < 0 || index > Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    items_.insert(items_.begin() + index, Item{s, nullptr});
    Changed();
}

void TStrings::Delete(int index)
{
    CheckIndex(index);
    items_.erase(items_.begin() + index);
    Changed();
}

void TStrings::Clear()
{
    if (items_.empty()) return;
    items_.clear();
    Changed();
}

void TStrings::Exchange(int a, int b)
{
    CheckIndex(a);
    CheckIndex(b);
    std::swap(items_[static_cast<std::size_t>(a)], items_[static_cast<std::size_t>(b)]);
    Changed();
}

void TStrings::Move(int from, int to)
{
    CheckIndex(from);
    CheckIndex(to);
    Item it = items_[static_cast<std::size_t>(from)];
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, it);
    Changed();
}

int TStrings::IndexOf(const std::string& s) const
{
    for (int i = 0; i < Count(); ++i)
        if (Compare(items_[static_cast<std::size_t>(i)].s, s) == 0) return i;
    return -1;
}

void TStrings::AddStrings(const TStrings& other)
{
    // A copy first: adding a list to itself must not walk the vector it grows.
    const std::vector<Item> items = other.items_;
    for (const auto& it : items) AddObject(it.s, it.obj);
}

void TStrings::Assign(const TStrings& other)
{
    items_ = other.items_;
    Changed();
}

std::string TStrings::Names(int index) const
{
    const std::string& s = Strings(index);
    const auto p = s.find('=');
    return p == std::string::npos ? std::string() : s.substr(0, p);
}

int TStrings::IndexOfName(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i) {
        const std::string& s = items_[static_cast<std::size_t>(i)].s;
        const auto p = s.find('=');
        if (p != std::string::npos && Compare(s.substr(0, p), name) == 0) return i;
    }
    return -1;
}

std::string TStrings::Values(const std::string& name) const
{
    const int i = IndexOfName(name);
    if (i < 0) return {};
    const std::string& s = items_[static_cast<std::size_t>(i)].s;
    return s.substr(s.find('=') + 1);
}

void TStrings::SetValue(const std::string& name, const std::string& value)
{
    const int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
    } else if (i >= 0) {
        Put(i, name + "=" + value);
    } else {
        Add(name + "=" + value);
    }
}

std::string TStrings::Text() const
{
    std::string out;
    for (const auto& it : items_) {
        out += it.s;
        out += "\r\n";
    }
    return out;
}

void TStrings::SetText(std::string_view text)
{
    items_.clear();
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = i;
        while (j < text.size() && text[j] != '\r' && text[j] != '\n') ++j;
        items_.push_back({std::string(text.substr(i, j - i)), nullptr});
        if (j < text.size() && text[j] == '\r') ++j;
        if (j < text.size() && text[j] == '\n') ++j;
        i = j;
    }
    Changed();
}

std::string TStrings::CommaText() const
{
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        if (i) out += ',';
        const std::string& s = items_[static_cast<std::size_t>(i)].s;
        const bool quote = s.empty() || s.find_first_of(" ,\"") != std::string::npos ||
                           std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) <= 0x20; });
        if (!quote) {
            out += s;
            continue;
        }
        out += '"';
        for (char c : s) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

void TStrings::SetCommaText(std::string_view text)
{
    items_.clear();
    std::size_t i = 0;
    auto skipBlanks = [&] { while (i < text.size() && static_cast<unsigned char>(text[i]) <= 0x20) ++i; };
    skipBlanks();
    while (i < text.size()) {
        std::string item;
        if (text[i] == '"') {
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            while (i < text.size() && text[i] != ',' && static_cast<unsigned char>(text[i]) > 0x20) item += text[i++];
        }
        items_.push_back({item, nullptr});
        skipBlanks();
        if (i < text.size() && text[i] == ',') {
            ++i;
            skipBlanks();
        }
    }
    Changed();
}

void TStrings::LoadFromStream(TStream& s)
{
    const int64_t n = s.Size() - s.Position();
    std::string text(static_cast<std::size_t>(std::max<int64_t>(0, n)), '\0');
    s.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
    SetText(text);
}

void TStrings::SaveToStream(TStream& s) const { s.WriteString(Text()); }

void TStrings::LoadFromFile(const std::string& fileName)
{
    TFileStream f(fileName, fmOpenRead);
    LoadFromStream(f);
}

void TStrings::SaveToFile(const std::string& fileName) const
{
    const std::string text = Text();
    SaveFileAtomically(fileName, text.data(), static_cast<int64_t>(text.size()));
}

// --- TStringList -------------------------------------------------------------

bool TStringList::Find(const std::string& s, int& index) const
{
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int c = Compare(items_[static_cast<std::size_t>(mid)].s, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (Duplicates != TDuplicates::dupAccept) lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

int TStringList::Add(const std::string& s)
{
    if (!sorted_) return TStrings::Add(s);
    int index = 0;
    if (Find(s, index)) {
        if (Duplicates == TDuplicates::dupIgnore) return index;
        if (Duplicates == TDuplicates::dupError) throw EListError("String list does not allow duplicates");
    }
    items_.insert(items_.begin() + index, Item{s, nullptr});
    Changed();
    return index;
}

void TStringList::Insert(int index, const std::string& s)
{
    if (sorted_) throw EListError("Operation not allowed on sorted list");
    TStrings::Insert(index, s);
}

void TStringList::Put(int index, const std::string& s)
{
    if (sorted_) throw EListError("Operation not allowed on sorted list");
    TStrings::Put(index, s);
}

int TStringList::IndexOf(const std::string& s) const
{
    if (!sorted_) return TStrings::IndexOf(s);
    int index = 0;
    return Find(s, index) ? index : -1;
}

void TStringList::Sort()
{
    std::stable_sort(items_.begin(), items_.end(), [this](const Item& a, const Item& b) { return Compare(a.s, b.s) < 0; });
    Changed();
}

void TStringList::SetSorted(bool v)
{
    if (v == sorted_) return;
    if (v) Sort();
    sorted_ = v;
}
