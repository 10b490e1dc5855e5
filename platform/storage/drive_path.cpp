#include "platform/storage/drive_path.h"

#include "platform/storage/storage_types.h"

namespace platform::storage {

namespace {

constexpr char kPhysicalDrive[] = "PHYSICALDRIVE";
constexpr uint32_t kMaxDriveNumber = 9999;

char UpperLetter(char c) {
    if (c >= 'a' && c <= 'z') {
        return static_cast<char>(c - 'a' + 'A');
    }
    return c >= 'A' && c <= 'Z' ? c : 0;
}

}  // namespace

DrivePath DrivePath::Parse(const std::string& path) {
    DrivePath result;
    if (path.size() == 3 && path[1] == ':' && path[2] == '\\' && UpperLetter(path[0])) {
        result.kind = Kind::kRootPath;
        result.letter = UpperLetter(path[0]);
        return result;
    }
    if (path.compare(0, sizeof kDevicePathPrefix - 1, kDevicePathPrefix) != 0) {
        return result;
    }
    const std::string rest = path.substr(sizeof kDevicePathPrefix - 1);
    if (rest.size() == 2 && rest[1] == ':' && UpperLetter(rest[0])) {
        result.kind = Kind::kVolume;
        result.letter = UpperLetter(rest[0]);
        return result;
    }
    if (rest.compare(0, sizeof kPhysicalDrive - 1, kPhysicalDrive) != 0) {
        return result;
    }
    const std::string digits = rest.substr(sizeof kPhysicalDrive - 1);
    if (digits.empty() || (digits.size() > 1 && digits[0] == '0')) {
        return result;
    }
    uint32_t number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9' || number > kMaxDriveNumber) {
            return result;
        }
        number = number * 10 + static_cast<uint32_t>(c - '0');
    }
    result.kind = Kind::kPhysicalDrive;
    result.number = number;
    return result;
}

}  // namespace platform::storage
