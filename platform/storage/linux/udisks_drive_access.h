#pragma once

#include <string>

#include "platform/storage/linux/drive_access.h"

namespace platform::storage {

// The privileged steps done by udisks2 over the system bus, with polkit deciding: for a process
// that may not open disks itself. Calls that may put up the desktop's password prompt wait for
// it without a timeout, delivering other events meanwhile (see CallAndWait); they need an
// application object on the calling thread to do so. Nothing here runs as root.
class UdisksDriveAccess : public DriveAccess {
  public:
    // Asks polkit for udisks2's open-device action, or open-device-system when udisks2 marks
    // the disk HintSystem; a "yes" or a "yes after a password" count.
    bool MayWrite(const BlockDeviceInfo& disk) override;

    // Only what this user can see: another mount beneath it, or this user's own processes
    // using the volume (MountUsage). Other users' and root's processes are invisible, so a
    // true here can still end in a busy Unmount.
    bool CanUnmount(const MountEntry& mount) override;

    // Filesystem.Unmount without "force" (which would be lazy). udisks2 unmounts the volume
    // at the first of its mount points. Needs filesystem-unmount-others unless this user
    // mounted the volume through udisks2.
    bool Unmount(const MountEntry& mount) override;

    // Filesystem.Mount, read-only when the old mount was. udisks2 chooses the place
    // (/media/<user>/<label>, or the volume's fstab entry), which differs from the old one when
    // the old mount was not made by udisks2; its default options (nosuid, nodev) apply.
    bool Remount(const MountEntry& mount) override;

    // Block.OpenDevice("rw", "w" or "r" from the access mode; the other flags passed on) with
    // the password prompt allowed; the descriptor is a duplicate of the one udisks2 sent.
    UniqueFd Open(const BlockDeviceInfo& disk, int flags) override;

    // Block.Rescan, prompt allowed. udisks2 answers success even when the kernel refused to
    // re-read the table; a caller that must know checks sysfs.
    bool RereadPartitions(const BlockDeviceInfo& disk) override;
};

}  // namespace platform::storage
