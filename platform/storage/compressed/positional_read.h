#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::storage {

// Reads up to size bytes of the file behind fd at offset, whatever the descriptor's own position
// (which Windows moves and POSIX leaves). The bytes read (fewer only at the end of the file, 0
// there); -1 when reading failed.
[[nodiscard]] int64_t ReadAt(int fd, void* buffer, size_t size, uint64_t offset);

// The length of the file behind fd in bytes; -1 when it cannot be told.
[[nodiscard]] int64_t FileLength(int fd);

}  // namespace platform::storage
