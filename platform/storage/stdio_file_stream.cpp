#include "platform/storage/stdio_file_stream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/storage/regular_file.h"

namespace platform::storage {

FileHandle StdioFileStream::Open(const std::string& path, const char* mode) {
    const bool create = mode[0] == 'w';
    const bool write = create || std::strchr(mode, '+') != nullptr;
    UniqueFd fd = OpenRegularFile(path, write, create);
    if (!fd.valid()) {
        return nullptr;
    }
    return FromDescriptor(std::move(fd), mode);
}

FileHandle StdioFileStream::FromDescriptor(UniqueFd fd, const char* mode) {
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || ::lseek(fd.get(), 0, SEEK_SET) != 0) {
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd.get(), mode);
    if (file == nullptr) {
        return nullptr;
    }
    fd.Release();  // the stream closes it now
    return std::make_unique<BufferedFileStream>(file, static_cast<uint64_t>(st.st_size));
}

}  // namespace platform::storage
