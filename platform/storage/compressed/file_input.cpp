#include "platform/storage/compressed/file_input.h"

#include <cstring>

#include "platform/storage/compressed/positional_read.h"

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
        const int64_t n = ReadAt(fd_, chunk_.data() + tail_, chunk_.size() - tail_, offset_);
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
