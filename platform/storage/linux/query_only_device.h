#pragma once

#include <vector>

#include "platform/storage/device.h"

namespace platform::storage {

// A volume handle for a process that may not open the volume's node itself (a desktop user for
// whom udisks2 and polkit open disks): it answers the queries of the drive scan from what sysfs
// told, and every read, write and flush fails.
class QueryOnlyDevice : public Device {
  public:
    QueryOnlyDevice(std::vector<DiskExtent> extents, StorageDeviceDescriptor property)
        : extents_(std::move(extents)), property_(property) {}

    bool Read(void*, uint32_t, uint32_t* bytesRead) override;
    bool Write(const void*, uint32_t, uint32_t* bytesWritten) override;
    bool Seek(uint64_t) override { return false; }
    bool Flush() override { return false; }
    bool Close() override { return true; }
    bool GetVolumeDiskExtents(std::vector<DiskExtent>* extents) override;
    bool QueryStorageDeviceProperty(StorageDeviceDescriptor* descriptor) override;

  private:
    std::vector<DiskExtent> extents_;
    StorageDeviceDescriptor property_;
};

}  // namespace platform::storage
