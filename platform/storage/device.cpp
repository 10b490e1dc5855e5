#include "platform/storage/device.h"

namespace platform::storage {

bool ReadFile(const DeviceHandle& handle, void* buffer, uint32_t size, uint32_t* bytesRead) {
    *bytesRead = 0;
    return handle && handle->Read(buffer, size, bytesRead);
}

bool WriteFile(const DeviceHandle& handle, const void* buffer, uint32_t size,
               uint32_t* bytesWritten) {
    *bytesWritten = 0;
    return handle && handle->Write(buffer, size, bytesWritten);
}

bool FlushFileBuffers(const DeviceHandle& handle) {
    return handle && handle->Flush();
}

bool SetFilePointer(const DeviceHandle& handle, uint64_t offset) {
    return handle && handle->Seek(offset);
}

bool CloseHandle(DeviceHandle& handle) {
    if (!handle) {
        return false;
    }
    const bool closed = handle->Close();
    handle.reset();
    return closed;
}

bool AnswerStorageProperty(const StorageDeviceDescriptor& known,
                           StorageDeviceDescriptor* descriptor) {
    if (descriptor->Size < kStorageDescriptorMinSize) {
        return false;
    }
    const uint32_t size = descriptor->Size;
    *descriptor = known;
    descriptor->Version = kStorageDescriptorMinSize;
    descriptor->Size = size;
    return true;
}

}  // namespace platform::storage
