#pragma once

#include <liburing.h>

#include <memory>

#include "platform/storage/linux/io_queues.h"

namespace platform::storage {

// Requests carried out by the kernel through an io_uring of the caller's thread: queuing submits
// at once, and completions are reaped from the ring without a system call when they are there.
class UringIoQueue : public PosixIoQueue {
  public:
    // Null (errno set) when the kernel refuses a ring.
    static std::unique_ptr<UringIoQueue> Create(int fd, unsigned depth);
    ~UringIoQueue() override;
    UringIoQueue(const UringIoQueue&) = delete;
    UringIoQueue& operator=(const UringIoQueue&) = delete;

    bool Write(uint32_t tag, const unsigned char* bytes, size_t size, uint64_t offset) override;
    bool Read(uint32_t tag, unsigned char* bytes, size_t size, uint64_t offset) override;
    bool Fsync(uint32_t tag) override;
    std::optional<Completion> Next(std::chrono::milliseconds wait) override;
    unsigned Outstanding() const override { return outstanding_; }

  private:
    explicit UringIoQueue(int fd) : fd_(fd) {}
    template <typename Prepare>
    bool Queue(uint32_t tag, Prepare prepare);
    bool Submit();

    int fd_;
    io_uring ring_{};
    unsigned outstanding_ = 0;
};

}  // namespace platform::storage
