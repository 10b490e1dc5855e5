#include "platform/storage/linux/sync_io_queue.h"

#include <unistd.h>

#include <cerrno>

namespace platform::storage {

namespace {

// Runs a transfer to its result, again when a signal interrupted it: bytes moved or -errno.
template <typename Transfer>
int64_t Carry(Transfer transfer) {
    ssize_t n;
    do {
        n = transfer();
    } while (n < 0 && errno == EINTR);
    return n < 0 ? -static_cast<int64_t>(errno) : static_cast<int64_t>(n);
}

}  // namespace

bool SyncIoQueue::Write(uint32_t tag, const unsigned char* bytes, size_t size, uint64_t offset) {
    done_.push_back({tag, Carry([&] { return ::pwrite(fd_, bytes, size, offset); })});
    return true;
}

bool SyncIoQueue::Read(uint32_t tag, unsigned char* bytes, size_t size, uint64_t offset) {
    done_.push_back({tag, Carry([&] { return ::pread(fd_, bytes, size, offset); })});
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
