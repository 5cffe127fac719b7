// The record stream of a report document (report/output, no Qt): bytes are kept in memory
// up to a limit and continue in a temporary file beyond it, so that a long report does not
// hold all its pages in memory. Reads from the file part go through a cache window.
#pragma once

#include "platform/runtime/Classes.h"

#include <cstdint>
#include <string>
#include <vector>

// The spill limit new streams take (bytes kept in memory before the temporary file starts).
extern int32_t RpxStreamSpillLimit;

class TRpxStream : public TStream {
public:
    TRpxStream();
    ~TRpxStream() override;
    TRpxStream(const TRpxStream&) = delete;
    TRpxStream& operator=(const TRpxStream&) = delete;

    // Short reads (at the end) return the count read; a failing file raises EReadError,
    // EWriteError or EFCreateError.
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return size_; }

    // Empties the stream and deletes the temporary file.
    void Clear();

    int32_t SpillLimit() const { return spillLimit_; }
    // Logical bytes that live in the temporary file (always the first ones).
    int64_t FileSize() const { return fileSize_; }
    int64_t MemorySize() const { return static_cast<int64_t>(memory_.size()); }
    const std::string& TempFileName() const { return tempFileName_; }
    int64_t CacheStart() const { return cacheStart_; }
    int64_t CacheEnd() const { return cacheEnd_; }

private:
    void Spill();
    void FileWrite(int64_t at, const void* data, int64_t count);
    void FileRead(int64_t at, void* data, int64_t count);

    std::vector<uint8_t> memory_;
    int fd_ = -1;
    std::string tempFileName_;
    int64_t position_ = 0;
    int64_t size_ = 0;
    int32_t spillLimit_;
    int64_t fileSize_ = 0;
    std::vector<uint8_t> cache_;
    int64_t cacheStart_ = 0, cacheEnd_ = 0;
};

// A new temporary file name in the system's temporary folder starting with prefix (the file
// is created empty so that the name stays ours); EFCreateError when none can be made.
std::string RpxTempFileName(const std::string& prefix);
