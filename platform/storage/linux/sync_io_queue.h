#pragma once

#include <deque>

#include "platform/storage/linux/io_queues.h"

namespace platform::storage {

// Carries out each request with pread/pwrite when it is queued; its completion is handed out by
// the next call of Next.
class SyncIoQueue : public PosixIoQueue {
  public:
    explicit SyncIoQueue(int fd) : fd_(fd) {}

    bool Write(uint32_t tag, const unsigned char* bytes, size_t size, uint64_t offset) override;
    bool Read(uint32_t tag, unsigned char* bytes, size_t size, uint64_t offset) override;
    bool Fsync(uint32_t tag) override;
    std::optional<Completion> Next(std::chrono::milliseconds wait) override;
    unsigned Outstanding() const override { return static_cast<unsigned>(done_.size()); }

  private:
    int fd_;
    std::deque<Completion> done_;
};

}  // namespace platform::storage
