#pragma once

#include <map>
#include <string>

#include "platform/storage/simulated/simulated_media.h"
#include "platform/storage/storage_services.h"

namespace platform::storage::simulated {

// Storage services over drives, volumes and image files held in memory, for tests. Tests plant
// media and faults, run the code under test, then inspect the media and their counters.
class SimulatedStorage : public StorageServices {
  public:
    // Plants a physical drive of the given size (reading as zeros) as PHYSICALDRIVE<number>.
    SimulatedDisk& AddDisk(uint32_t number, uint64_t sizeBytes);
    // Plants a lettered volume; configure it through the returned record.
    SimulatedVolume& AddVolume(char letter, std::optional<uint32_t> diskNumber,
                               DriveType type = DRIVE_FIXED, uint64_t totalBytes = 0);
    // Plants an image file with the given content.
    SimulatedFile& AddFile(const std::string& path, std::vector<uint8_t> bytes);

    // What DescribePhysicalDrive tells of PHYSICALDRIVE<number>; undescribed drives give nothing.
    // DescribeDisks lists the described drives, with the reason set here (none by default).
    void SetDescription(uint32_t number, DriveDescription description);
    void SetWhyNotOffered(uint32_t number, std::string reason);

    SimulatedDisk* Disk(uint32_t number);
    SimulatedVolume* Volume(char letter);
    SimulatedFile* File(const std::string& path);

    // Opens of devices and files of any kind, successful or not.
    int deviceOpenAttempts = 0;
    int fileOpenAttempts = 0;

    uint32_t GetLogicalDrives() override;
    DriveType GetDriveType(const std::string& rootPath) override;
    bool GetDiskFreeSpaceEx(const std::string& rootPath, uint64_t* totalBytes) override;
    [[nodiscard]] DeviceHandle CreateFile(const std::string& path, uint32_t access,
                                          uint32_t shareMode, uint32_t flags) override;
    [[nodiscard]] FileHandle OpenFile(const std::string& path, const char* mode) override;
    std::string VolumeLetterOfPath(const std::string& path) override;
    // The disks of the volume that holds the path: its first and its further extents.
    std::vector<std::string> PhysicalDrivesOfPath(const std::string& path) override;
    std::string ExplainPathOnDrive(const std::string& path, const std::string& name) override;
    bool GetPhysicalDriveLength(const std::string& name, uint64_t* bytes) override;
    std::optional<DriveDescription> DescribePhysicalDrive(const std::string& name) override;
    std::vector<DriveDescription> DescribeDisks() override;

  private:
    SimulatedVolume* VolumeOfRoot(const std::string& rootPath, char* letter);
    DeviceHandle OpenVolume(char letter, bool forProbe);
    DeviceHandle OpenDisk(const std::string& number, uint32_t access);

    std::map<uint32_t, SimulatedDisk> disks_;
    std::map<char, SimulatedVolume> volumes_;
    std::map<std::string, SimulatedFile> files_;
    std::map<uint32_t, DriveDescription> descriptions_;
    std::map<uint32_t, std::string> reasons_;
};

}  // namespace platform::storage::simulated
