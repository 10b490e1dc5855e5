#pragma once

#include "platform/storage/linux/mount_table.h"
#include "platform/storage/linux/sysfs_block_tree.h"
#include "platform/storage/linux/unique_fd.h"

namespace platform::storage {

// The privileged steps around a whole disk: may this process write it, unmounting and mounting
// again the volumes on it, opening its node, re-reading its partition table. One implementation
// makes the system calls itself (root, the disk group); another asks udisks2, with polkit
// deciding. Every failure is a false or invalid result with errno set where one applies.
class DriveAccess {
  public:
    virtual ~DriveAccess() = default;

    // Whether this process may open the disk for writing, now or after a password prompt. Asks
    // nobody anything.
    virtual bool MayWrite(const BlockDeviceInfo& disk) = 0;

    // Whether the mount could be unmounted now (it is not busy); unmounts nothing.
    virtual bool CanUnmount(const MountEntry& mount) = 0;

    // Unmounts one mount, never lazily. False when it is busy or the unmount was refused.
    virtual bool Unmount(const MountEntry& mount) = 0;

    // Mounts again, at the same place and with the same options, a mount Unmount removed.
    virtual bool Remount(const MountEntry& mount) = 0;

    // Opens the whole-disk node with these open(2) flags (O_RDWR or O_RDONLY, plus O_EXCL,
    // O_DIRECT); invalid on failure. May ask the desktop's agent for a password.
    virtual UniqueFd Open(const BlockDeviceInfo& disk, int flags) = 0;

    // Has the kernel re-read the disk's partition table; called after the writer closed it.
    virtual bool RereadPartitions(const BlockDeviceInfo& disk) = 0;
};

}  // namespace platform::storage
