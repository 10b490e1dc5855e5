#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "inventory/drive_entries.h"
#include "platform/storage/storage_services.h"
#include "transfer/transfer_end.h"
#include "transfer/transfer_units.h"

// The drive inventory and the copy engine between physical drives and image files. It knows no
// window: it reports through the four virtual operations and learns of a Stop only through
// abortRequested, which it reads before each 2048-byte block.
class DiskImager {
  public:
    explicit DiskImager(platform::storage::StorageServices& storage);
    virtual ~DiskImager();

    DiskImager(const DiskImager&) = delete;
    DiskImager& operator=(const DiskImager&) = delete;

    // Reporting operations, in slot order. The defaults do nothing.
    virtual void ReportError(std::string text);
    virtual void ReportMessage(std::string text);
    virtual bool SetProgressRange(int32_t upper);
    virtual bool SetProgressPos(int32_t pos);

    // Inventory.
    void ScanDrives();
    std::string VolumeToPhysicalDrive(const std::string& letter);
    int32_t VolumeSizeKB(const std::string& rootPath);
    bool QueryBusType(const platform::storage::DeviceHandle& volume,
                      platform::storage::StorageDeviceDescriptor* descriptor);
    void AddVolume(LogicalDriveEntry record, const std::string& physicalDriveName);
    void ClearDrives();
    PhysicalDriveEntry* FindPhysicalDrive(const std::string& name) const;
    int32_t PhysicalDriveCount() const;
    // What the storage tells a user about the physical drive name ("PHYSICALDRIVE1").
    std::optional<platform::storage::DriveDescription> DescribePhysicalDrive(
        const std::string& name);
    // What the storage tells of every present disk, and why the scan could not file those it left
    // out.
    std::vector<platform::storage::DriveDescription> DescribeDisks();

    // Transfers. True when the copy ran to its end or was stopped; false when refused or ended
    // by an I/O error. Everything the operator must know goes out through one report.
    bool CreateImage(std::string devicePath, std::string imagePath, int32_t sizeKB);
    // sizeKB (the drive's volumes) must lie in the size window; the image must fit the drive
    // itself and 2 GB, and is written whole or the restore fails.
    bool RestoreImage(std::string imagePath, std::string devicePath, int32_t sizeKB);
    bool IsOnPhysicalDrive(const std::string& letter, const std::string& devicePath);
    // Whether the file or folder at path lies on the physical drive at devicePath, through its
    // volume's letter or through any device it rests on.
    bool RestsOnPhysicalDrive(const std::string& path, const std::string& devicePath);
    void PumpOneMessage();

    DriveMap drives;
    bool abortRequested = false;
    // While a report is being made: what lies behind it, in plain words (the cause of an error:
    // the busy mount and who holds it, the offset of a failed write, ...); empty when nothing
    // more is known.
    std::string reportDetail;

  protected:
    platform::storage::StorageServices& storage;

  private:
    friend class RestoreRun;
    friend class CreateRun;

    void ScanLetter(char letter);
    // Makes the transfer's one report, with its detail beside it, and gives its result.
    bool Report(const TransferEnd& end);
    // Why the file at path is refused as lying on the drive, for a user.
    std::string WhyOnPhysicalDrive(const std::string& path, const std::string& devicePath);
};
