// Streams and string lists.
#pragma once

#include "SysUtils.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// A byte stream. Read and Write move as many bytes as they can and return the count;
// ReadBuffer and WriteBuffer move all of them or raise.
class TStream {
public:
    virtual ~TStream() = default;

    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t p) { Seek(p, TSeekOrigin::soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t newSize);

    void ReadBuffer(void* buffer, int64_t count);         // EReadError on a short read
    void WriteBuffer(const void* buffer, int64_t count);  // EWriteError on a short write
    // Copies count bytes from source (all of it, from its start, when count is 0).
    int64_t CopyFrom(TStream& source, int64_t count);

    // Little-endian fixed-width values.
    uint8_t ReadU8();
    uint16_t ReadU16();
    uint32_t ReadU32();
    int16_t ReadI16() { return static_cast<int16_t>(ReadU16()); }
    int32_t ReadI32() { return static_cast<int32_t>(ReadU32()); }
    void WriteU8(uint8_t v);
    void WriteU16(uint16_t v);
    void WriteU32(uint32_t v);
    void WriteI16(int16_t v) { WriteU16(static_cast<uint16_t>(v)); }
    void WriteI32(int32_t v) { WriteU32(static_cast<uint32_t>(v)); }
    void WriteString(std::string_view s) { WriteBuffer(s.data(), static_cast<int64_t>(s.size())); }
};

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
public:
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(data_.size()); }
    void SetSize(int64_t newSize) override;

    void Clear();
    uint8_t* Memory() { return data_.data(); }
    const uint8_t* Memory() const { return data_.data(); }
    const std::vector<uint8_t>& Bytes() const { return data_; }
    void LoadFromStream(TStream& s);
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream& s);
    // The old file is replaced only once the new one is completely written.
    void SaveToFile(const std::string& fileName);

private:
    std::vector<uint8_t> data_;
    int64_t pos_ = 0;
};

// File open modes, as the class library names them.
enum : uint32_t {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmCreate = 0xFFFF,
};

// A stream over a file. fmOpenRead opens read-only (a read-only file opens fine);
// fmCreate creates or truncates. Failure raises EFOpenError / EFCreateError.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& fileName, uint32_t mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;
    const std::string& FileName() const { return fileName_; }
    // Flushes to disk; raises EWriteError when the system reports a failure.
    void Flush();

private:
    std::string fileName_;
    int fd_ = -1;
};

// A list of strings with an optional object pointer per entry. Text is CR LF separated.
class TStrings {
public:
    virtual ~TStrings() = default;

    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& Strings(int index) const;
    const std::string& operator[](int index) const { return Strings(index); }
    virtual void Put(int index, const std::string& s);
    void* Objects(int index) const;
    void PutObject(int index, void* obj);

    virtual int Add(const std::string& s);
    int AddObject(const std::string& s, void* obj);
    virtual void Insert(int index, const std::string& s);
    void Delete(int index);
    void Clear();
    void Exchange(int a, int b);
    void Move(int from, int to);
    virtual int IndexOf(const std::string& s) const;
    void AddStrings(const TStrings& other);
    void Assign(const TStrings& other);

    // "Name=Value" entries.
    std::string Names(int index) const;
    std::string Values(const std::string& name) const;
    void SetValue(const std::string& name, const std::string& value);
    int IndexOfName(const std::string& name) const;

    std::string Text() const;               // each line followed by CR LF
    void SetText(std::string_view text);    // splits at CR LF, LF or CR
    std::string CommaText() const;
    void SetCommaText(std::string_view text);

    void LoadFromStream(TStream& s);
    void SaveToStream(TStream& s) const;
    void LoadFromFile(const std::string& fileName);
    // The old file is replaced only once the new one is completely written.
    void SaveToFile(const std::string& fileName) const;

    bool CaseSensitive = false;

    // Called after every change, when set.
    std::function<void()> OnChange;

protected:
    struct Item {
        std::string s;
        void* obj = nullptr;
    };
    void CheckIndex(int index) const;
    void Changed() { if (OnChange) OnChange(); }
    int Compare(const std::string& a, const std::string& b) const
    {
        return CaseSensitive ? CompareStr(a, b) : CompareText(a, b);
    }
    std::vector<Item> items_;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
public:
    int Add(const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    // A sorted list refuses both: the entry would land out of order and Find would miss it.
    void Put(int index, const std::string& s) override;
    int IndexOf(const std::string& s) const override;
    // Binary search of a sorted list: true and the index when found, else the insertion point.
    bool Find(const std::string& s, int& index) const;
    void Sort();
    bool Sorted() const { return sorted_; }
    void SetSorted(bool v);

    TDuplicates Duplicates = TDuplicates::dupIgnore;

private:
    bool sorted_ = false;
};
