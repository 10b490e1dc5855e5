#pragma once

#include <string>

#include "platform/storage/linux/unique_fd.h"

namespace platform::storage {

// Opens path only when it is a regular file of a disk-backed file system: not a FIFO (which would
// block the reader for ever), a socket, a folder, a device node (which would be written past the
// safety steps of a drive's open) or a file of /proc, /sys and their kin. write opens it for
// reading and writing; create also creates a missing file and truncates it. Invalid on failure,
// with errno set.
[[nodiscard]] UniqueFd OpenRegularFile(const std::string& path, bool write, bool create);

}  // namespace platform::storage
