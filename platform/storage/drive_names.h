#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The names and paths of the drive-letter model, built and read in one place for every backend.
namespace platform::storage {

// "PHYSICALDRIVE3": the name a physical drive is known by.
std::string PhysicalDriveName(uint32_t number);
// The number of a physical drive name ("PHYSICALDRIVE3" -> 3); nothing for anything else.
std::optional<uint32_t> PhysicalDriveNumber(const std::string& name);
// "\\.\PHYSICALDRIVE3": the device path that opens it.
std::string PhysicalDrivePath(uint32_t number);
// "\\.\E:": the device path of the volume with that letter.
std::string VolumePath(char letter);
// "E:\": the root path of the volume with that letter.
std::string RootPath(char letter);

}  // namespace platform::storage
