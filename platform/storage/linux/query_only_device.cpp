#include "platform/storage/linux/query_only_device.h"

#include <cerrno>

namespace platform::storage {

bool QueryOnlyDevice::Read(void*, uint32_t, uint32_t* bytesRead) {
    *bytesRead = 0;
    errno = EACCES;
    return false;
}

bool QueryOnlyDevice::Write(const void*, uint32_t, uint32_t* bytesWritten) {
    *bytesWritten = 0;
    errno = EACCES;
    return false;
}

bool QueryOnlyDevice::GetVolumeDiskExtents(std::vector<DiskExtent>* extents) {
    if (extents_.empty()) {
        return false;
    }
    *extents = extents_;
    return true;
}

bool QueryOnlyDevice::QueryStorageDeviceProperty(StorageDeviceDescriptor* descriptor) {
    if (descriptor->Size < kStorageDescriptorMinSize) {
        return false;
    }
    const uint32_t size = descriptor->Size;
    *descriptor = property_;
    descriptor->Version = kStorageDescriptorMinSize;
    descriptor->Size = size;
    return true;
}

}  // namespace platform::storage
