// Image files on Linux: regular files of a disk-backed file system, opened once.
#include "platform/storage/compressed/image_stream.h"
#include "platform/storage/regular_file.h"
#include "platform/storage/stdio_file_stream.h"

namespace platform::storage {

FileHandle OpenImageStream(const std::string& path) {
    UniqueFd fd = OpenRegularFile(path, false, false);
    if (!fd.valid()) {
        return nullptr;
    }
    return DecodeImage(path, std::move(fd), [](UniqueFd plain) {
        return StdioFileStream::FromDescriptor(std::move(plain), "rb");
    });
}

}  // namespace platform::storage
