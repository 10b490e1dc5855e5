#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/storage/linux/mount_table.h"
#include "platform/storage/linux/sysfs_block_tree.h"

namespace platform::storage {

// A lettered volume: a file system mounted from a local block device.
struct Volume {
    char letter = 0;         // 'C' .. 'Z'
    dev_t devno = 0;         // the block device
    std::string deviceName;  // its kernel name, "sdb1"
    std::string mountPoint;  // what the root path "E:\" stands for
};

// Drive letters for the mounted file systems on local block devices: the first mount of each
// device (a mount of its whole file system preferred to a bind mount of a folder of it); the one
// mounted at / gets C, the others D, E, ... in ascending device number, at most up to Z.
class VolumeMap {
  public:
    // Mount entries whose device is not in the tree (tmpfs, proc, network file systems) get no
    // letter. Callers resolve anonymous device numbers (btrfs) to the source device first.
    static VolumeMap Build(const MountTable& mounts, const SysfsBlockTree& tree);

    // Bit k set = letter 'A' + k is present.
    uint32_t LetterMask() const;

    const Volume* ByLetter(char letter) const;
    const Volume* ByDevice(dev_t devno) const;

    // The letter of the volume that holds an absolute, resolved path (through the mount that
    // holds it, bind mounts included); 0 when no lettered volume holds it.
    char LetterOfPath(const std::string& resolvedPath) const;

    const std::vector<Volume>& volumes() const { return volumes_; }

  private:
    MountTable mounts_;
    std::vector<Volume> volumes_;
};

}  // namespace platform::storage
