#include "platform/storage/device_wait.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace platform::storage {

namespace {

struct Installed {
    std::function<void()> hook;
    std::function<bool()> stopped;
};

Installed& Current() {
    static Installed installed;
    return installed;
}

bool running = false;
int ignoringStop = 0;

}  // namespace

DeviceWaitHook::DeviceWaitHook(std::function<void()> hook, std::function<bool()> stopped)
    : previousHook_(std::exchange(Current().hook, std::move(hook))),
      previousStopped_(std::exchange(Current().stopped, std::move(stopped))) {}

DeviceWaitHook::~DeviceWaitHook() {
    Current().hook = std::move(previousHook_);
    Current().stopped = std::move(previousStopped_);
}

void WhileDeviceWaits() {
    if (!Current().hook || running) {
        return;
    }
    running = true;
    Current().hook();
    running = false;
}

bool StopRequested() {
    return ignoringStop == 0 && Current().stopped && Current().stopped();
}

StopIgnored::StopIgnored() {
    ++ignoringStop;
}

StopIgnored::~StopIgnored() {
    --ignoringStop;
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
