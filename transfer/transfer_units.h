#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/storage/storage_types.h"

// The units the transfers count in: 2048-byte blocks of four 512-byte sectors, progress in
// thousandths, sizes in KB up to 2 GB.
inline constexpr uint32_t kBlockSize = 2048;
inline constexpr uint32_t kSectorsPerBlock = 4;
inline constexpr uint32_t kProgressRange = 1000;
inline constexpr uint32_t kProgressPerBlock = kSectorsPerBlock * kProgressRange;
// The largest size the engine accepts, in KB (2 GB), and in bytes.
inline constexpr int32_t kMaxImageKB = 0x200000;
inline constexpr uint64_t kMaxImageBytes = uint64_t{kMaxImageKB} << 10;
// Unbuffered, random access: how both transfers open the drive. (The flags are the system's own
// macros on Windows and ours in platform::storage elsewhere.)
inline constexpr uint32_t kDeviceFlags = [] {
    using namespace platform::storage;
    return uint32_t{FILE_FLAG_NO_BUFFERING | FILE_FLAG_RANDOM_ACCESS};
}();

inline bool SizeOutOfRange(int32_t sizeKB) {
    return sizeKB > kMaxImageKB || sizeKB < 2;
}

// The physical drive name of a device path: "PHYSICALDRIVE1" of "\\.\PHYSICALDRIVE1".
inline std::string DriveNameOf(const std::string& devicePath) {
    const size_t prefix = std::strlen(platform::storage::kDevicePathPrefix);
    return devicePath.substr(std::min(devicePath.size(), prefix));
}
