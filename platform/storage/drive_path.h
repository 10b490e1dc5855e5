#pragma once

#include <cstdint>
#include <string>

namespace platform::storage {

// A path of the drive-letter model, taken apart.
struct DrivePath {
    enum class Kind { kInvalid, kRootPath, kVolume, kPhysicalDrive };
    Kind kind = Kind::kInvalid;
    char letter = 0;      // kRootPath ("E:\") and kVolume ("\\.\E:"): upper case
    uint32_t number = 0;  // kPhysicalDrive ("\\.\PHYSICALDRIVE3")

    // Parses one of the three forms; anything else (including trailing characters) is kInvalid.
    static DrivePath Parse(const std::string& path);
};

}  // namespace platform::storage
