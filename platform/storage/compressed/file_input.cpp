#include "platform/storage/compressed/file_input.h"

#include <unistd.h>

#include <cerrno>

namespace platform::storage {

namespace {

constexpr size_t kChunkBytes = 64u << 10;

}  // namespace

FileInput::FileInput(int fd) : fd_(fd), chunk_(kChunkBytes) {}

bool FileInput::Fill() {
    if (size() > 0 || endOfFile_) {
        return true;
    }
    ssize_t n = 0;
    do {
        n = ::pread(fd_, chunk_.data(), chunk_.size(), static_cast<off_t>(offset_));
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        return false;
    }
    head_ = 0;
    tail_ = static_cast<size_t>(n);
    offset_ += tail_;
    endOfFile_ = n == 0;
    return true;
}

void FileInput::Consume(size_t bytes) {
    head_ += bytes;
    consumed_ += bytes;
}

}  // namespace platform::storage
