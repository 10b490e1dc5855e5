#pragma once

#include <cstdint>

// Values and records exchanged with the storage services. The numeric values are those the
// drive inventory and the transfer engine are written against.
namespace platform::storage {

// What the device paths of volumes ("\\.\E:") and physical drives ("\\.\PHYSICALDRIVE1")
// begin with.
inline constexpr char kDevicePathPrefix[] = "\\\\.\\";

// Drive types of a root path.
enum DriveType : uint32_t {
    DRIVE_UNKNOWN = 0,
    DRIVE_NO_ROOT_DIR = 1,
    DRIVE_REMOVABLE = 2,
    DRIVE_FIXED = 3,
    DRIVE_REMOTE = 4,
    DRIVE_CDROM = 5,
    DRIVE_RAMDISK = 6,
};

// Access rights, sharing modes and flags for OpenDevice.
inline constexpr uint32_t GENERIC_READ = 0x80000000u;
inline constexpr uint32_t GENERIC_WRITE = 0x40000000u;
inline constexpr uint32_t FILE_SHARE_READ = 0x1u;
inline constexpr uint32_t FILE_SHARE_WRITE = 0x2u;
inline constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80u;
inline constexpr uint32_t FILE_FLAG_RANDOM_ACCESS = 0x10000000u;
inline constexpr uint32_t FILE_FLAG_NO_BUFFERING = 0x20000000u;

// Bus types reported by the storage-property query.
enum BusType : uint32_t {
    BusTypeUnknown = 0,
    BusTypeScsi = 1,
    BusTypeAtapi = 2,
    BusTypeAta = 3,
    BusTypeUsb = 7,
    BusTypeSata = 11,
    BusTypeSd = 12,
    BusTypeMmc = 13,
    BusTypeVirtual = 14,
    BusTypeNvme = 17,
};

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
