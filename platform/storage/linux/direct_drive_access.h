#pragma once

#include <string>
#include <utility>

#include "platform/storage/linux/drive_access.h"

namespace platform::storage {

// The privileged steps as system calls of this process, for a process that may open the disk
// node itself (root, the disk group).
class DirectDriveAccess : public DriveAccess {
  public:
    // mountInfo: the mount table to read when a bind mount is mounted again.
    explicit DirectDriveAccess(std::string mountInfo = "/proc/self/mountinfo")
        : mountInfo_(std::move(mountInfo)) {}

    bool MayWrite(const BlockDeviceInfo& disk) override;
    // Asks the kernel with MNT_EXPIRE, which answers EBUSY for a busy mount and otherwise only
    // marks it, unmounting nothing.
    bool CanUnmount(const MountEntry& mount) override;
    // Unmounts by path after checking that the path still leads to this very mount.
    bool Unmount(const MountEntry& mount) override;
    bool Remount(const MountEntry& mount) override;
    UniqueFd Open(const BlockDeviceInfo& disk, int flags) override;
    bool RereadPartitions(const BlockDeviceInfo& disk) override;

  private:
    bool BindAgain(const MountEntry& mount, unsigned long flags);

    std::string mountInfo_;
};

}  // namespace platform::storage
