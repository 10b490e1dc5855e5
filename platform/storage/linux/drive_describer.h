#pragma once

#include <optional>
#include <string>

#include "platform/storage/drive_description.h"
#include "platform/storage/linux/mount_table.h"
#include "platform/storage/linux/sysfs_block_tree.h"
#include "platform/storage/linux/volume_map.h"

namespace platform::storage {

// Describes a disk for a user: vendor and model from sysfs, the transport from its bus, the
// capacity, and per lettered volume the mount point, file-system type and label. Labels (and the
// type of a file system mounted through FUSE) come from udev's database; empty when unknown.
class DriveDescriber {
  public:
    // sysRoot and udevDataRoot are the system's unless a test points them elsewhere.
    explicit DriveDescriber(std::string sysRoot = "/sys",
                            std::string udevDataRoot = "/run/udev/data");

    // The description of disk, a whole disk of tree, with those volumes that lie on it.
    DriveDescription Describe(const BlockDeviceInfo& disk, const SysfsBlockTree& tree,
                              const MountTable& mounts, const VolumeMap& volumes) const;

  private:
    VolumeDescription DescribeVolume(const Volume& volume, const MountTable& mounts) const;

    std::string sysRoot_;
    std::string udevDataRoot_;
};

}  // namespace platform::storage
