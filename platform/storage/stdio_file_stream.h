#pragma once

#include <string>

#include "platform/storage/buffered_file_stream.h"
#include "platform/storage/linux/unique_fd.h"

namespace platform::storage {

// Image files on Linux through the C runtime's buffered stream (BufferedFileStream): regular files
// of a disk-backed file system only.
class StdioFileStream {
  public:
    // Opens path with an fopen mode ("rb", "r+b", "w+b"); null when the file cannot be opened or
    // is not a regular file of a disk-backed file system (FIFO, socket, folder, device node,
    // /proc or /sys file). "w" truncates only a regular file.
    [[nodiscard]] static FileHandle Open(const std::string& path, const char* mode);
    // The stream over a regular file already opened (as OpenRegularFile does) with a matching
    // fopen mode, read from its start; null when the stream cannot be set up.
    [[nodiscard]] static FileHandle FromDescriptor(UniqueFd fd, const char* mode);
};

}  // namespace platform::storage
