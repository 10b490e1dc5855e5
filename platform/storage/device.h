#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/storage/storage_types.h"

namespace platform::storage {

// An open volume or physical drive. Closing happens in the destructor; Close() may be called
// first to learn whether the close (which, for a written drive, includes making the data durable)
// succeeded. Every operation reports failure through its result; none throws.
class Device {
  public:
    virtual ~Device() = default;

    // Reads up to size bytes at the current position. True on success, with *bytesRead set
    // (0 at the end of the device).
    virtual bool Read(void* buffer, uint32_t size, uint32_t* bytesRead) = 0;

    // Writes size bytes at the current position. True on success, with *bytesWritten set.
    // A size that is not a multiple of the sector size is allowed: the rest of the last sector
    // keeps its old content.
    virtual bool Write(const void* buffer, uint32_t size, uint32_t* bytesWritten) = 0;

    // Moves the current position to offset from the start. False when the device has no
    // position (a query-only handle) or offset lies beyond its end.
    virtual bool Seek(uint64_t offset) = 0;

    // Makes everything written so far durable on the medium. False when that failed.
    virtual bool Flush() = 0;

    // Closes the device. False when something could not be completed; later calls return true.
    virtual bool Close() = 0;

    // After a successful Close: what closing did that the user should know of, in plain words
    // (a drive's new partitions that the system could not learn of yet; volumes mounted again
    // after a drive was opened for writing and never written); empty when nothing.
    virtual std::string CloseNote() const { return {}; }

    // Volume devices: the disk extents the volume occupies, in order. False when unknown.
    virtual bool GetVolumeDiskExtents(std::vector<DiskExtent>* extents) = 0;

    // The storage-device property of the device behind this handle. The caller presets
    // descriptor->Size; false when the query failed.
    virtual bool QueryStorageDeviceProperty(StorageDeviceDescriptor* descriptor) = 0;
};

// An owned open device; empty when the open failed (the invalid handle).
using DeviceHandle = std::unique_ptr<Device>;

// Free-function forms that accept the invalid handle and then fail, so callers can use a handle
// without testing it first, as the transfer engine does.
bool ReadFile(const DeviceHandle& handle, void* buffer, uint32_t size, uint32_t* bytesRead);
bool WriteFile(const DeviceHandle& handle, const void* buffer, uint32_t size,
               uint32_t* bytesWritten);
bool FlushFileBuffers(const DeviceHandle& handle);
// Moves the handle's position to offset bytes from the start of the device.
bool SetFilePointer(const DeviceHandle& handle, uint64_t offset);
// Closes and releases the handle; false when the close failed or the handle was invalid.
bool CloseHandle(DeviceHandle& handle);

// Answers a storage-property query with a known property: false when the caller's preset Size
// is too small, otherwise the property with the caller's Size kept.
bool AnswerStorageProperty(const StorageDeviceDescriptor& known,
                           StorageDeviceDescriptor* descriptor);

}  // namespace platform::storage
