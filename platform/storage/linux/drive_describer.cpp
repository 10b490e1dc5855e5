#include "platform/storage/linux/drive_describer.h"

#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>

namespace platform::storage {

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kSectorBytes = 512;

// The first line of a sysfs attribute without the blanks that pad vendor and model fields.
std::string ReadTrimmed(const fs::path& file) {
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Undoes udev's "\x20" escapes of the *_ENC properties.
std::string DecodeUdev(const std::string& text) {
    std::string decoded;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            HexDigit(text[i + 2]) >= 0 && HexDigit(text[i + 3]) >= 0) {
            decoded += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
            i += 3;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

// The value of property key in udev's record of device devno ("E:ID_FS_LABEL=..." lines of
// <root>/b<major>:<minor>); empty when there is none.
std::string UdevProperty(const std::string& udevDataRoot, dev_t devno, const std::string& key) {
    const fs::path record = fs::path(udevDataRoot) / ("b" + std::to_string(major(devno)) + ":" +
                                                      std::to_string(minor(devno)));
    std::ifstream in(record);
    const std::string prefix = "E:" + key + "=";
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            return line.substr(prefix.size());
        }
    }
    return "";
}

std::string TransportName(uint32_t busType) {
    switch (busType) {
        case BusTypeUsb:
            return "USB";
        case BusTypeSd:
        case BusTypeMmc:
            return "SD/MMC";
        case BusTypeSata:
            return "SATA";
        case BusTypeNvme:
            return "NVMe";
        case BusTypeScsi:
            return "SCSI";
        case BusTypeVirtual:
            return "virtual";
        default:
            return "";
    }
}

}  // namespace

DriveDescriber::DriveDescriber(std::string sysRoot, std::string udevDataRoot)
    : sysRoot_(std::move(sysRoot)), udevDataRoot_(std::move(udevDataRoot)) {}

DriveDescription DriveDescriber::Describe(const BlockDeviceInfo& disk, const SysfsBlockTree& tree,
                                          const MountTable& mounts,
                                          const VolumeMap& volumes) const {
    DriveDescription description;
    description.deviceNode = "/dev/" + disk.name;
    const fs::path device = fs::path(sysRoot_) / "block" / disk.name / "device";
    description.vendor = ReadTrimmed(device / "vendor");
    description.model = ReadTrimmed(device / "model");
    if (description.model.empty()) {
        description.model = ReadTrimmed(device / "name");  // SD and MMC cards
    }
    description.transport = TransportName(disk.busType);
    description.capacityBytes = disk.sizeSectors * kSectorBytes;
    for (const Volume& volume : volumes.volumes()) {
        const BlockDeviceInfo* holder = tree.UnderlyingDisk(volume.devno);
        if (holder != nullptr && holder->name == disk.name) {
            description.volumes.push_back(DescribeVolume(volume, mounts));
        }
    }
    return description;
}

VolumeDescription DriveDescriber::DescribeVolume(const Volume& volume,
                                                 const MountTable& mounts) const {
    VolumeDescription description;
    description.letter = std::string(1, volume.letter);
    description.mountPoint = volume.mountPoint;
    for (const MountEntry& entry : mounts.entries()) {
        if (entry.target == volume.mountPoint && entry.devno == volume.devno) {
            description.fileSystem = entry.fsType;
        }
    }
    // A file system served through FUSE names only the transport; udev's probe knows the type.
    if (description.fileSystem.empty() || description.fileSystem == "fuseblk") {
        description.fileSystem = UdevProperty(udevDataRoot_, volume.devno, "ID_FS_TYPE");
    }
    struct statvfs stats {};
    if (::statvfs(volume.mountPoint.c_str(), &stats) == 0) {
        description.sizeBytes = static_cast<uint64_t>(stats.f_blocks) * stats.f_frsize;
    }
    description.label = DecodeUdev(UdevProperty(udevDataRoot_, volume.devno, "ID_FS_LABEL_ENC"));
    if (description.label.empty()) {
        description.label = UdevProperty(udevDataRoot_, volume.devno, "ID_FS_LABEL");
    }
    return description;
}

}  // namespace platform::storage
