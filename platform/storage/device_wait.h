#pragma once

#include <chrono>
#include <functional>

namespace platform::storage {

// While a storage call waits for a device (transfers in flight, a flush, a disk that is busy for
// a moment), it runs the installed hook about every kDeviceWaitSlice, so that the calling thread
// keeps its windows answering however slow the device is. Nothing is installed by default; the
// hook is not run again while it runs.
inline constexpr std::chrono::milliseconds kDeviceWaitSlice{5};

// Installs a hook for its lifetime; the one installed before comes back afterwards.
class DeviceWaitHook {
  public:
    explicit DeviceWaitHook(std::function<void()> hook);
    ~DeviceWaitHook();
    DeviceWaitHook(const DeviceWaitHook&) = delete;
    DeviceWaitHook& operator=(const DeviceWaitHook&) = delete;

  private:
    std::function<void()> previous_;
};

// Runs the installed hook, if any: the backends call it between slices of a wait.
void WhileDeviceWaits();

// Sleeps for duration in slices, running the hook after each.
void PauseForDevice(std::chrono::milliseconds duration);

}  // namespace platform::storage
