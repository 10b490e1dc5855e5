#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "platform/storage/file_stream.h"
#include "platform/storage/linux/unique_fd.h"

namespace platform::storage {

// A FileStream over the C runtime's buffered stream on a regular file. Flush also syncs the file
// to its medium.
class StdioFileStream : public FileStream {
  public:
    // Opens path with an fopen mode ("rb", "r+b", "w+b"); null when the file cannot be opened or
    // is not a regular file of a disk-backed file system (FIFO, socket, folder, device node,
    // /proc or /sys file). "w" truncates only a regular file.
    [[nodiscard]] static FileHandle Open(const std::string& path, const char* mode);
    // The stream over a regular file already opened (as OpenRegularFile does) with a matching
    // fopen mode, read from its start; null when the stream cannot be set up.
    [[nodiscard]] static FileHandle FromDescriptor(UniqueFd fd, const char* mode);

    ~StdioFileStream() override;

    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Error() const override;
    bool Flush() override;
    bool Close() override;
    // The file's size when it was opened.
    std::optional<uint64_t> Length() const override { return size_; }
    uint64_t FileBytesConsumed() const override;
    uint64_t FileSize() const override { return size_; }

  private:
    StdioFileStream(std::FILE* file, std::unique_ptr<char[]> buffer, uint64_t size)
        : buffer_(std::move(buffer)), file_(file), size_(size) {}
    std::unique_ptr<char[]> buffer_;  // outlives the stream: declared first, destroyed last
    std::FILE* file_;
    uint64_t size_;
};

}  // namespace platform::storage
