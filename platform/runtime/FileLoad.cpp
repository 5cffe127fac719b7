#include "FileLoad.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TLoadedFile LoadRegularFile(const std::string& fileName, size_t maxBytes)
{
    TLoadedFile out;
    // Non-blocking, so that opening a pipe returns at once; the kind is checked on what was
    // opened, not on the name.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        out.Error = errno;
        out.Status = (errno == ENOENT || errno == ENOTDIR) ? TFileLoad::Missing : TFileLoad::Failed;
        if (errno == ENXIO || errno == EISDIR) out.Status = TFileLoad::NotAFile;
        return out;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        out.Error = errno;
        out.Status = TFileLoad::Failed;
    } else if (!S_ISREG(st.st_mode)) {
        out.Status = TFileLoad::NotAFile;
    } else if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
        out.Status = TFileLoad::TooLarge;
    } else {
        // The file may grow while it is read: one byte more than allowed tells.
        out.Bytes.resize(static_cast<size_t>(st.st_size) + 1);
        size_t got = 0;
        out.Status = TFileLoad::Loaded;
        for (;;) {
            if (got == out.Bytes.size()) {
                if (got > maxBytes) break;
                out.Bytes.resize(std::min(maxBytes + 1, got * 2 + 4096));
            }
            const ssize_t n = ::read(fd, out.Bytes.data() + got, out.Bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                out.Error = errno;
                out.Status = TFileLoad::Failed;
                break;
            }
            if (n == 0) break;
            got += static_cast<size_t>(n);
        }
        if (got > maxBytes) out.Status = TFileLoad::TooLarge;
        out.Bytes.resize(out.Status == TFileLoad::Loaded ? got : 0);
    }
    ::close(fd);
    return out;
}
