#pragma once

#include <cstdint>

// DriveType and its DRIVE_ values, access rights, sharing modes and flags, the bus types: the
// system's own on Windows, ours elsewhere.
#include "system_defs/storage_constants.h"

// Values and records exchanged with the storage services. The numeric values are those the
// drive inventory and the transfer engine are written against.
namespace platform::storage {

// What the device paths of volumes ("\\.\E:") and physical drives ("\\.\PHYSICALDRIVE1")
// begin with.
inline constexpr char kDevicePathPrefix[] = "\\\\.\\";

// One contiguous piece of a volume on a disk.
struct DiskExtent {
    uint32_t DiskNumber = 0;
    int64_t StartingOffset = 0;
    int64_t ExtentLength = 0;
};

// The answer of the storage-property query. The caller presets Size with the length of the
// buffer it offers; the query fails when Size is too small to hold the fixed part.
struct StorageDeviceDescriptor {
    uint32_t Version = 0;
    uint32_t Size = 0;
    bool RemovableMedia = false;
    uint32_t BusType = BusTypeUnknown;
};

// The smallest Size a descriptor buffer may announce.
inline constexpr uint32_t kStorageDescriptorMinSize = 40;

}  // namespace platform::storage
