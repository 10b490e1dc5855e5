#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/storage/storage_types.h"

namespace platform::storage {

// What a disk is, for the drive type of its volumes.
enum class DiskKind { kOrdinary, kOptical, kRam };

// One block device: a whole disk of /sys/block or one of its partitions.
struct BlockDeviceInfo {
    std::string name;  // kernel name, also its node under /dev: "sda", "sda1", "dm-0"
    dev_t devno = 0;
    bool partition = false;
    std::string parent;               // partitions: the disk that holds them
    std::vector<std::string> slaves;  // disks: the devices they are stacked on, sorted by name
    std::string backingFile;          // loop devices: the file or device they serve
    uint64_t startSector = 0;         // partitions: first 512-byte sector on the disk
    uint64_t sizeSectors = 0;         // size in 512-byte sectors
    // Whole disks only:
    uint64_t diskSeq = 0;  // the kernel's sequence number of this disk's media; 0 when unknown
    bool removable = false;
    bool readOnly = false;  // write-protected (the medium's switch, or set by the kernel)
    uint32_t busType = BusTypeUnknown;
    DiskKind kind = DiskKind::kOrdinary;
};

// A snapshot of the block devices under a sysfs root ("/sys", or a recorded copy for tests).
class SysfsBlockTree {
  public:
    // Reads root/block: every disk, its partitions and its slaves. Missing attributes keep their
    // defaults; an unreadable root gives an empty tree.
    static SysfsBlockTree Load(const std::string& sysRoot);

    const BlockDeviceInfo* Find(dev_t devno) const;
    const BlockDeviceInfo* FindByName(const std::string& name) const;

    // The whole disks, in ascending device number.
    std::vector<const BlockDeviceInfo*> Disks() const;

    // The disk that holds a device: a disk itself, a partition's parent; a stacked device (dm,
    // md, LUKS, LVM) through its first slave, down to a disk with no slaves. Null when unknown.
    const BlockDeviceInfo* UnderlyingDisk(dev_t devno) const;

    // Whether the device lies wholly or partly on the named disk, through any of its slaves.
    bool DependsOn(dev_t devno, const std::string& diskName) const;

  private:
    const BlockDeviceInfo* UnderlyingDisk(const BlockDeviceInfo* device, int depth) const;
    bool DependsOn(const BlockDeviceInfo* device, const std::string& diskName, int depth) const;

    std::vector<BlockDeviceInfo> devices_;
};

// Parses a sysfs "dev" attribute ("8:17"); false when it is malformed.
bool ParseDevNumber(const std::string& text, dev_t* devno);

}  // namespace platform::storage
