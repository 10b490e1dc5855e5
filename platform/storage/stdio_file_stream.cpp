#include "platform/storage/stdio_file_stream.h"

#include <unistd.h>

namespace platform::storage {

namespace {
constexpr size_t kBufferBytes = 1u << 20;
}

FileHandle StdioFileStream::Open(const std::string& path, const char* mode) {
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (file == nullptr) {
        return nullptr;
    }
    // Large buffered transfers keep the image file from limiting a drive's speed.
    std::setvbuf(file, nullptr, _IOFBF, kBufferBytes);
    return FileHandle(new StdioFileStream(file));
}

StdioFileStream::~StdioFileStream() {
    Close();
}

size_t StdioFileStream::Read(void* buffer, size_t size, size_t count) {
    return file_ ? std::fread(buffer, size, count, file_) : 0;
}

size_t StdioFileStream::Write(const void* buffer, size_t size, size_t count) {
    return file_ ? std::fwrite(buffer, size, count, file_) : 0;
}

bool StdioFileStream::Error() const {
    return file_ == nullptr || std::ferror(file_) != 0;
}

bool StdioFileStream::Flush() {
    return file_ != nullptr && std::fflush(file_) == 0 && ::fsync(fileno(file_)) == 0;
}

bool StdioFileStream::Close() {
    if (file_ == nullptr) {
        return true;
    }
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
}

}  // namespace platform::storage
