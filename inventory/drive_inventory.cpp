// The inventory half of DiskImager: one scan of all drive letters into owned records.
#include <limits>
#include <vector>

#include "platform/storage/drive_names.h"
#include "transfer/disk_imager.h"

using namespace platform::storage;

namespace {

constexpr int32_t kDriveKindRemovable = 5;
constexpr int32_t kDriveKindFixed = 1;
constexpr uint32_t kBusProbeBufferSize = 551;

// Signed 32-bit KB counts saturate instead of wrapping, so a huge drive never looks small.
int32_t SaturatingAdd(int32_t a, int32_t b) {
    const int64_t sum = static_cast<int64_t>(a) + b;
    if (sum > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (sum < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(sum);
}

}  // namespace

void DiskImager::ScanDrives() {
    ClearDrives();
    const uint32_t mask = storage.GetLogicalDrives();
    for (int k = 0; k < 32; ++k) {
        if ((mask >> k) & 1u) {
            ScanLetter(static_cast<char>('A' + k));
        }
    }
}

void DiskImager::ScanLetter(char letter) {
    const std::string text(1, letter);
    const std::string physicalDrive = VolumeToPhysicalDrive(text);
    if (physicalDrive.empty()) {
        return;
    }
    const std::string rootPath = platform::storage::RootPath(letter);

    LogicalDriveEntry record;
    record.letter = text;
    record.sizeKB = VolumeSizeKB(rootPath);
    switch (storage.GetDriveType(rootPath)) {
        case DRIVE_REMOVABLE: {
            record.driveKind = kDriveKindRemovable;
            DeviceHandle volume =
                storage.CreateFile(rootPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 0);
            if (volume) {
                StorageDeviceDescriptor descriptor;
                descriptor.Size = kBusProbeBufferSize;
                if (QueryBusType(volume, &descriptor) && descriptor.BusType == BusTypeUsb) {
                    record.busType = BusTypeUsb;
                }
            }
            break;
        }
        case DRIVE_FIXED:
            record.driveKind = kDriveKindFixed;
            break;
        default:
            break;
    }
    record.physicalDrive = physicalDrive;
    AddVolume(record, physicalDrive);
}

std::string DiskImager::VolumeToPhysicalDrive(const std::string& letter) {
    if (letter.empty()) {
        return "";
    }
    DeviceHandle volume = storage.CreateFile(
        platform::storage::VolumePath(letter.at(0)), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_ATTRIBUTE_NORMAL);
    if (!volume) {
        return "";
    }
    std::vector<DiskExtent> extents;
    if (!volume->GetVolumeDiskExtents(&extents) || extents.empty()) {
        return "";
    }
    return platform::storage::PhysicalDriveName(extents.front().DiskNumber);
}

int32_t DiskImager::VolumeSizeKB(const std::string& rootPath) {
    uint64_t totalBytes = 0;
    if (!storage.GetDiskFreeSpaceEx(rootPath, &totalBytes)) {
        return 0;
    }
    const uint64_t kb = totalBytes >> 10;
    if (kb > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(kb);
}

bool DiskImager::QueryBusType(const DeviceHandle& volume, StorageDeviceDescriptor* descriptor) {
    return volume && volume->QueryStorageDeviceProperty(descriptor);
}

void DiskImager::AddVolume(LogicalDriveEntry record, const std::string& physicalDriveName) {
    auto volume = std::make_unique<LogicalDriveEntry>(record);
    std::unique_ptr<PhysicalDriveEntry>& entry = drives[physicalDriveName];
    if (!entry) {
        entry = std::make_unique<PhysicalDriveEntry>();
        entry->name = physicalDriveName;
    }
    entry->totalKB = SaturatingAdd(entry->totalKB, volume->sizeKB);
    entry->volumeList += volume->letter + ":\\ ";
    entry->volumes[volume->letter] = std::move(volume);
}

void DiskImager::ClearDrives() {
    for (auto& [name, entry] : drives) {
        entry->volumes.clear();
    }
    drives.clear();
}

PhysicalDriveEntry* DiskImager::FindPhysicalDrive(const std::string& name) const {
    if (name.empty()) {
        return nullptr;
    }
    const auto found = drives.find(name);
    return found == drives.end() ? nullptr : found->second.get();
}

int32_t DiskImager::PhysicalDriveCount() const {
    return static_cast<int32_t>(drives.size());
}

std::optional<platform::storage::DriveDescription> DiskImager::DescribePhysicalDrive(
    const std::string& name) {
    return storage.DescribePhysicalDrive(name);
}

std::vector<platform::storage::DriveDescription> DiskImager::DescribeDisks() {
    return storage.DescribeDisks();
}
