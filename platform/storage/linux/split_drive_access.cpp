#include "platform/storage/linux/split_drive_access.h"

#include <cerrno>

namespace platform::storage {

StepResult SplitDriveAccess::Unmount(const MountEntry& mount) {
    const StepResult unmounted = mounter_.Unmount(mount);
    if (unmounted.error() != ENOTCONN) {
        return unmounted;
    }
    return StepResult::Failed(
        ENOTCONN,
        "You may write the drive yourself (as a member of the disk group), but only "
        "root or udisks2 may unmount its volume " +
            mount.target +
            ", and udisks2 cannot be reached. Install and start udisks2 "
            "(sudo apt-get install udisks2), or run the program as root. "
            "Nothing was written.");
}

}  // namespace platform::storage
