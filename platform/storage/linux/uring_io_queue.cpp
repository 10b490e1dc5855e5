#include "platform/storage/linux/uring_io_queue.h"

#include <poll.h>

#include <cerrno>

#include "platform/storage/linux/sync_io_queue.h"

namespace platform::storage {

std::unique_ptr<UringIoQueue> UringIoQueue::Create(int fd, unsigned depth) {
    std::unique_ptr<UringIoQueue> queue(new UringIoQueue(fd));
    const int result = io_uring_queue_init(depth, &queue->ring_, 0);
    if (result < 0) {
        queue->ring_.ring_fd = -1;
        errno = -result;
        return nullptr;
    }
    return queue;
}

UringIoQueue::~UringIoQueue() {
    // The kernel must be done with the caller's buffers before they go: wait for what is out.
    while (outstanding_ > 0) {
        Next(std::chrono::milliseconds(100));
    }
    if (ring_.ring_fd >= 0) {
        io_uring_queue_exit(&ring_);
    }
}

bool UringIoQueue::Submit() {
    int result;
    do {
        result = io_uring_submit(&ring_);
    } while (result == -EINTR);
    if (result < 0) {
        errno = -result;
        return false;
    }
    ++outstanding_;
    return true;
}

template <typename Prepare>
bool UringIoQueue::Queue(uint32_t tag, Prepare prepare) {
    io_uring_sqe* entry = io_uring_get_sqe(&ring_);
    if (entry == nullptr) {
        errno = EAGAIN;
        return false;
    }
    prepare(entry);
    io_uring_sqe_set_data64(entry, tag);
    return Submit();
}

bool UringIoQueue::Write(uint32_t tag, const unsigned char* bytes, size_t size, uint64_t offset) {
    return Queue(tag, [&](io_uring_sqe* entry) {
        io_uring_prep_write(entry, fd_, bytes, static_cast<unsigned>(size), offset);
    });
}

bool UringIoQueue::Read(uint32_t tag, unsigned char* bytes, size_t size, uint64_t offset) {
    return Queue(tag, [&](io_uring_sqe* entry) {
        io_uring_prep_read(entry, fd_, bytes, static_cast<unsigned>(size), offset);
    });
}

bool UringIoQueue::Fsync(uint32_t tag) {
    return Queue(tag, [&](io_uring_sqe* entry) { io_uring_prep_fsync(entry, fd_, 0); });
}

std::optional<IoQueue::Completion> UringIoQueue::Next(std::chrono::milliseconds wait) {
    if (outstanding_ == 0) {
        return std::nullopt;
    }
    io_uring_cqe* entry = nullptr;
    int result = io_uring_peek_cqe(&ring_, &entry);
    if (result == -EAGAIN && wait.count() > 0) {
        // The ring's descriptor is readable once a completion is there. poll keeps to its
        // timeout, where the ring's own timed wait was seen to overshoot it by tens of ms.
        pollfd ring{ring_.ring_fd, POLLIN, 0};
        ::poll(&ring, 1, static_cast<int>(wait.count()));
        result = io_uring_peek_cqe(&ring_, &entry);
    }
    if (result < 0 || entry == nullptr) {
        return std::nullopt;
    }
    const Completion completion{static_cast<uint32_t>(io_uring_cqe_get_data64(entry)), entry->res};
    io_uring_cqe_seen(&ring_, entry);
    --outstanding_;
    return completion;
}

std::unique_ptr<IoQueue> MakeIoQueue(int fd, unsigned depth, IoMode mode) {
    if (mode == IoMode::kAsynchronous) {
        if (std::unique_ptr<UringIoQueue> ring = UringIoQueue::Create(fd, depth)) {
            return ring;
        }
    }
    return std::make_unique<SyncIoQueue>(fd);
}

}  // namespace platform::storage
