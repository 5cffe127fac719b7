#include "FileSave.h"

#include "Classes.h"
#include "SysUtils.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

[[noreturn]] void CannotCreate(const std::string& fileName, int error)
{
    throw EFCreateError("Cannot create file \"" + fileName + "\". " + std::strerror(error));
}

[[noreturn]] void CannotWrite(const std::string& fileName, int error)
{
    throw EWriteError("Cannot write file \"" + fileName + "\". " + std::strerror(error));
}

// The file a save lands in: a symbolic link is followed to its end, a dangling one to where it
// points, so the link stays a link.
fs::path SaveTarget(const std::string& fileName)
{
    std::error_code ec;
    fs::path target(fileName);
    if (!fs::is_symlink(fs::symlink_status(target, ec))) return target;
    fs::path resolved = fs::canonical(target, ec);
    if (!ec) return resolved;
    const fs::path to = fs::read_symlink(target, ec);
    if (ec) return target;
    return to.is_absolute() ? to : target.parent_path() / to;
}

// 0 when every byte went out, else the system's error.
int WriteAll(int fd, const uint8_t* p, size_t count)
{
    while (count > 0) {
        const ssize_t n = ::write(fd, p, count);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        p += n;
        count -= static_cast<size_t>(n);
    }
    return 0;
}

// The file written beside the target. It is removed again unless it was renamed over the
// target, so no failure leaves it behind.
class TScratchFile {
public:
    TScratchFile(const fs::path& target, const std::string& fileName, mode_t mode)
    {
        // A name short enough for any file system, and one nobody else holds (O_EXCL also
        // refuses to follow a link planted under that name).
        std::string leaf = target.filename().string();
        if (leaf.size() > 200) leaf.resize(200);
        const fs::path folder = target.parent_path();
        const std::string stem = (folder.empty() ? leaf : (folder / leaf).string()) + ".~" + std::to_string(::getpid());
        for (int n = 0; fd_ < 0; ++n) {
            name_ = stem + (n ? "-" + std::to_string(n) : std::string()) + ".tmp";
            fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd_ < 0 && (errno != EEXIST || n == 100)) CannotCreate(fileName, errno);
        }
    }
    ~TScratchFile()
    {
        if (fd_ >= 0) ::close(fd_);
        if (!name_.empty()) ::unlink(name_.c_str());
    }
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;

    int Fd() const { return fd_; }
    const std::string& Name() const { return name_; }
    // Closes the file; the system's error, or 0.
    int Close()
    {
        const int r = ::close(fd_);
        fd_ = -1;
        return r == 0 ? 0 : errno;
    }
    void Keep() { name_.clear(); }

private:
    int fd_ = -1;
    std::string name_;
};

// Makes the rename itself durable; a folder that cannot be synced changes nothing.
void SyncFolder(const fs::path& target)
{
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

}  // namespace

void SaveFileAtomically(const std::string& fileName, const void* data, int64_t size)
{
    if (size < 0 || (size > 0 && !data)) CannotWrite(fileName, EINVAL);
    const fs::path target = SaveTarget(fileName);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        // A device or a pipe is written in place; a folder is refused by the open.
        TFileStream f(fileName, fmCreate);
        f.WriteBuffer(data, size);
        f.Flush();
        return;
    }
    // A file the user may not write stays refused, as writing it in place would be.
    if (exists && ::access(target.c_str(), W_OK) != 0) CannotCreate(fileName, errno);

    TScratchFile scratch(target, fileName, exists ? (old.st_mode & 07777) : 0666);
    if (exists) {
        // Owner first: a change of owner clears the set-id bits the mode then restores.
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) (void)::fchown(scratch.Fd(), old.st_uid, old.st_gid);
        (void)::fchmod(scratch.Fd(), old.st_mode & 07777);
    }
    if (const int error = WriteAll(scratch.Fd(), static_cast<const uint8_t*>(data), static_cast<size_t>(size)))
        CannotWrite(fileName, error);
    if (::fsync(scratch.Fd()) != 0 && errno != EINVAL && errno != EROFS) CannotWrite(fileName, errno);
    if (const int error = scratch.Close()) CannotWrite(fileName, error);
    if (std::rename(scratch.Name().c_str(), target.c_str()) != 0) CannotCreate(fileName, errno);
    scratch.Keep();
    SyncFolder(target);
}
