#include "platform/storage/linux/sync_io_queue.h"

#include <unistd.h>

#include <cerrno>

namespace platform::storage {

namespace {

int64_t ResultOf(ssize_t n) {
    return n < 0 ? -static_cast<int64_t>(errno) : static_cast<int64_t>(n);
}

}  // namespace

bool SyncIoQueue::Write(uint32_t tag, const unsigned char* bytes, size_t size, uint64_t offset) {
    ssize_t n;
    do {
        n = ::pwrite(fd_, bytes, size, static_cast<off_t>(offset));
    } while (n < 0 && errno == EINTR);
    done_.push_back({tag, ResultOf(n)});
    return true;
}

bool SyncIoQueue::Read(uint32_t tag, unsigned char* bytes, size_t size, uint64_t offset) {
    ssize_t n;
    do {
        n = ::pread(fd_, bytes, size, static_cast<off_t>(offset));
    } while (n < 0 && errno == EINTR);
    done_.push_back({tag, ResultOf(n)});
    return true;
}

bool SyncIoQueue::Fsync(uint32_t tag) {
    done_.push_back({tag, ::fsync(fd_) == 0 ? 0 : -static_cast<int64_t>(errno)});
    return true;
}

std::optional<IoQueue::Completion> SyncIoQueue::Next(std::chrono::milliseconds) {
    if (done_.empty()) {
        return std::nullopt;
    }
    const Completion completion = done_.front();
    done_.pop_front();
    return completion;
}

}  // namespace platform::storage
