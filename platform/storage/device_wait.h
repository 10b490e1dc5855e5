#pragma once

#include <chrono>
#include <functional>

namespace platform::storage {

// While a storage call waits for a device (transfers in flight, a flush, a disk that is busy for
// a moment, a system service's answer), it runs the installed hook about every kDeviceWaitSlice,
// so that the calling thread keeps its windows answering however slow the device is. Nothing is
// installed by default; the hook is not run again while it runs.
inline constexpr std::chrono::milliseconds kDeviceWaitSlice{5};

// Installs a hook for its lifetime; the one installed before comes back afterwards. stopped,
// when given, tells whether the user has asked for the operation to stop: a wait that can be
// given up without harm (one before anything is written) then gives up.
class DeviceWaitHook {
  public:
    explicit DeviceWaitHook(std::function<void()> hook, std::function<bool()> stopped = {});
    ~DeviceWaitHook();
    DeviceWaitHook(const DeviceWaitHook&) = delete;
    DeviceWaitHook& operator=(const DeviceWaitHook&) = delete;

  private:
    std::function<void()> previousHook_;
    std::function<bool()> previousStopped_;
};

// Runs the installed hook, if any: the backends call it between slices of a wait.
void WhileDeviceWaits();

// Whether the user asked for the operation to stop (false when no hook says so).
bool StopRequested();

// While one lives, StopRequested answers false: for the steps that give a drive back after a
// Stop (mounting its volumes again), which must not be given up themselves.
class StopIgnored {
  public:
    StopIgnored();
    ~StopIgnored();
    StopIgnored(const StopIgnored&) = delete;
    StopIgnored& operator=(const StopIgnored&) = delete;
};

// Sleeps for duration in slices, running the hook after each.
void PauseForDevice(std::chrono::milliseconds duration);

}  // namespace platform::storage
