#pragma once

#include <functional>
#include <string>

#include "platform/storage/file_stream.h"
#include "platform/storage/linux/unique_fd.h"

namespace platform::storage {

// Opens the image file at path for reading. A file whose first bytes announce xz, gzip, bzip2 or
// zstd gives its decompressed bytes, a zip archive the bytes of its one file; any other file is
// read as it is, by StdioFileStream. Null when the file is not a regular file of a disk-backed
// file system, when a compressed file cannot be decoded from its start (a zip with several files
// or an encrypted one, a header that cannot be read, a start that only looks like a format), and
// when the name ends as a compressed file's (".gz", ...) but the content is not compressed.
[[nodiscard]] FileHandle OpenImageStream(const std::string& path);

// The same for the image file at path, already opened as fd and found to be a file of a disk: a
// compressed file gives its decoded bytes, any other is handed to plain. Both systems' openers
// end here.
[[nodiscard]] FileHandle DecodeImage(const std::string& path, UniqueFd fd,
                                     const std::function<FileHandle(UniqueFd)>& plain);

}  // namespace platform::storage
