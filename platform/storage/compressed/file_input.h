#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::storage {

// The compressed bytes of a file, read from its start through a descriptor it does not own, one
// chunk at a time, for a decoder that takes its input from memory.
class FileInput {
  public:
    explicit FileInput(int fd);
    // Only the length bytes from start on (fewer when the file ends first): the data of one entry
    // of an archive.
    FileInput(int fd, uint64_t start, uint64_t length);

    // Reads on once fewer than wanted bytes (at most a chunk) are left, keeping those, so that
    // size() >= wanted unless the file ends first; false when reading failed.
    bool Fill(size_t wanted = 1);

    const unsigned char* data() const { return chunk_.data() + head_; }
    size_t size() const { return tail_ - head_; }
    void Consume(size_t bytes);

    // Everything of the file (or of its stretch) has been read and consumed.
    bool AtEnd() const { return endOfFile_ && size() == 0; }
    uint64_t consumed() const { return consumed_; }

  private:
    int fd_;
    std::vector<unsigned char> chunk_;
    size_t head_ = 0;
    size_t tail_ = 0;
    uint64_t offset_;
    uint64_t end_;
    uint64_t consumed_ = 0;
    bool endOfFile_ = false;
};

}  // namespace platform::storage
