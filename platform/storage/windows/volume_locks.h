#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/storage/windows/win32_handle.h"

namespace platform::storage {

// The lettered volumes of a disk, locked and dismounted so the disk beneath them can be written:
// the system refuses writes into the sectors of a mounted file system, and a lock keeps anything
// else from opening files there meanwhile. Taken all or nothing; the locks are given back when
// this goes (after the disk's own handle has closed).
class VolumeLocks {
  public:
    // Locks every volume of letters, then dismounts them. When one cannot be locked (a file on it
    // is open) or dismounted, the volumes locked so far are unlocked again and nothing comes back:
    // *cause then names that volume and the system's reason.
    static std::optional<VolumeLocks> Take(Win32Calls& calls, const std::vector<char>& letters,
                                           std::string* cause);

    VolumeLocks(VolumeLocks&&) = default;
    VolumeLocks& operator=(VolumeLocks&&) = default;
    ~VolumeLocks();

  private:
    explicit VolumeLocks(Win32Calls& calls) : calls_(&calls) {}
    void Unlock();

    Win32Calls* calls_;
    std::vector<Win32Handle> locked_;
};

}  // namespace platform::storage
