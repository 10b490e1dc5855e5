#pragma once

#include <cstdio>
#include <string>

#include "platform/storage/file_stream.h"

namespace platform::storage {

// A FileStream over the C runtime's buffered stream. Flush also syncs the file to its medium.
class StdioFileStream : public FileStream {
  public:
    // Opens path with an fopen mode; null when the file cannot be opened.
    static FileHandle Open(const std::string& path, const char* mode);

    ~StdioFileStream() override;

    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Error() const override;
    bool Flush() override;
    bool Close() override;

  private:
    explicit StdioFileStream(std::FILE* file) : file_(file) {}
    std::FILE* file_;
};

}  // namespace platform::storage
