#pragma once

#include <cstdint>
#include <string>

#include "platform/storage/linux/step_result.h"

namespace platform::storage {

// polkit's answer for this process, asked over the system bus without any interaction.
class PolkitAuthority {
  public:
    // Success when polkit authorises this process for the action now, or would after
    // authentication (a password prompt). EACCES when it refuses; the bus's error (ENOTCONN when
    // polkit cannot be reached) when it cannot be asked.
    static StepResult MayObtain(const std::string& actionId, int boundMs);

    // This process's start time as polkit identifies processes (field 22 of /proc/self/stat,
    // in clock ticks since boot); 0 when unreadable.
    static uint64_t ProcessStartTime();
};

}  // namespace platform::storage
