#include "platform/storage/regular_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>

#include <cerrno>

#include "platform/storage/failure_cause.h"

namespace platform::storage {

namespace {

// File systems whose "regular files" are views of kernel state, not stored bytes.
bool IsPseudoFileSystem(int fd) {
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0) {
        return true;
    }
    switch (static_cast<unsigned long>(info.f_type)) {
        case PROC_SUPER_MAGIC:
        case SYSFS_MAGIC:
        case DEBUGFS_MAGIC:
        case TRACEFS_MAGIC:
        case SECURITYFS_MAGIC:
        case CGROUP_SUPER_MAGIC:
        case CGROUP2_SUPER_MAGIC:
        case BPF_FS_MAGIC:
            return true;
        default:
            return false;
    }
}

// What a path that is not a regular file is, for a user.
std::string KindOf(mode_t mode) {
    if (S_ISFIFO(mode)) {
        return "a named pipe (FIFO)";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISBLK(mode) || S_ISCHR(mode)) {
        return "a device node";
    }
    return "not a regular file";
}

UniqueFd Refused(const std::string& cause) {
    SetFailureCause(cause);
    errno = EINVAL;
    return UniqueFd();
}

}  // namespace

UniqueFd OpenRegularFile(const std::string& path, bool write, bool create) {
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        return Refused(path + " is " + KindOf(st.st_mode) + ", not an image file.");
    }
    if (!exists && !create) {
        SetFailureCause(path + ": " + ErrnoText(errno) + ".");
        return UniqueFd();
    }
    const int flags =
        (write ? O_RDWR : O_RDONLY) | (create ? O_CREAT : 0) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    UniqueFd fd(::open(path.c_str(), flags, 0666));
    if (!fd.valid()) {
        SetFailureCause(path + ": " + ErrnoText(errno) + ".");
        return fd;
    }
    if (IsPseudoFileSystem(fd.get())) {
        return Refused(path + " is a file of the kernel's own (/proc, /sys), not stored bytes.");
    }
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK) != 0 ||
        (create && ::ftruncate(fd.get(), 0) != 0)) {
        return Refused(path + " changed while it was opened, or cannot be prepared: " +
                       ErrnoText(errno) + ".");
    }
    return fd;
}

}  // namespace platform::storage
