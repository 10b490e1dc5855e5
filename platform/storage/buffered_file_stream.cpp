#include "platform/storage/buffered_file_stream.h"

#include <cerrno>

#include "platform/storage/failure_cause.h"

namespace platform::storage {

namespace {

constexpr size_t kBufferBytes = 1u << 20;

}  // namespace

BufferedFileStream::BufferedFileStream(std::FILE* file, uint64_t size)
    : buffer_(new char[kBufferBytes]), file_(file), size_(size) {
    // A large buffer of the stream's own keeps the image file from limiting a drive's speed (the
    // C library ignores a size given without a buffer).
    std::setvbuf(file_, buffer_.get(), _IOFBF, kBufferBytes);
}

BufferedFileStream::~BufferedFileStream() {
    Close();
}

size_t BufferedFileStream::Read(void* buffer, size_t size, size_t count) {
    if (file_ == nullptr) {
        return 0;
    }
    const size_t items = std::fread(buffer, size, count, file_);
    if (items < count && std::ferror(file_)) {
        SetFailureCause("Reading the image file failed at byte " +
                        std::to_string(FileBytesConsumed()) + ": " + ErrnoText(errno) + ".");
    }
    return items;
}

size_t BufferedFileStream::Write(const void* buffer, size_t size, size_t count) {
    return file_ ? std::fwrite(buffer, size, count, file_) : 0;
}

bool BufferedFileStream::Error() const {
    return file_ == nullptr || std::ferror(file_) != 0;
}

bool BufferedFileStream::Flush() {
    return file_ != nullptr && std::fflush(file_) == 0 && SyncFileToMedium(file_);
}

uint64_t BufferedFileStream::FileBytesConsumed() const {
    const int64_t position = file_ ? StreamPosition(file_) : -1;
    return position > 0 ? static_cast<uint64_t>(position) : 0;
}

bool BufferedFileStream::Close() {
    if (file_ == nullptr) {
        return true;
    }
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
}

}  // namespace platform::storage
