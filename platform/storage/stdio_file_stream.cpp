#include "platform/storage/stdio_file_stream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/storage/regular_file.h"

namespace platform::storage {

namespace {

constexpr size_t kBufferBytes = 1u << 20;

}  // namespace

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
    // A large buffer of the stream's own keeps the image file from limiting a drive's speed (the
    // C library ignores a size given without a buffer).
    std::unique_ptr<char[]> buffer(new char[kBufferBytes]);
    std::setvbuf(file, buffer.get(), _IOFBF, kBufferBytes);
    return FileHandle(
        new StdioFileStream(file, std::move(buffer), static_cast<uint64_t>(st.st_size)));
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

uint64_t StdioFileStream::FileBytesConsumed() const {
    const off_t position = file_ ? ::ftello(file_) : -1;
    return position > 0 ? static_cast<uint64_t>(position) : 0;
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
