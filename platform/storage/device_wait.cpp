#include "platform/storage/device_wait.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace platform::storage {

namespace {

std::function<void()>& Installed() {
    static std::function<void()> hook;
    return hook;
}

bool running = false;

}  // namespace

DeviceWaitHook::DeviceWaitHook(std::function<void()> hook)
    : previous_(std::exchange(Installed(), std::move(hook))) {}

DeviceWaitHook::~DeviceWaitHook() {
    Installed() = std::move(previous_);
}

void WhileDeviceWaits() {
    if (!Installed() || running) {
        return;
    }
    running = true;
    Installed()();
    running = false;
}

void PauseForDevice(std::chrono::milliseconds duration) {
    while (duration.count() > 0) {
        const std::chrono::milliseconds slice = std::min(duration, kDeviceWaitSlice);
        std::this_thread::sleep_for(slice);
        duration -= slice;
        WhileDeviceWaits();
    }
}

}  // namespace platform::storage
