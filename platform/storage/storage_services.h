#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/storage/device.h"
#include "platform/storage/drive_description.h"
#include "platform/storage/file_stream.h"
#include "platform/storage/storage_types.h"

namespace platform::storage {

// The storage services the drive inventory and the transfer engine rest on. One real backend
// (Linux block devices) and one simulated backend (tests) implement it.
//
// Paths follow the drive-letter model: a root path is "E:\", a volume device path "\\.\E:",
// a physical drive "\\.\PHYSICALDRIVE1". Image-file paths are ordinary file-system paths.
class StorageServices {
  public:
    virtual ~StorageServices() = default;

    // Bit k set = drive letter 'A' + k is present.
    virtual uint32_t GetLogicalDrives() = 0;

    // The type of the drive with root path "X:\"; DRIVE_NO_ROOT_DIR for an unknown root.
    virtual DriveType GetDriveType(const std::string& rootPath) = 0;

    // Total size in bytes of the file system mounted at rootPath; false on failure.
    virtual bool GetDiskFreeSpaceEx(const std::string& rootPath, uint64_t* totalBytes) = 0;

    // Opens a volume ("\\.\E:", or its root path "E:\") or a physical drive
    // ("\\.\PHYSICALDRIVE1") with the given access, sharing and flags. Returns the invalid
    // (empty) handle on failure.
    [[nodiscard]] virtual DeviceHandle CreateFile(const std::string& path, uint32_t access,
                                                  uint32_t shareMode, uint32_t flags) = 0;

    // Opens an image file with an fopen mode ("w+b", "r+b", "rb"). Null on failure.
    [[nodiscard]] virtual FileHandle OpenFile(const std::string& path, const char* mode) = 0;

    // The drive letter ("E") of the volume that holds the file or folder at path (resolved:
    // links followed, relative paths against the working folder; for a path that does not exist
    // yet, its nearest existing parent). Empty when no lettered volume holds it.
    virtual std::string VolumeLetterOfPath(const std::string& path) = 0;

    // The physical drives ("PHYSICALDRIVE1") that the file or folder at path rests on, resolved
    // as above, followed through partitions, stacked devices, loop devices and multi-device file
    // systems. Empty when none is known.
    virtual std::vector<std::string> PhysicalDrivesOfPath(const std::string& path) = 0;
    // How the file at path comes to rest on the physical drive name, for a user ("/home/op/x.img
    // is on /dev/loop3, a loop device over /media/op/STICK/disk.img, which is on /dev/sdb1, a
    // partition of /dev/sdb"); empty when it does not, or the way is not known.
    virtual std::string ExplainPathOnDrive(const std::string& path, const std::string& name) = 0;
    // The number of bytes the physical drive "PHYSICALDRIVE1" holds (its capacity, not the sum of
    // its volumes); false when no such drive is known.
    virtual bool GetPhysicalDriveLength(const std::string& name, uint64_t* bytes) = 0;
    // What identifies the physical drive "PHYSICALDRIVE1" to a user: its device, model, size and
    // lettered volumes. Nothing when no such drive is known.
    virtual std::optional<DriveDescription> DescribePhysicalDrive(const std::string& name) = 0;
    // Every present whole disk that holds a medium (no RAM disks, no empty devices such as
    // unattached loop devices or card readers without a card), in drive-number order, each with
    // its name and, when the scan cannot file it, why not.
    virtual std::vector<DriveDescription> DescribeDisks() = 0;
};

}  // namespace platform::storage
