#pragma once

#include <deque>
#include <future>
#include <memory>
#include <optional>
#include <vector>

#include "platform/storage/io_queue.h"
#include "platform/storage/windows/win32_handle.h"

namespace platform::storage {

// Requests on one handle opened for overlapped I/O, each with an event of its own that the
// system signals when it completes. A request the system fails at once completes with its error.
// Making durable (FlushFileBuffers, which has no overlapped form and may take long on a slow
// stick) runs on a thread of its own, so its waiter waits in slices as for any transfer. Errors
// are GetLastError codes. Destroying the queue cancels the transfers still in flight and waits
// for them and for a flush, so the caller's buffers outlive every transfer on them.
class OverlappedIoQueue : public IoQueue {
  public:
    OverlappedIoQueue(Win32Calls& calls, HANDLE file, unsigned depth);
    ~OverlappedIoQueue() override;
    OverlappedIoQueue(const OverlappedIoQueue&) = delete;
    OverlappedIoQueue& operator=(const OverlappedIoQueue&) = delete;

    bool Write(uint32_t tag, const unsigned char* bytes, size_t size, uint64_t offset) override;
    bool Read(uint32_t tag, unsigned char* bytes, size_t size, uint64_t offset) override;
    bool Fsync(uint32_t tag) override;
    int QueueError() const override { return static_cast<int>(queueError_); }
    int IoErrorCode() const override;
    std::optional<Completion> Next(std::chrono::milliseconds wait) override;
    unsigned Outstanding() const override;

  private:
    struct Request {
        uint32_t tag = 0;
        bool read = false;
        uint64_t order = 0;  // when it was queued: the oldest is waited for
        OVERLAPPED overlapped{};
        Win32Handle event;
    };

    bool Start(uint32_t tag, bool read, unsigned char* bytes, size_t size, uint64_t offset);
    Request* Oldest();
    std::optional<Completion> Reap(Request& request);
    std::optional<Completion> ReapSignalled();
    std::optional<Completion> FlushEnded(std::chrono::milliseconds wait);

    Win32Calls& calls_;
    HANDLE file_;
    unsigned depth_;
    // Stable addresses: the system holds each OVERLAPPED until its request completes.
    std::vector<std::unique_ptr<Request>> inFlight_;
    std::deque<Completion> done_;  // completed when queued
    std::optional<std::future<Completion>> flush_;
    uint64_t queued_ = 0;
    DWORD queueError_ = 0;
};

}  // namespace platform::storage
