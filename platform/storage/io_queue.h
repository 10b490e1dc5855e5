#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace platform::storage {

// Reads and writes on one descriptor that complete later, so that a slow device does not hold
// the caller for a whole transfer. Each request carries a tag of the caller's; completions come
// back with it, in any order.
class IoQueue {
  public:
    struct Completion {
        uint32_t tag = 0;
        int64_t result = 0;  // the bytes moved, or -errno
    };

    virtual ~IoQueue() = default;

    // Queue one request; false (errno set) when it could not be queued. The bytes must stay
    // untouched until the request has completed.
    virtual bool Write(uint32_t tag, const unsigned char* bytes, size_t size, uint64_t offset) = 0;
    virtual bool Read(uint32_t tag, unsigned char* bytes, size_t size, uint64_t offset) = 0;
    // Makes what was written durable: it completes with 0 or -errno.
    virtual bool Fsync(uint32_t tag) = 0;

    // The next completion, waiting up to wait for one when none is ready; nothing when none came
    // (or nothing is outstanding).
    virtual std::optional<Completion> Next(std::chrono::milliseconds wait) = 0;
    // Requests queued whose completion has not been handed out yet.
    virtual unsigned Outstanding() const = 0;
};

// How requests are carried out: by the kernel in the background (io_uring), or one by one at
// the time they are queued (where io_uring is not available).
enum class IoMode { kAsynchronous, kSynchronous };

// A queue for fd that holds up to depth requests. kAsynchronous falls back to kSynchronous when
// the kernel refuses io_uring (disabled, or filtered by a sandbox).
std::unique_ptr<IoQueue> MakeIoQueue(int fd, unsigned depth, IoMode mode);

}  // namespace platform::storage
