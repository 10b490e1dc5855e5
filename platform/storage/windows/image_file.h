#pragma once

#include <string>

#include "platform/storage/file_stream.h"

namespace platform::storage {

// Opens an image file with an fopen mode ("rb", "r+b", "w+b") through the C runtime's buffered
// streams. Only a file on a disk is opened: a device path ("\\.\E:", "\\?\..."), a folder, a
// console, a pipe or another character device is refused with a cause, and "w" truncates nothing
// but such a file. Null on failure.
[[nodiscard]] FileHandle OpenImageFile(const std::string& path, const char* mode);

}  // namespace platform::storage
