#include "platform/storage/compressed/file_input.h"

#include <algorithm>
#include <cstring>

#include "platform/storage/compressed/positional_read.h"

namespace platform::storage {

namespace {

constexpr size_t kChunkBytes = 64u << 10;

}  // namespace

FileInput::FileInput(int fd) : FileInput(fd, 0, UINT64_MAX) {}

FileInput::FileInput(int fd, uint64_t start, uint64_t length)
    : fd_(fd),
      chunk_(kChunkBytes),
      offset_(start),
      end_(start + std::min(length, UINT64_MAX - start)) {}

bool FileInput::Fill(size_t wanted) {
    if (size() >= wanted || endOfFile_) {
        return true;
    }
    std::memmove(chunk_.data(), data(), size());
    tail_ = size();
    head_ = 0;
    while (tail_ < wanted && !endOfFile_) {
        const auto room =
            static_cast<size_t>(std::min<uint64_t>(chunk_.size() - tail_, end_ - offset_));
        const int64_t n = room == 0 ? 0 : ReadAt(fd_, chunk_.data() + tail_, room, offset_);
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
