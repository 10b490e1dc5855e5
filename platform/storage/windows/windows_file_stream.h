#pragma once

#include <cstdio>
#include <memory>

#include "platform/storage/file_stream.h"

namespace platform::storage {

// A FileStream over the C runtime's buffered stream on a file of a disk. Flush also commits the
// file to its medium.
class WindowsFileStream : public FileStream {
  public:
    // Takes over an open stream; size is the file's size when it was opened.
    WindowsFileStream(std::FILE* file, uint64_t size);
    ~WindowsFileStream() override;

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

}  // namespace platform::storage
