#pragma once

#include "platform/storage/storage_services.h"

namespace platform::storage {

// Storage services of a system whose drives this build does not reach yet: no drive letter, no
// disk, every open refused with a failure cause that says so. The target list stays empty and
// its tooltip tells why.
class UnavailableStorage final : public StorageServices {
  public:
    uint32_t GetLogicalDrives() override { return 0; }
    DriveType GetDriveType(const std::string&) override { return DRIVE_NO_ROOT_DIR; }
    bool GetDiskFreeSpaceEx(const std::string&, uint64_t*) override;
    [[nodiscard]] DeviceHandle CreateFile(const std::string&, uint32_t, uint32_t,
                                          uint32_t) override;
    [[nodiscard]] FileHandle OpenFile(const std::string&, const char*) override;
    std::string VolumeLetterOfPath(const std::string&) override { return {}; }
    std::vector<std::string> PhysicalDrivesOfPath(const std::string&) override { return {}; }
    std::string ExplainPathOnDrive(const std::string&, const std::string&) override { return {}; }
    bool GetPhysicalDriveLength(const std::string&, uint64_t*) override { return false; }
    std::optional<DriveDescription> DescribePhysicalDrive(const std::string&) override {
        return std::nullopt;
    }
    // One entry that says why no disk is offered.
    std::vector<DriveDescription> DescribeDisks() override;
};

// Why nothing is reached, as the failure cause and the target list's tooltip give it.
extern const char kStorageUnavailableText[];

}  // namespace platform::storage
