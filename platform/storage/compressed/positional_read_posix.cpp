#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/storage/compressed/positional_read.h"

namespace platform::storage {

int64_t ReadAt(int fd, void* buffer, size_t size, uint64_t offset) {
    ssize_t n = 0;
    do {
        n = ::pread(fd, buffer, size, static_cast<off_t>(offset));
    } while (n < 0 && errno == EINTR);
    return n;
}

int64_t FileLength(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

}  // namespace platform::storage
