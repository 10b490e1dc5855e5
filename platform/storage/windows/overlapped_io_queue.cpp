#include "platform/storage/windows/overlapped_io_queue.h"

#include <algorithm>
#include <system_error>

namespace platform::storage {

OverlappedIoQueue::OverlappedIoQueue(Win32Calls& calls, HANDLE file, unsigned depth)
    : calls_(calls), file_(file), depth_(depth) {}

OverlappedIoQueue::~OverlappedIoQueue() {
    if (flush_) {
        flush_->wait();
    }
    if (inFlight_.empty()) {
        return;
    }
    calls_.CancelIo(file_);
    for (const std::unique_ptr<Request>& request : inFlight_) {
        DWORD ignored = 0;
        calls_.GetOverlappedResult(file_, &request->overlapped, &ignored, TRUE);
    }
}

int OverlappedIoQueue::IoErrorCode() const {
    return ERROR_IO_DEVICE;
}

unsigned OverlappedIoQueue::Outstanding() const {
    return static_cast<unsigned>(inFlight_.size() + done_.size() + (flush_ ? 1 : 0));
}

bool OverlappedIoQueue::Start(uint32_t tag, bool read, unsigned char* bytes, size_t size,
                              uint64_t offset) {
    if (Outstanding() >= depth_) {
        queueError_ = ERROR_TOO_MANY_CMDS;
        return false;
    }
    auto request = std::make_unique<Request>();
    request->event = Win32Handle(calls_, calls_.CreateEventA(TRUE, FALSE));
    if (!request->event.valid()) {
        queueError_ = calls_.GetLastError();
        return false;
    }
    request->tag = tag;
    request->read = read;
    request->order = queued_++;
    request->overlapped.Offset = static_cast<DWORD>(offset);
    request->overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
    request->overlapped.hEvent = request->event.get();
    const auto length = static_cast<DWORD>(size);
    const BOOL started = read ? calls_.ReadFile(file_, bytes, length, &request->overlapped)
                              : calls_.WriteFile(file_, bytes, length, &request->overlapped);
    const DWORD error = started ? ERROR_SUCCESS : calls_.GetLastError();
    if (started || error == ERROR_IO_PENDING) {
        inFlight_.push_back(std::move(request));
    } else if (read && error == ERROR_HANDLE_EOF) {
        done_.push_back({tag, 0});  // a read at the device's end
    } else {
        done_.push_back({tag, -static_cast<int64_t>(error)});
    }
    return true;
}

bool OverlappedIoQueue::Write(uint32_t tag, const unsigned char* bytes, size_t size,
                              uint64_t offset) {
    // The system only reads the bytes of a write.
    return Start(tag, false, const_cast<unsigned char*>(bytes), size, offset);
}

bool OverlappedIoQueue::Read(uint32_t tag, unsigned char* bytes, size_t size, uint64_t offset) {
    return Start(tag, true, bytes, size, offset);
}

bool OverlappedIoQueue::Fsync(uint32_t tag) {
    if (flush_) {
        queueError_ = ERROR_BUSY;
        return false;
    }
    // The error is read on the thread that flushed: GetLastError is each thread's own.
    auto flush = [this, tag] {
        const BOOL flushed = calls_.FlushFileBuffers(file_);
        return Completion{tag, flushed ? 0 : -static_cast<int64_t>(calls_.GetLastError())};
    };
    try {
        flush_ = std::async(std::launch::async, flush);
    } catch (const std::system_error&) {
        done_.push_back(flush());  // no thread to be had: flush here
    }
    return true;
}

std::optional<IoQueue::Completion> OverlappedIoQueue::FlushEnded(std::chrono::milliseconds wait) {
    if (!flush_ || flush_->wait_for(wait) != std::future_status::ready) {
        return std::nullopt;
    }
    const Completion completion = flush_->get();
    flush_.reset();
    return completion;
}

std::optional<IoQueue::Completion> OverlappedIoQueue::Reap(Request& request) {
    DWORD transferred = 0;
    Completion completion{request.tag, 0};
    if (calls_.GetOverlappedResult(file_, &request.overlapped, &transferred, FALSE)) {
        completion.result = transferred;
    } else {
        const DWORD error = calls_.GetLastError();
        if (error == ERROR_IO_INCOMPLETE) {
            return std::nullopt;
        }
        if (!request.read || error != ERROR_HANDLE_EOF) {
            completion.result = -static_cast<int64_t>(error);
        }
    }
    inFlight_.erase(std::find_if(inFlight_.begin(), inFlight_.end(),
                                 [&](const auto& held) { return held.get() == &request; }));
    return completion;
}

std::optional<IoQueue::Completion> OverlappedIoQueue::ReapSignalled() {
    for (const std::unique_ptr<Request>& request : inFlight_) {
        if (calls_.WaitForSingleObject(request->event.get(), 0) == WAIT_OBJECT_0) {
            return Reap(*request);
        }
    }
    return std::nullopt;
}

OverlappedIoQueue::Request* OverlappedIoQueue::Oldest() {
    const auto oldest =
        std::min_element(inFlight_.begin(), inFlight_.end(),
                         [](const auto& a, const auto& b) { return a->order < b->order; });
    return oldest == inFlight_.end() ? nullptr : oldest->get();
}

std::optional<IoQueue::Completion> OverlappedIoQueue::Next(std::chrono::milliseconds wait) {
    if (!done_.empty()) {
        const Completion completion = done_.front();
        done_.pop_front();
        return completion;
    }
    if (std::optional<Completion> completion = ReapSignalled()) {
        return completion;
    }
    Request* oldest = Oldest();
    if (oldest == nullptr) {
        return FlushEnded(wait);  // the flush is all that may be outstanding
    }
    if (std::optional<Completion> completion = FlushEnded(std::chrono::milliseconds(0))) {
        return completion;
    }
    if (wait.count() <= 0) {
        return std::nullopt;
    }
    const DWORD waited =
        calls_.WaitForSingleObject(oldest->event.get(), static_cast<DWORD>(wait.count()));
    if (waited == WAIT_TIMEOUT) {
        return std::nullopt;
    }
    if (waited != WAIT_OBJECT_0) {
        // The event cannot be waited for: wait for the transfer itself.
        DWORD ignored = 0;
        calls_.GetOverlappedResult(file_, &oldest->overlapped, &ignored, TRUE);
    }
    return Reap(*oldest);
}

}  // namespace platform::storage
