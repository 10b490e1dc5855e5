#pragma once

#include <cstdio>
#include <memory>

#include "platform/storage/file_stream.h"

namespace platform::storage {

// A FileStream over the C runtime's buffered stream on a file of a disk, with a large buffer of
// its own. Flush also makes the file durable on its medium.
class BufferedFileStream : public FileStream {
  public:
    // Takes over an open stream; size is the file's size when it was opened.
    BufferedFileStream(std::FILE* file, uint64_t size);
    ~BufferedFileStream() override;

    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Error() const override;
    bool Flush() override;
    bool Close() override;
    std::optional<uint64_t> Length() const override { return size_; }
    uint64_t FileBytesConsumed() const override;
    uint64_t FileSize() const override { return size_; }

  private:
    std::unique_ptr<char[]> buffer_;  // outlives the stream: declared first, destroyed last
    std::FILE* file_;
    uint64_t size_;
};

// Each system's part: writes what the system holds of the file to its medium, and tells the
// stream's position (negative on failure).
bool SyncFileToMedium(std::FILE* file);
int64_t StreamPosition(std::FILE* file);

}  // namespace platform::storage
