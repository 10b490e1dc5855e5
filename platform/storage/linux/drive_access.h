#pragma once

#include "platform/storage/linux/mount_table.h"
#include "platform/storage/linux/step_result.h"
#include "platform/storage/linux/sysfs_block_tree.h"
#include "platform/storage/linux/unique_fd.h"

namespace platform::storage {

// The privileged steps around a whole disk: may this process write it, unmounting and mounting
// again the volumes on it, opening its node, re-reading its partition table. One implementation
// makes the system calls itself (root); one asks udisks2, with polkit deciding; one opens the
// disk itself and has udisks2 do the rest (the disk group). Every step answers with its result,
// a failure carrying its errno and, where the step knows it, its cause.
//
// Steps that wait (for udisks2, a password prompt, a file system writing out what it holds) keep
// the caller's windows answering through the device-wait hook. Those before anything is written
// give up with ECANCELED when the user asks to stop (StopRequested); a step left unanswered that
// way is undone when its answer comes (an unmount that still happens is mounted again, a
// descriptor that still arrives is closed).
class DriveAccess {
  public:
    virtual ~DriveAccess() = default;

    // Whether this process may open the disk for writing, now or after a password prompt. Asks
    // nobody to prompt.
    virtual StepResult MayWrite(const BlockDeviceInfo& disk) = 0;

    // Whether the mount could be unmounted now (it is not busy); unmounts nothing. EBUSY when it
    // is busy.
    virtual StepResult CanUnmount(const MountEntry& mount) = 0;

    // Unmounts one mount, never lazily; what it holds is written out first. EBUSY when busy.
    virtual StepResult Unmount(const MountEntry& mount) = 0;

    // Mounts again, at the same place and with the same options, a mount Unmount removed. Not
    // given up on a Stop: it is what gives a drive back.
    virtual StepResult Remount(const MountEntry& mount) = 0;

    // Opens the whole-disk node with these open(2) flags (O_RDWR or O_RDONLY, plus O_EXCL,
    // O_DIRECT) into *fd. May ask the desktop's agent for a password.
    virtual StepResult Open(const BlockDeviceInfo& disk, int flags, UniqueFd* fd) = 0;

    // Has the kernel re-read the disk's partition table; called after the writer closed it.
    virtual StepResult RereadPartitions(const BlockDeviceInfo& disk) = 0;
};

}  // namespace platform::storage
