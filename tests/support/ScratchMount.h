// A small file system of its own for tests that need a full disk or a read-only folder. It is
// a tmpfs mounted on a fresh folder (root only; elsewhere Mounted() is false and the test skips)
// and unmounted again when the object goes.
#pragma once

#include "support/TestFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>
#include <vector>

namespace mwtest {

class ScratchMount {
public:
    explicit ScratchMount(size_t bytes)
    {
        const std::string options = "size=" + std::to_string(bytes);
        mounted_ = ::mount("tmpfs", dir_.path().c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
    }
    ~ScratchMount()
    {
        if (mounted_) ::umount2(dir_.path().c_str(), MNT_DETACH);
    }
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool Mounted() const { return mounted_; }
    const std::filesystem::path& path() const { return dir_.path(); }
    std::string File(const std::string& leaf) const { return dir_.File(leaf); }

    // Writes to a filler file until the file system refuses with ENOSPC; true when it did.
    bool Fill()
    {
        const std::string name = File(".filler");
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (fd < 0) return errno == ENOSPC;
        const std::vector<char> block(4096, 'f');
        int error = 0;
        for (;;) {
            const ssize_t n = ::write(fd, block.data(), block.size());
            if (n < 0) {
                error = errno;
                break;
            }
        }
        // The last partial page too.
        while (error == ENOSPC && ::write(fd, block.data(), 1) == 1) {}
        ::close(fd);
        return error == ENOSPC;
    }

    // Remounts read-only: every write below raises EROFS, whoever the user is.
    bool MakeReadOnly()
    {
        return mounted_ &&
               ::mount("tmpfs", dir_.path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
    }

private:
    TempDir dir_{"mw_mount_"};
    bool mounted_ = false;
};

} // namespace mwtest
