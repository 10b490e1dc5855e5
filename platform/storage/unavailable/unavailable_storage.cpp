#include "platform/storage/unavailable/unavailable_storage.h"

#include "platform/storage/failure_cause.h"

namespace platform::storage {

const char kStorageUnavailableText[] =
    "this version of the program for Windows does not read or write drives yet";

bool UnavailableStorage::GetDiskFreeSpaceEx(const std::string&, uint64_t*) {
    SetFailureCause(std::string("Drives: ") + kStorageUnavailableText + ".");
    return false;
}

DeviceHandle UnavailableStorage::CreateFile(const std::string& path, uint32_t, uint32_t, uint32_t) {
    SetFailureCause(path + " was not opened: " + kStorageUnavailableText + ".");
    return nullptr;
}

FileHandle UnavailableStorage::OpenFile(const std::string& path, const char*) {
    SetFailureCause(path + " was not opened: " + kStorageUnavailableText + ".");
    return nullptr;
}

std::vector<DriveDescription> UnavailableStorage::DescribeDisks() {
    DriveDescription none;
    none.name = "PHYSICALDRIVE0";
    none.deviceNode = "every disk";
    none.model = "Windows";
    none.whyNotOffered = kStorageUnavailableText;
    return {none};
}

}  // namespace platform::storage
