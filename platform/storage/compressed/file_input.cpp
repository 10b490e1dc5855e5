#include "platform/storage/compressed/file_input.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform::storage {

namespace {

constexpr size_t kChunkBytes = 64u << 10;

}  // namespace

FileInput::FileInput(int fd) : fd_(fd), chunk_(kChunkBytes) {}

bool FileInput::Fill(size_t wanted) {
    if (size() >= wanted || endOfFile_) {
        return true;
    }
    std::memmove(chunk_.data(), data(), size());
    tail_ = size();
    head_ = 0;
    while (tail_ < wanted && !endOfFile_) {
        ssize_t n = 0;
        do {
            n = ::pread(fd_, chunk_.data() + tail_, chunk_.size() - tail_,
                        static_cast<off_t>(offset_));
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            return false;
        }
        tail_ += static_cast<size_t>(n);
        offset_ += static_cast<size_t>(n);
        endOfFile_ = n == 0;
    }
    return true;
}

void FileInput::Consume(size_t bytes) {
    head_ += bytes;
    consumed_ += bytes;
}

}  // namespace platform::storage
