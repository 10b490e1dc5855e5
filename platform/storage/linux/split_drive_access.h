#pragma once

#include "platform/storage/linux/drive_access.h"

namespace platform::storage {

// For a process that may open a disk's node itself but may not mount or unmount file systems (a
// member of the disk group): the disk is opened by the opener (the process itself, no prompt),
// and its volumes are unmounted, mounted again and its partition table re-read by the mounter
// (udisks2: a volume the user mounted is unmounted without a prompt).
class SplitDriveAccess : public DriveAccess {
  public:
    SplitDriveAccess(DriveAccess& opener, DriveAccess& mounter)
        : opener_(opener), mounter_(mounter) {}

    StepResult MayWrite(const BlockDeviceInfo& disk) override { return opener_.MayWrite(disk); }
    StepResult CanUnmount(const MountEntry& mount) override { return mounter_.CanUnmount(mount); }
    // When the mounter cannot be reached, the cause says what the user can do.
    StepResult Unmount(const MountEntry& mount) override;
    StepResult Remount(const MountEntry& mount) override { return mounter_.Remount(mount); }
    StepResult Open(const BlockDeviceInfo& disk, int flags, UniqueFd* fd) override {
        return opener_.Open(disk, flags, fd);
    }
    StepResult RereadPartitions(const BlockDeviceInfo& disk) override {
        return mounter_.RereadPartitions(disk);
    }

  private:
    DriveAccess& opener_;
    DriveAccess& mounter_;
};

}  // namespace platform::storage
