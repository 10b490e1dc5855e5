#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/storage/linux/direct_drive_access.h"
#include "platform/storage/linux/linux_block_device.h"
#include "platform/storage/linux/volume_map.h"
#include "platform/storage/storage_services.h"

namespace platform::storage {

// The storage services on real Linux block devices: drive letters from the mount table, disks
// from sysfs, raw unbuffered I/O on /dev nodes.
//
// Physical drive numbers are fixed by the first look at the disks and renewed by each
// GetLogicalDrives (the start of a scan), so a number keeps meaning the same disk between the
// scan and the transfer; a number whose disk has gone or changed media no longer opens.
class LinuxStorage : public StorageServices {
  public:
    // sysRoot and mountInfo are the system's unless a test points them elsewhere.
    explicit LinuxStorage(std::string sysRoot = "/sys",
                          std::string mountInfo = "/proc/self/mountinfo");
    ~LinuxStorage() override;

    uint32_t GetLogicalDrives() override;
    DriveType GetDriveType(const std::string& rootPath) override;
    bool GetDiskFreeSpaceEx(const std::string& rootPath, uint64_t* totalBytes) override;

    // Volumes and root paths open their block device without disturbing the mount (read-only,
    // after a write-permission check, where the kernel refuses to write mounted devices). A
    // physical drive opened with GENERIC_WRITE first has every mounted volume on it unmounted (the
    // open fails when one cannot be, and a write-protected disk or one the caller may not write
    // fails before anything is unmounted) and is then opened exclusively; closing it flushes it and
    // has the kernel re-read its partition table. A physical drive opened for reading only first
    // has its mounted file systems write out what they hold, so that unbuffered reads see it; the
    // open fails when one reports an error. FILE_FLAG_NO_BUFFERING selects O_DIRECT.
    [[nodiscard]] DeviceHandle CreateFile(const std::string& path, uint32_t access,
                                          uint32_t shareMode, uint32_t flags) override;
    [[nodiscard]] FileHandle OpenFile(const std::string& path, const char* mode) override;
    std::string VolumeLetterOfPath(const std::string& path) override;
    std::vector<std::string> PhysicalDrivesOfPath(const std::string& path) override;
    std::string ExplainPathOnDrive(const std::string& path, const std::string& name) override;

    // The block device node ("/dev/sdb") behind a physical drive name ("PHYSICALDRIVE1");
    // empty when the name is unknown.
    std::string DeviceNodeOf(const std::string& physicalDriveName);

    // The physical drive name of a whole-disk node ("/dev/loop3"); empty when it is none.
    std::string PhysicalDriveNameOf(const std::string& deviceNode);

    // The size of the disk numbered by the last scan; false when it has gone.
    bool GetPhysicalDriveLength(const std::string& name, uint64_t* bytes) override;

    // Device, model and volumes of the disk numbered by the last scan; nothing when it has gone.
    std::optional<DriveDescription> DescribePhysicalDrive(const std::string& name) override;

    // The disks numbered by the last scan that are still there, have a medium and are neither RAM
    // disks nor stacked on other disks (device-mapper, md: their volumes count for the disks
    // beneath). A disk the scan cannot file has no mounted volume, or none of its volumes opens:
    // polkit refuses the desktop user, or the open fails. polkit is asked at most once per disk
    // and scan.
    std::vector<DriveDescription> DescribeDisks() override;

  private:
    struct NumberedDisk {
        std::string name;
        dev_t devno = 0;
        uint64_t diskSeq = 0;
    };
    struct Snapshot {
        SysfsBlockTree tree;
        MountTable mounts;
        VolumeMap volumes;
    };
    using MediumKey = std::pair<dev_t, uint64_t>;  // a disk's device number and media sequence

    Snapshot Look() const;
    void NumberDisks(const SysfsBlockTree& tree);
    void EnsureNumbered();
    int DiskNumberOf(const BlockDeviceInfo& disk) const;
    const BlockDeviceInfo* CurrentDisk(const SysfsBlockTree& tree, uint32_t number) const;
    // Why CurrentDisk found nothing: the disk has gone, or holds another medium.
    std::string WhyNotCurrent(const SysfsBlockTree& tree, uint32_t number) const;
    StorageDeviceDescriptor PropertyOf(const BlockDeviceInfo& disk) const;
    // Who does the privileged steps for this process: the process itself when it may open the
    // disk and mount (root); itself for the disk and udisks2 for its volumes when it may only
    // open the disk (the disk group); udisks2 and polkit otherwise.
    DriveAccess& AccessFor(const BlockDeviceInfo& disk);
    DriveAccess& Desktop();
    DriveAccess& DiskGroup();
    // polkit's answer whether udisks2 may open the disk for this process, asked once per scan.
    const StepResult& AskDesktop(const BlockDeviceInfo& disk);
    // Why the disk's first volume did not open for the scan, for a user.
    std::string WhyVolumeDidNotOpen(const VolumeDescription& volume, int error) const;
    DeviceHandle OpenVolume(const Snapshot& snapshot, char letter, int openFlags);
    std::string WhyNotFiled(const Snapshot& snapshot, const BlockDeviceInfo& disk,
                            const std::vector<VolumeDescription>& volumes);
    DeviceHandle OpenPhysicalDrive(const Snapshot& snapshot, uint32_t number, int openFlags);
    DeviceHandle OpenDiskForWriting(const BlockDeviceInfo& disk, int openFlags,
                                    LinuxBlockDevice::Options options);
    DeviceHandle OpenDiskForReading(const BlockDeviceInfo& disk, const Snapshot& snapshot,
                                    int openFlags, LinuxBlockDevice::Options options);
    DeviceHandle Wrap(UniqueFd fd, LinuxBlockDevice::Options options) const;
    static std::string NearestExisting(const std::string& path);
    StepResult WriteOutVolumesOn(const std::string& diskName, const Snapshot& snapshot);
    DeviceHandle OpenNode(const BlockDeviceInfo& device, int openFlags,
                          LinuxBlockDevice::Options options) const;

    std::string sysRoot_;
    std::string mountInfo_;
    bool numbered_ = false;
    std::vector<NumberedDisk> disks_;
    std::unique_ptr<DirectDriveAccess> direct_;
    std::unique_ptr<DriveAccess> desktop_;    // udisks2, made when first needed
    std::unique_ptr<DriveAccess> diskGroup_;  // the process and udisks2, made when first needed
    // polkit's answer per disk whose volumes the process may not open itself, asked once per
    // scan: forgotten when the disks are numbered again.
    std::map<MediumKey, StepResult> desktopAnswers_;
};

}  // namespace platform::storage
