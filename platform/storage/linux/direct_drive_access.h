#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/storage/linux/drive_access.h"
#include "platform/storage/linux/off_thread_call.h"

namespace platform::storage {

// The privileged steps as system calls of this process, for a process that may open the disk
// node and mount and unmount file systems itself (root). Writing out a file system and unmounting
// it run off this thread, which answers its windows meanwhile.
class DirectDriveAccess : public DriveAccess {
  public:
    // mountInfo: the mount table to read when a bind mount is mounted again.
    explicit DirectDriveAccess(std::string mountInfo = "/proc/self/mountinfo")
        : mountInfo_(std::move(mountInfo)) {}

    // Whether the permissions of the node let this process write it.
    StepResult MayWrite(const BlockDeviceInfo& disk) override;
    // Asks the kernel with MNT_EXPIRE, which answers EBUSY for a busy mount and otherwise only
    // marks it, unmounting nothing.
    StepResult CanUnmount(const MountEntry& mount) override;
    // Has the file system write out what it holds (given up on a Stop), then unmounts it by path
    // after checking that the path still leads to this very mount.
    StepResult Unmount(const MountEntry& mount) override;
    StepResult Remount(const MountEntry& mount) override;
    StepResult Open(const BlockDeviceInfo& disk, int flags, UniqueFd* fd) override;
    StepResult RereadPartitions(const BlockDeviceInfo& disk) override;

    // Has the mounted file system write out what it holds, so that unbuffered reads of its disk
    // see it. Given up on a Stop; the write-out goes on, and every later step on that mount
    // waits for it first (it holds the mount busy while it runs).
    StepResult WriteOut(const MountEntry& mount);

  private:
    bool BindAgain(const MountEntry& mount, unsigned long flags);
    // Waits for a write-out of the mount that a Stop left running; ECANCELED on a Stop.
    StepResult AfterEarlierWriteOut(const MountEntry& mount);

    std::string mountInfo_;
    // Write-outs left running by a Stop, by mount ID.
    std::map<int, OffThreadCall> writeOuts_;
};

}  // namespace platform::storage
