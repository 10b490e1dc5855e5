#pragma once

#include <string>
#include <vector>

#include "platform/storage/linux/drive_access.h"
#include "platform/storage/linux/mount_table.h"
#include "platform/storage/linux/sysfs_block_tree.h"

namespace platform::storage {

// Takes a whole disk for writing, all or nothing. It is refused while anything but the disk's own
// mounts uses the disk or a partition of it (a stacked device, a loop device, a swap area), while
// another file system is mounted on or inside one of its mounts, or while one of its mounts is
// busy. Otherwise every mount of the disk and its partitions, and nothing else, is unmounted, the
// disk is opened exclusively and the descriptor checked to be the scanned disk (IsDisk). When a
// step fails, or the user stops before the disk is open, what was unmounted is mounted again as
// it was.
class DiskClaim {
  public:
    DiskClaim(DriveAccess& access, std::string sysRoot, std::string mountInfo,
              std::string swapsPath = "/proc/swaps");

    // What a claim took: the open descriptor, and the mounts unmounted for it, in mount order.
    struct Claimed {
        UniqueFd fd;
        std::vector<MountEntry> unmounted;
    };

    // Takes the disk into *claimed (flags as for open(2); O_EXCL is added). A Stop before the
    // disk is open ends the claim with ECANCELED, its cause saying how the volumes were left.
    StepResult Take(const BlockDeviceInfo& disk, int flags, Claimed* claimed);

    // Mounts again, in mount order, what a claim unmounted; not given up on a Stop. On failure,
    // the cause names each mount that stays unmounted.
    StepResult GiveBack(const std::vector<MountEntry>& unmounted);

    // Whether the open descriptor is the disk described: its device number and media sequence
    // number (where the kernel knows one). This guards the moment between the last look at the
    // disks and the open: a medium swapped in between has another sequence number.
    static bool IsDisk(int fd, const BlockDeviceInfo& disk);

  private:
    struct Look {
        SysfsBlockTree tree;
        MountTable raw;     // as the kernel shows it
        MountTable mounts;  // btrfs mounts given their source device's number
    };

    Look LookNow() const;
    std::string UserOf(const Look& look, const BlockDeviceInfo& disk) const;
    std::vector<MountEntry> MountsOf(const Look& look, const std::string& diskName) const;
    StepResult NotCovered(const Look& look, const std::vector<MountEntry>& own) const;
    StepResult AllIdle(const std::vector<MountEntry>& own);
    StepResult UnmountAll(const std::vector<MountEntry>& own, std::vector<MountEntry>* unmounted);
    // Mounts that went missing meanwhile count as unmounted (a probe may unmount a mount an
    // earlier probe marked); returns the unmounted ones in mount order.
    std::vector<MountEntry> Unmounted(const BlockDeviceInfo& disk,
                                      const std::vector<MountEntry>& own,
                                      const std::vector<MountEntry>& unmounted) const;
    StepResult OpenChecked(const BlockDeviceInfo& disk, int flags, UniqueFd* fd);
    StepResult StillFree(const BlockDeviceInfo& disk) const;
    // Gives back what was unmounted after a failed step and says so in the failure's cause.
    StepResult Undo(const StepResult& failure, const std::vector<MountEntry>& unmounted);

    DriveAccess& access_;
    std::string sysRoot_;
    std::string mountInfo_;
    std::string swapsPath_;
};

}  // namespace platform::storage
