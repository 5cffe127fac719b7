#include "RpxStream.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

int32_t RpxStreamSpillLimit = 512000;

namespace {

constexpr int64_t kCacheMinimum = 10000;

std::string TempFolder()
{
    const char* t = std::getenv("TMPDIR");
    return t && *t ? std::string(t) : std::string("/tmp");
}

} // namespace

std::string RpxTempFileName(const std::string& prefix)
{
    std::string name = TempFolder() + "/" + prefix.substr(0, 3) + "XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0) throw EFCreateError("Cannot create a temporary file in " + TempFolder() + ": " + std::strerror(errno));
    ::close(fd);
    return name;
}

TRpxStream::TRpxStream() : spillLimit_(RpxStreamSpillLimit) {}

TRpxStream::~TRpxStream() { Clear(); }

void TRpxStream::Clear()
{
    position_ = size_ = fileSize_ = 0;
    memory_.clear();
    memory_.shrink_to_fit();
    cache_.clear();
    cacheStart_ = cacheEnd_ = 0;
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempFileName_.empty()) {
        ::unlink(tempFileName_.c_str());
        tempFileName_.clear();
    }
}

void TRpxStream::FileWrite(int64_t at, const void* data, int64_t count)
{
    const auto* p = static_cast<const uint8_t*>(data);
    while (count > 0) {
        const ssize_t n = ::pwrite(fd_, p, static_cast<size_t>(count), at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw EWriteError("Cannot write the temporary file " + tempFileName_);
        p += n;
        at += n;
        count -= n;
    }
    // Rewritten bytes inside the cache window (a length patched after it was read) would
    // otherwise be served stale.
    cache_.clear();
    cacheStart_ = cacheEnd_ = 0;
}

void TRpxStream::FileRead(int64_t at, void* data, int64_t count)
{
    auto* p = static_cast<uint8_t*>(data);
    while (count > 0) {
        const ssize_t n = ::pread(fd_, p, static_cast<size_t>(count), at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw EReadError("Cannot read the temporary file " + tempFileName_);
        p += n;
        at += n;
        count -= n;
    }
}

void TRpxStream::Spill()
{
    if (memory_.empty()) return;
    if (fd_ < 0) {
        tempFileName_ = RpxTempFileName("Rpx");
        fd_ = ::open(tempFileName_.c_str(), O_RDWR | O_CLOEXEC);
        if (fd_ < 0) {
            ::unlink(tempFileName_.c_str());
            tempFileName_.clear();
            throw EFCreateError("Cannot open a temporary file");
        }
    }
    FileWrite(fileSize_, memory_.data(), static_cast<int64_t>(memory_.size()));
    memory_.clear();
    fileSize_ = size_;
}

int64_t TRpxStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0) return 0;
    if (position_ < 0) throw EWriteError();
    if (static_cast<int64_t>(memory_.size()) > spillLimit_) Spill();
    const auto* p = static_cast<const uint8_t*>(buffer);
    if (fd_ >= 0 && position_ < fileSize_) {
        Spill();
        FileWrite(position_, p, count);
        fileSize_ = std::max(fileSize_, position_ + count);
        size_ = fileSize_;
    } else {
        const int64_t at = position_ - fileSize_;
        if (at + count > static_cast<int64_t>(memory_.size())) memory_.resize(static_cast<size_t>(at + count));
        std::memcpy(memory_.data() + at, p, static_cast<size_t>(count));
        size_ = fileSize_ + static_cast<int64_t>(memory_.size());
    }
    position_ += count;
    return count;
}

int64_t TRpxStream::Read(void* buffer, int64_t count)
{
    if (count <= 0 || position_ < 0 || position_ >= size_) return 0;
    count = std::min(count, size_ - position_);
    auto* out = static_cast<uint8_t*>(buffer);
    int64_t done = 0;
    if (fd_ >= 0 && position_ < fileSize_) {
        // The memory part moves out first so the file holds everything before it.
        Spill();
        const int64_t inFile = std::min(count, fileSize_ - position_);
        if (position_ < cacheStart_ || position_ + inFile > cacheEnd_) {
            const int64_t want = std::min(std::max(inFile, kCacheMinimum), fileSize_ - position_);
            cache_.resize(static_cast<size_t>(want));
            cacheStart_ = cacheEnd_ = 0;
            FileRead(position_, cache_.data(), want);
            cacheStart_ = position_;
            cacheEnd_ = position_ + want;
        }
        std::memcpy(out, cache_.data() + (position_ - cacheStart_), static_cast<size_t>(inFile));
        done = inFile;
        position_ += inFile;
    }
    if (done < count) {
        const int64_t at = position_ - fileSize_;
        const int64_t n = std::min(count - done, static_cast<int64_t>(memory_.size()) - at);
        if (n > 0) {
            std::memcpy(out + done, memory_.data() + at, static_cast<size_t>(n));
            done += n;
            position_ += n;
        }
    }
    return done;
}

int64_t TRpxStream::Seek(int64_t offset, TSeekOrigin origin)
{
    switch (origin) {
    case TSeekOrigin::soBeginning: position_ = offset; break;
    case TSeekOrigin::soCurrent: position_ += offset; break;
    case TSeekOrigin::soEnd: position_ = size_ + offset; break;
    }
    return position_;
}
