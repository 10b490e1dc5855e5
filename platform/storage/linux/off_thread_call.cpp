#include "platform/storage/linux/off_thread_call.h"

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/storage/device_wait.h"

namespace platform::storage {

// Shared by the calling thread and the waiting one, which may stop waiting before the end.
struct OffThreadCall::Pending {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<CallOutcome> outcome;
};

OffThreadCall::OffThreadCall(std::function<int()> call) : pending_(std::make_shared<Pending>()) {
    std::thread([pending = pending_, call = std::move(call)]() mutable {
        CallOutcome outcome;
        outcome.value = call();
        outcome.error = errno;
        // What the call holds (the open folder of a write-out) goes before its end is known: the
        // waiter may unmount that folder's file system right after.
        call = nullptr;
        const std::lock_guard lock(pending->mutex);
        pending->outcome = outcome;
        pending->done.notify_all();
    }).detach();
}

std::optional<CallOutcome> OffThreadCall::Wait(bool stoppable) const {
    for (;;) {
        {
            std::unique_lock lock(pending_->mutex);
            if (pending_->done.wait_for(lock, kDeviceWaitSlice,
                                        [&] { return pending_->outcome.has_value(); })) {
                return pending_->outcome;
            }
        }
        WhileDeviceWaits();
        if (stoppable && StopRequested()) {
            return std::nullopt;
        }
    }
}

}  // namespace platform::storage
