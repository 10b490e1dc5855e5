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
    return AnswerStorageProperty(property_, descriptor);
}

}  // namespace platform::storage
