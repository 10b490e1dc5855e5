#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the system tells a user about a physical drive and its lettered volumes, so that the
// drive can be recognised before it is written. Texts are empty when unknown.
namespace platform::storage {

struct VolumeDescription {
    std::string letter;      // "E"
    std::string mountPoint;  // what the root path "E:\" stands for
    std::string fileSystem;  // "vfat", "ext4"
    std::string label;
    uint64_t sizeBytes = 0;  // the file system's total size (what a scan counts); 0 when unknown
};

struct DriveDescription {
    std::string name;        // "PHYSICALDRIVE3": the drive number the scan files the disk under
    std::string deviceNode;  // "/dev/sdb"
    std::string vendor;
    std::string model;
    std::string transport;  // "USB", "SD/MMC", "SATA", ...
    uint64_t capacityBytes = 0;
    std::vector<VolumeDescription> volumes;  // the drive's lettered volumes, in letter order
    // Why the scan cannot file the disk ("it has no mounted volume"), as a clause that follows the
    // disk's name; empty when it can. Only DescribeDisks fills it in.
    std::string whyNotOffered;
};

}  // namespace platform::storage
