#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

// The inventory's records: one LogicalDriveEntry per lettered volume that lies on a physical
// drive, grouped under one PhysicalDriveEntry per physical drive.

struct LogicalDriveEntry {
    std::string letter;         // "E": the drive letter alone, upper case
    int32_t sizeKB = 0;         // file-system size in KB, 0 when unknown
    int32_t busType = 0;        // 7 for a removable volume on a USB bus
    int32_t driveKind = 0;      // 5 removable, 1 fixed
    std::string physicalDrive;  // name of the physical drive that holds the volume
};

struct PhysicalDriveEntry {
    std::string name;  // "PHYSICALDRIVE1", also the key it is filed under
    std::map<std::string, std::unique_ptr<LogicalDriveEntry>> volumes;  // keyed by letter
    int32_t totalKB = 0;     // sum of the volumes' sizeKB, saturating
    std::string volumeList;  // "E:\ F:\ ": each letter followed by ":\ ", in the order added
};

using DriveMap = std::map<std::string, std::unique_ptr<PhysicalDriveEntry>>;
