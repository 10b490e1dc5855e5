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
// disk is opened exclusively and the descriptor checked to be the scanned disk (device number and
// media sequence number). When a step fails, what was unmounted is mounted again as it was.
class DiskClaim {
  public:
    DiskClaim(DriveAccess& access, std::string sysRoot, std::string mountInfo,
              std::string swapsPath = "/proc/swaps");

    // The open descriptor (flags as for open(2); O_EXCL is added), or invalid with errno set.
    UniqueFd Take(const BlockDeviceInfo& disk, int flags);

    // Whether the open descriptor is the disk described: its device number and media sequence
    // number (where the kernel knows one).
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
    bool IsCovered(const Look& look, const std::vector<MountEntry>& own) const;
    bool UnmountAll(const std::vector<MountEntry>& own, std::vector<MountEntry>* unmounted);
    void RemountAll(const std::vector<MountEntry>& own, const std::vector<MountEntry>& unmounted);
    bool StillFree(const BlockDeviceInfo& disk) const;

    DriveAccess& access_;
    std::string sysRoot_;
    std::string mountInfo_;
    std::string swapsPath_;
};

}  // namespace platform::storage
