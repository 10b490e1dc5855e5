#include "platform/storage/drive_names.h"

#include "platform/storage/drive_path.h"
#include "platform/storage/storage_types.h"

namespace platform::storage {

std::string PhysicalDriveName(uint32_t number) {
    return "PHYSICALDRIVE" + std::to_string(number);
}

std::optional<uint32_t> PhysicalDriveNumber(const std::string& name) {
    const DrivePath drive = DrivePath::Parse(kDevicePathPrefix + name);
    if (drive.kind != DrivePath::Kind::kPhysicalDrive) {
        return std::nullopt;
    }
    return drive.number;
}

std::string PhysicalDrivePath(uint32_t number) {
    return kDevicePathPrefix + PhysicalDriveName(number);
}

std::string VolumePath(char letter) {
    return kDevicePathPrefix + std::string(1, letter) + ":";
}

std::string RootPath(char letter) {
    return std::string(1, letter) + ":\\";
}

}  // namespace platform::storage
