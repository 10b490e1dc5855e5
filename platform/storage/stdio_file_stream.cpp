#include "platform/storage/stdio_file_stream.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform::storage {

namespace {

constexpr size_t kBufferBytes = 1u << 20;

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

// Opens a regular file only. A FIFO would block the reader for ever, a device node would be
// written past the safety steps of a drive's open, and a directory or socket holds no image.
int OpenRegular(const std::string& path, bool write, bool create) {
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return -1;
    }
    if (!exists && !create) {
        return -1;
    }
    const int flags =
        (write ? O_RDWR : O_RDONLY) | (create ? O_CREAT : 0) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) {
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || IsPseudoFileSystem(fd) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
        (create && ::ftruncate(fd, 0) != 0)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

}  // namespace

FileHandle StdioFileStream::Open(const std::string& path, const char* mode) {
    const bool create = mode[0] == 'w';
    const bool write = create || std::strchr(mode, '+') != nullptr;
    const int fd = OpenRegular(path, write, create);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, mode);
    if (file == nullptr) {
        ::close(fd);
        return nullptr;
    }
    // A large buffer of the stream's own keeps the image file from limiting a drive's speed (the
    // C library ignores a size given without a buffer).
    std::unique_ptr<char[]> buffer(new char[kBufferBytes]);
    std::setvbuf(file, buffer.get(), _IOFBF, kBufferBytes);
    return FileHandle(new StdioFileStream(file, std::move(buffer)));
}

StdioFileStream::~StdioFileStream() {
    Close();
}

size_t StdioFileStream::Read(void* buffer, size_t size, size_t count) {
    return file_ ? std::fread(buffer, size, count, file_) : 0;
}

size_t StdioFileStream::Write(const void* buffer, size_t size, size_t count) {
    return file_ ? std::fwrite(buffer, size, count, file_) : 0;
}

bool StdioFileStream::Error() const {
    return file_ == nullptr || std::ferror(file_) != 0;
}

bool StdioFileStream::Flush() {
    return file_ != nullptr && std::fflush(file_) == 0 && ::fsync(fileno(file_)) == 0;
}

bool StdioFileStream::Close() {
    if (file_ == nullptr) {
        return true;
    }
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
}

}  // namespace platform::storage
