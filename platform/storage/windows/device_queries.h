#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/storage/storage_types.h"
#include "platform/storage/windows/win32_calls.h"

// The device controls that tell what a volume or disk handle stands for.
namespace platform::storage {

// What a disk says of itself through the storage-property query.
struct DiskIdentity {
    StorageDeviceDescriptor property;  // removable media, bus type
    std::string vendor;
    std::string product;
    std::string serial;

    bool operator==(const DiskIdentity& other) const;
};

// The disk extents a volume occupies, in order; false when the system does not tell.
bool QueryVolumeDiskExtents(Win32Calls& calls, HANDLE volume, std::vector<DiskExtent>* extents);
std::optional<DiskIdentity> QueryDiskIdentity(Win32Calls& calls, HANDLE device);
// The length in bytes of the disk or volume.
std::optional<uint64_t> QueryLength(Win32Calls& calls, HANDLE device);
// The number of the disk a disk handle opened (PHYSICALDRIVE<number>).
std::optional<uint32_t> QueryDiskNumber(Win32Calls& calls, HANDLE disk);
// The volumes that hold the files of the virtual disks beneath a volume, at every level, as
// device paths to open ("\\?\Volume{...}" or "\\.\E:"); empty for a volume of a real disk,
// or where the system does not tell.
std::vector<std::string> QueryHostVolumes(Win32Calls& calls, HANDLE volume);
// The disk's logical sector size; 512 when the system does not tell.
uint32_t QuerySectorSize(Win32Calls& calls, HANDLE disk);

// How the bus type reads for a user ("USB", "SD card").
std::string BusTypeText(uint32_t busType);

}  // namespace platform::storage
