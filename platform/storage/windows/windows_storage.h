#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/storage/storage_services.h"
#include "platform/storage/windows/device_queries.h"
#include "platform/storage/windows/win32_calls.h"
#include "platform/storage/windows/win32_handle.h"

namespace platform::storage {

// The storage services on Windows: drive letters, volume extents and storage properties from
// kernel32, raw unbuffered overlapped I/O on "\\.\E:" and "\\.\PHYSICALDRIVE<n>". Every system
// call goes through calls.
//
// Each GetLogicalDrives (the start of a scan) notes what every disk under a lettered volume is
// (its length and identity); a physical drive is opened for writing only when it is still that
// disk, is not write-protected, and every lettered volume on it could be locked and dismounted.
class WindowsStorage : public StorageServices {
  public:
    explicit WindowsStorage(Win32Calls& calls) : calls_(calls) {}

    uint32_t GetLogicalDrives() override;
    DriveType GetDriveType(const std::string& rootPath) override;
    bool GetDiskFreeSpaceEx(const std::string& rootPath, uint64_t* totalBytes) override;

    // Volumes and root paths open "\\.\E:" for queries and reads only, never for writing. A
    // physical drive opens for reading as asked; for writing as described above, unbuffered and
    // written through.
    [[nodiscard]] DeviceHandle CreateFile(const std::string& path, uint32_t access,
                                          uint32_t shareMode, uint32_t flags) override;
    [[nodiscard]] FileHandle OpenFile(const std::string& path, const char* mode) override;

    std::string VolumeLetterOfPath(const std::string& path) override;
    std::vector<std::string> PhysicalDrivesOfPath(const std::string& path) override;
    std::string ExplainPathOnDrive(const std::string& path, const std::string& name) override;
    bool GetPhysicalDriveLength(const std::string& name, uint64_t* bytes) override;
    std::optional<DriveDescription> DescribePhysicalDrive(const std::string& name) override;
    // Every disk under a lettered volume, and every further disk PHYSICALDRIVE0 ... that opens.
    std::vector<DriveDescription> DescribeDisks() override;

  private:
    // What the last scan saw of a disk.
    struct ScannedDisk {
        std::optional<uint64_t> length;
        std::optional<DiskIdentity> identity;
    };

    // A handle for device controls only (no data access), or an invalid one.
    Win32Handle OpenForQueries(const std::string& devicePath);
    // The disks the lettered volume rests on, in extent order; empty when unknown.
    std::vector<uint32_t> DisksOfLetter(char letter);
    std::vector<uint32_t> DisksOfVolume(const std::string& devicePath);
    // The disks that hold the files of the virtual disks the lettered volume rests on.
    std::vector<uint32_t> DisksUnderVirtualDisks(char letter);
    // The present letters whose volumes rest on disk number, in letter order.
    std::vector<char> LettersOnDisk(uint32_t number);
    ScannedDisk LookAtDisk(uint32_t number);
    DeviceHandle OpenVolume(char letter, uint32_t flags);
    DeviceHandle OpenPhysicalDrive(uint32_t number, bool write, uint32_t flags);
    // Why the disk just opened for writing must not be written; empty when it may.
    std::string WhyNotWritable(uint32_t number, HANDLE disk);

    Win32Calls& calls_;
    std::map<uint32_t, ScannedDisk> scanned_;
};

}  // namespace platform::storage
