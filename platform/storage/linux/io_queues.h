#pragma once

#include <cerrno>
#include <memory>

#include "platform/storage/io_queue.h"

namespace platform::storage {

// A queue whose errors are errno values; a request that could not be queued leaves errno set.
class PosixIoQueue : public IoQueue {
  public:
    int QueueError() const override { return errno; }
    int IoErrorCode() const override { return EIO; }
};

// How requests are carried out: by the kernel in the background (io_uring), or one by one at
// the time they are queued (where io_uring is not available).
enum class IoMode { kAsynchronous, kSynchronous };

// A queue for fd that holds up to depth requests. kAsynchronous falls back to kSynchronous when
// the kernel refuses io_uring (disabled, or filtered by a sandbox).
std::unique_ptr<IoQueue> MakeIoQueue(int fd, unsigned depth, IoMode mode);

}  // namespace platform::storage
