#pragma once

#include <cstdint>
#include <string>

namespace platform::storage {

// polkit's answer for this process, asked over the system bus without any interaction.
class PolkitAuthority {
  public:
    // True when polkit authorises this process for the action now, or would after
    // authentication (a password prompt). False when it refuses, or cannot be asked (errno set).
    static bool MayObtain(const std::string& actionId);

    // This process's start time as polkit identifies processes (field 22 of /proc/self/stat,
    // in clock ticks since boot); 0 when unreadable.
    static uint64_t ProcessStartTime();
};

}  // namespace platform::storage
