#include "platform/storage/windows/device_queries.h"

#include <virtdisk.h>

#include <algorithm>
#include <cstddef>

namespace platform::storage {

namespace {

constexpr size_t kMostExtents = 32;

// A text of the descriptor at offset, trimmed; empty when there is none.
std::string TextAt(const unsigned char* bytes, size_t size, DWORD offset) {
    if (offset == 0 || offset >= size) {
        return "";
    }
    std::string text;
    for (size_t i = offset; i < size && bytes[i] != 0; ++i) {
        text.push_back(static_cast<char>(bytes[i]));
    }
    const size_t first = text.find_first_not_of(' ');
    const size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

}  // namespace

bool DiskIdentity::operator==(const DiskIdentity& other) const {
    return property.RemovableMedia == other.property.RemovableMedia &&
           property.BusType == other.property.BusType && vendor == other.vendor &&
           product == other.product && serial == other.serial;
}

bool QueryVolumeDiskExtents(Win32Calls& calls, HANDLE volume, std::vector<DiskExtent>* extents) {
    constexpr size_t kBytes =
        offsetof(VOLUME_DISK_EXTENTS, Extents) + kMostExtents * sizeof(DISK_EXTENT);
    alignas(VOLUME_DISK_EXTENTS) unsigned char buffer[kBytes] = {};
    DWORD returned = 0;
    if (!calls.DeviceIoControl(volume, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, buffer,
                               kBytes, &returned)) {
        return false;
    }
    const auto* answer = reinterpret_cast<const VOLUME_DISK_EXTENTS*>(buffer);
    if (answer->NumberOfDiskExtents > kMostExtents) {
        return false;
    }
    extents->clear();
    for (DWORD i = 0; i < answer->NumberOfDiskExtents; ++i) {
        const DISK_EXTENT& extent = answer->Extents[i];
        extents->push_back(
            {extent.DiskNumber, extent.StartingOffset.QuadPart, extent.ExtentLength.QuadPart});
    }
    return true;
}

std::optional<DiskIdentity> QueryDiskIdentity(Win32Calls& calls, HANDLE device) {
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    alignas(STORAGE_DEVICE_DESCRIPTOR) unsigned char buffer[1024] = {};
    DWORD returned = 0;
    if (!calls.DeviceIoControl(device, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, buffer,
                               sizeof buffer, &returned) ||
        returned < offsetof(STORAGE_DEVICE_DESCRIPTOR, RawPropertiesLength)) {
        return std::nullopt;
    }
    const auto* descriptor = reinterpret_cast<const STORAGE_DEVICE_DESCRIPTOR*>(buffer);
    const size_t size = std::min<size_t>(returned, sizeof buffer);
    DiskIdentity identity;
    identity.property.RemovableMedia = descriptor->RemovableMedia != FALSE;
    identity.property.BusType = descriptor->BusType;
    identity.vendor = TextAt(buffer, size, descriptor->VendorIdOffset);
    identity.product = TextAt(buffer, size, descriptor->ProductIdOffset);
    identity.serial = TextAt(buffer, size, descriptor->SerialNumberOffset);
    return identity;
}

std::optional<uint64_t> QueryLength(Win32Calls& calls, HANDLE device) {
    GET_LENGTH_INFORMATION length{};
    DWORD returned = 0;
    if (!calls.DeviceIoControl(device, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length,
                               sizeof length, &returned) ||
        length.Length.QuadPart < 0) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(length.Length.QuadPart);
}

std::optional<uint32_t> QueryDiskNumber(Win32Calls& calls, HANDLE disk) {
    STORAGE_DEVICE_NUMBER number{};
    DWORD returned = 0;
    if (!calls.DeviceIoControl(disk, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number,
                               sizeof number, &returned)) {
        return std::nullopt;
    }
    return number.DeviceNumber;
}

namespace {

// A host volume's name as a device path: "C:\" as "\\.\C:", a volume GUID path without its
// last backslash; nothing for a name that is neither (or not ASCII, as no such path is).
std::optional<std::string> HostVolumePath(const wchar_t* name) {
    std::string path;
    for (; name != nullptr && *name != L'\0'; ++name) {
        if (*name > 0x7F) {
            return std::nullopt;
        }
        path.push_back(static_cast<char>(*name));
    }
    if (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    if (path.size() == 2 && path[1] == ':') {
        return "\\\\.\\" + path;
    }
    if (path.rfind("\\\\?\\Volume{", 0) == 0) {
        return path;
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::string> QueryHostVolumes(Win32Calls& calls, HANDLE volume) {
    // A chain of virtual disks is short; the names it holds fit many times over.
    constexpr ULONG kBytes = 64u << 10;
    std::vector<unsigned char> buffer(kBytes);
    auto* info = reinterpret_cast<STORAGE_DEPENDENCY_INFO*>(buffer.data());
    info->Version = STORAGE_DEPENDENCY_INFO_VERSION_2;
    ULONG used = 0;
    if (calls.GetStorageDependencyInformation(volume, GET_STORAGE_DEPENDENCY_FLAG_HOST_VOLUMES,
                                              kBytes, info, &used) != ERROR_SUCCESS) {
        return {};
    }
    const size_t room = (kBytes - offsetof(STORAGE_DEPENDENCY_INFO, Version2Entries)) /
                        sizeof(STORAGE_DEPENDENCY_INFO_TYPE_2);
    const size_t entries = std::min<size_t>(info->NumberEntries, room);
    std::vector<std::string> hosts;
    for (size_t i = 0; i < entries; ++i) {
        const std::optional<std::string> path =
            HostVolumePath(info->Version2Entries[i].HostVolumeName);
        if (path && std::find(hosts.begin(), hosts.end(), *path) == hosts.end()) {
            hosts.push_back(*path);
        }
    }
    return hosts;
}

uint32_t QuerySectorSize(Win32Calls& calls, HANDLE disk) {
    DISK_GEOMETRY geometry{};
    DWORD returned = 0;
    if (!calls.DeviceIoControl(disk, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry,
                               sizeof geometry, &returned) ||
        geometry.BytesPerSector == 0) {
        return 512;
    }
    return geometry.BytesPerSector;
}

std::string BusTypeText(uint32_t busType) {
    switch (busType) {
        case BusTypeUsb:
            return "USB";
        case BusTypeSd:
            return "SD card";
        case BusTypeMmc:
            return "MMC";
        case BusTypeSata:
            return "SATA";
        case BusTypeAta:
            return "ATA";
        case BusTypeScsi:
            return "SCSI";
        case BusTypeNvme:
            return "NVMe";
        case BusTypeVirtual:
            return "virtual";
        default:
            return "";
    }
}

}  // namespace platform::storage
