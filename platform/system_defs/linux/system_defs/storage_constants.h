#pragma once

#include <cstdint>

namespace platform::storage {

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

}  // namespace platform::storage
