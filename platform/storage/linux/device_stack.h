#pragma once

#include <sys/types.h>

#include <set>
#include <string>

#include "platform/storage/linux/mount_table.h"
#include "platform/storage/linux/sysfs_block_tree.h"

namespace platform::storage {

// How block devices rest on one another: partitions on disks, device-mapper and md devices on
// their slaves, loop devices on their backing files and devices, btrfs file systems on their
// member devices. Built from one look at sysfs and the mount table.
class DeviceStack {
  public:
    // sysRoot is where btrfs lists its members (sysRoot/fs/btrfs); swapsPath lists swap areas.
    DeviceStack(const SysfsBlockTree& tree, const MountTable& mounts, std::string sysRoot,
                std::string swapsPath = "/proc/swaps");

    // The whole disks (kernel names) under the file system of a file whose st_dev is devno,
    // followed down every path. Empty when the device is unknown (a network or memory file system).
    std::set<std::string> DisksBeneath(dev_t devno) const;

    // The whole disks under the file or device at path (a device node: the device itself; a file
    // or folder: the file system that holds it). Empty when path cannot be examined.
    std::set<std::string> DisksBeneathPath(const std::string& path) const;

    // How the file or device at path rests on the disk, step by step from the device that holds
    // it: "/dev/loop3, a loop device over /a/disk.img, which is on /dev/sdb1, a partition of
    // /dev/sdb". Empty when it does not.
    std::string WayToDisk(const std::string& path, const std::string& diskName) const;

    // Something other than a mount that uses the disk or one of its partitions: a device stacked
    // on it (a sysfs holder), a loop device over it or over a file on it, a swap area on it.
    // Describes the first one found, for a user ("/dev/loop4, a loop device over /a/b.img", "the
    // swap area /dev/sdb2"); empty when nothing does.
    std::string UserOf(const BlockDeviceInfo& disk) const;

  private:
    void CollectDisks(const BlockDeviceInfo* device, int depth, std::set<std::string>* disks) const;
    void CollectFileSystem(dev_t devno, int depth, std::set<std::string>* disks) const;
    void CollectPath(const std::string& path, int depth, std::set<std::string>* disks) const;
    std::set<std::string> BtrfsMembers(const MountEntry& mount) const;
    bool OnDisk(const std::string& path, const std::string& diskName) const;
    std::string PathWay(const std::string& path, const std::string& diskName, int depth) const;
    std::string FileSystemWay(dev_t devno, const std::string& diskName, int depth) const;
    std::string DeviceWay(const BlockDeviceInfo* device, const std::string& diskName,
                          int depth) const;

    const SysfsBlockTree& tree_;
    const MountTable& mounts_;
    std::string sysRoot_;
    std::string swapsPath_;
};

// Gives file systems mounted with an anonymous device number (btrfs) the number of the block
// device they were mounted from.
void ResolveAnonymousDevices(MountTable& mounts, const SysfsBlockTree& tree);

}  // namespace platform::storage
