#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace platform::storage {

// Reads and writes on one device that complete later, so that a slow device does not hold the
// caller for a whole transfer. Each request carries a tag of the caller's; completions come back
// with it, in any order. Errors are the system's own codes: errno values on Linux, GetLastError
// codes on Windows.
class IoQueue {
  public:
    struct Completion {
        uint32_t tag = 0;
        int64_t result = 0;  // the bytes moved, or minus the error code
    };

    virtual ~IoQueue() = default;

    // Queue one request; false (QueueError tells why) when it could not be queued. The bytes must
    // stay untouched until the request has completed.
    virtual bool Write(uint32_t tag, const unsigned char* bytes, size_t size, uint64_t offset) = 0;
    virtual bool Read(uint32_t tag, unsigned char* bytes, size_t size, uint64_t offset) = 0;
    // Makes what was written durable: it completes with 0 or minus the error code.
    virtual bool Fsync(uint32_t tag) = 0;
    // Why the last request could not be queued.
    virtual int QueueError() const = 0;
    // The code of a plain input/output error: for a transfer that moved nothing.
    virtual int IoErrorCode() const = 0;

    // The next completion, waiting up to wait for one when none is ready; nothing when none came
    // (or nothing is outstanding).
    virtual std::optional<Completion> Next(std::chrono::milliseconds wait) = 0;
    // Requests queued whose completion has not been handed out yet.
    virtual unsigned Outstanding() const = 0;
};

}  // namespace platform::storage
