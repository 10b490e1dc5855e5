#include "seam_calls.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include <virtdisk.h>

#include "platform/storage/drive_path.h"

namespace storage_test {

using platform::storage::DrivePath;

BOOL SeamCalls::Fail(DWORD error) {
    ::SetLastError(error);
    return FALSE;
}

DWORD SeamCalls::GetLogicalDrives() {
    DWORD mask = 0;
    for (const auto& [letter, volume] : volumes) {
        mask |= 1u << (letter - 'A');
    }
    return mask;
}

UINT SeamCalls::GetDriveTypeA(const char* rootPath) {
    const auto found = volumes.find(DrivePath::Parse(rootPath).letter);
    return found == volumes.end() ? DRIVE_NO_ROOT_DIR : found->second.driveType;
}

BOOL SeamCalls::GetVolumeInformationA(const char* rootPath, char* label, DWORD labelSize,
                                      char* fileSystem, DWORD fileSystemSize) {
    const auto found = volumes.find(DrivePath::Parse(rootPath).letter);
    if (found == volumes.end()) {
        return Fail(ERROR_PATH_NOT_FOUND);
    }
    const SeamVolume& volume = found->second;
    if (volume.fileSystem.empty()) {
        return Fail(ERROR_UNRECOGNIZED_VOLUME);
    }
    if (volume.label.size() >= labelSize || volume.fileSystem.size() >= fileSystemSize) {
        return Fail(ERROR_BAD_LENGTH);
    }
    std::snprintf(label, labelSize, "%s", volume.label.c_str());
    std::snprintf(fileSystem, fileSystemSize, "%s", volume.fileSystem.c_str());
    return TRUE;
}

BOOL SeamCalls::GetDiskFreeSpaceExA(const char* rootPath, ULARGE_INTEGER* freeToCaller,
                                    ULARGE_INTEGER* total, ULARGE_INTEGER* totalFree) {
    const auto found = volumes.find(DrivePath::Parse(rootPath).letter);
    if (found == volumes.end()) {
        return Fail(ERROR_PATH_NOT_FOUND);
    }
    for (ULARGE_INTEGER* figure : {freeToCaller, total, totalFree}) {
        if (figure != nullptr) {
            figure->QuadPart = found->second.totalBytes;
        }
    }
    return TRUE;
}

DWORD SeamCalls::GetFullPathNameA(const char* path, DWORD size, char* buffer) {
    return real_.GetFullPathNameA(path, size, buffer);
}

HANDLE SeamCalls::CreateFileA(const char* path, DWORD access, DWORD shareMode, DWORD disposition,
                              DWORD flags) {
    const std::string asked = path;
    events.push_back("open " + asked + ((access & GENERIC_WRITE) ? " rw" : ""));
    DrivePath target = DrivePath::Parse(asked);
    // A volume GUID path of the seam's own: "\\?\Volume{E}" stands for volume E.
    if (asked.size() == 13 && asked.rfind("\\\\?\\Volume{", 0) == 0 && asked.back() == '}') {
        target = DrivePath::Parse(std::string("\\\\.\\") + asked[11] + ":");
    }
    std::string file;
    Target stands;
    if (target.kind == DrivePath::Kind::kVolume && volumes.count(target.letter) != 0) {
        file = volumes[target.letter].file;
        if (file.empty()) {
            file = folder_ + "\\volume-" + std::string(1, target.letter) + ".bin";
            Win32Close(real_.CreateFileA(file.c_str(), GENERIC_WRITE, 0, OPEN_ALWAYS, 0));
        }
        stands.letter = target.letter;
    } else if (target.kind == DrivePath::Kind::kPhysicalDrive && disks.count(target.number) != 0) {
        file = disks[target.number].file;
        stands.disk = target.number;
    } else {
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = real_.CreateFileA(file.c_str(), access, shareMode, disposition, flags);
    if (handle != INVALID_HANDLE_VALUE) {
        opened_[handle] = stands;
    }
    return handle;
}

void SeamCalls::Win32Close(HANDLE handle) {
    if (handle != INVALID_HANDLE_VALUE) {
        real_.CloseHandle(handle);
    }
}

const SeamDisk* SeamCalls::DiskOf(const Target& target) const {
    std::optional<uint32_t> number = target.disk;
    if (!number && target.letter != 0) {
        const auto volume = volumes.find(target.letter);
        if (volume != volumes.end() && !volume->second.extents.empty()) {
            number = volume->second.extents.front().DiskNumber;
        }
    }
    const auto disk = number ? disks.find(*number) : disks.end();
    return disk == disks.end() ? nullptr : &disk->second;
}

BOOL SeamCalls::AnswerDescriptor(const SeamDisk& disk, void* out, DWORD outSize, DWORD* returned) {
    const size_t fixed = offsetof(STORAGE_DEVICE_DESCRIPTOR, RawDeviceProperties);
    const std::string texts = disk.vendor + '\0' + disk.product + '\0' + disk.serial + '\0';
    if (outSize < fixed + texts.size()) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memset(out, 0, outSize);
    auto* descriptor = static_cast<STORAGE_DEVICE_DESCRIPTOR*>(out);
    descriptor->Version = sizeof(STORAGE_DEVICE_DESCRIPTOR);
    descriptor->Size = static_cast<DWORD>(fixed + texts.size());
    descriptor->RemovableMedia = disk.removable;
    descriptor->BusType = static_cast<STORAGE_BUS_TYPE>(disk.busType);
    descriptor->VendorIdOffset = static_cast<DWORD>(fixed);
    descriptor->ProductIdOffset = static_cast<DWORD>(fixed + disk.vendor.size() + 1);
    descriptor->SerialNumberOffset =
        static_cast<DWORD>(fixed + disk.vendor.size() + disk.product.size() + 2);
    std::memcpy(static_cast<char*>(out) + fixed, texts.data(), texts.size());
    *returned = descriptor->Size;
    return TRUE;
}

BOOL SeamCalls::DeviceIoControl(HANDLE device, DWORD code, void* in, DWORD inSize, void* out,
                                DWORD outSize, DWORD* returned) {
    const auto found = opened_.find(device);
    if (found == opened_.end()) {
        return real_.DeviceIoControl(device, code, in, inSize, out, outSize, returned);
    }
    const Target target = found->second;
    const std::string letter(1, target.letter);
    const SeamDisk* disk = DiskOf(target);
    switch (code) {
        case IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS: {
            if (target.letter == 0) {
                return Fail(ERROR_INVALID_FUNCTION);
            }
            const std::vector<DiskExtent>& extents = volumes[target.letter].extents;
            const size_t size =
                offsetof(VOLUME_DISK_EXTENTS, Extents) + extents.size() * sizeof(DISK_EXTENT);
            if (extents.empty()) {
                return Fail(ERROR_INVALID_FUNCTION);
            }
            if (outSize < size) {
                return Fail(ERROR_MORE_DATA);
            }
            auto* answer = static_cast<VOLUME_DISK_EXTENTS*>(out);
            answer->NumberOfDiskExtents = static_cast<DWORD>(extents.size());
            for (size_t i = 0; i < extents.size(); ++i) {
                answer->Extents[i].DiskNumber = extents[i].DiskNumber;
                answer->Extents[i].StartingOffset.QuadPart = extents[i].StartingOffset;
                answer->Extents[i].ExtentLength.QuadPart = extents[i].ExtentLength;
            }
            *returned = static_cast<DWORD>(size);
            return TRUE;
        }
        case IOCTL_STORAGE_QUERY_PROPERTY:
            return disk ? AnswerDescriptor(*disk, out, outSize, returned)
                        : Fail(ERROR_INVALID_FUNCTION);
        case IOCTL_DISK_GET_LENGTH_INFO:
            if (!target.disk || disk == nullptr) {
                return Fail(ERROR_INVALID_FUNCTION);
            }
            static_cast<GET_LENGTH_INFORMATION*>(out)->Length.QuadPart =
                static_cast<LONGLONG>(disk->length);
            *returned = sizeof(GET_LENGTH_INFORMATION);
            return TRUE;
        case IOCTL_STORAGE_GET_DEVICE_NUMBER: {
            if (!target.disk || disk == nullptr) {
                return Fail(ERROR_INVALID_FUNCTION);
            }
            auto* number = static_cast<STORAGE_DEVICE_NUMBER*>(out);
            number->DeviceType = FILE_DEVICE_DISK;
            number->DeviceNumber = disk->reportedNumber.value_or(*target.disk);
            number->PartitionNumber = 0;
            *returned = sizeof(STORAGE_DEVICE_NUMBER);
            return TRUE;
        }
        case IOCTL_DISK_IS_WRITABLE:
            return disk && disk->writeProtected ? Fail(ERROR_WRITE_PROTECT) : TRUE;
        case IOCTL_DISK_GET_DRIVE_GEOMETRY:
            return Fail(ERROR_NOT_SUPPORTED);
        case FSCTL_LOCK_VOLUME:
            if (volumes[target.letter].refusesLock) {
                events.push_back("lock refused " + letter);
                return Fail(ERROR_ACCESS_DENIED);
            }
            events.push_back("lock " + letter);
            locked.insert(target.letter);
            return TRUE;
        case FSCTL_DISMOUNT_VOLUME:
            events.push_back("dismount " + letter);
            return TRUE;
        case FSCTL_UNLOCK_VOLUME:
            events.push_back("unlock " + letter);
            locked.erase(target.letter);
            return TRUE;
        case IOCTL_DISK_UPDATE_PROPERTIES:
            events.push_back("update " + std::to_string(target.disk.value_or(0)));
            return TRUE;
        default:
            return real_.DeviceIoControl(device, code, in, inSize, out, outSize, returned);
    }
}

BOOL SeamCalls::ReadFile(HANDLE file, void* buffer, DWORD size, OVERLAPPED* overlapped) {
    return real_.ReadFile(file, buffer, size, overlapped);
}

BOOL SeamCalls::WriteFile(HANDLE file, const void* buffer, DWORD size, OVERLAPPED* overlapped) {
    const int index = writes++;
    const uint64_t offset = (uint64_t{overlapped->OffsetHigh} << 32) | overlapped->Offset;
    events.push_back("write @" + std::to_string(offset) + "+" + std::to_string(size));
    if (failWrite && *failWrite == index) {
        return Fail(failWriteError);
    }
    if (shortWrite && *shortWrite == index) {
        size /= 2;
    }
    return real_.WriteFile(file, buffer, size, overlapped);
}

BOOL SeamCalls::GetOverlappedResult(HANDLE file, OVERLAPPED* overlapped, DWORD* transferred,
                                    BOOL wait) {
    return real_.GetOverlappedResult(file, overlapped, transferred, wait);
}

BOOL SeamCalls::CancelIo(HANDLE file) {
    return real_.CancelIo(file);
}

HANDLE SeamCalls::CreateEventA(BOOL manualReset, BOOL initialState) {
    return real_.CreateEventA(manualReset, initialState);
}

DWORD SeamCalls::WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    ++waits;
    return real_.WaitForSingleObject(object, milliseconds);
}

BOOL SeamCalls::FlushFileBuffers(HANDLE file) {
    events.push_back("flush");
    return real_.FlushFileBuffers(file);
}

DWORD SeamCalls::GetStorageDependencyInformation(HANDLE object, DWORD flags, ULONG size, void* info,
                                                 ULONG* used) {
    const auto opened = opened_.find(object);
    if (opened == opened_.end() || opened->second.letter == 0 ||
        flags != GET_STORAGE_DEPENDENCY_FLAG_HOST_VOLUMES) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::vector<std::string>& hosts = volumes[opened->second.letter].virtualDiskHosts;
    if (hosts.empty()) {
        return ERROR_NOT_SUPPORTED;  // not a virtual disk
    }
    // The entries, then each host name as wide text, all in the caller's buffer.
    const size_t entriesEnd = offsetof(STORAGE_DEPENDENCY_INFO, Version2Entries) +
                              hosts.size() * sizeof(STORAGE_DEPENDENCY_INFO_TYPE_2);
    size_t needed = entriesEnd;
    for (const std::string& host : hosts) {
        needed += (host.size() + 1) * sizeof(wchar_t);
    }
    *used = static_cast<ULONG>(needed);
    if (needed > size) {
        return ERROR_INSUFFICIENT_BUFFER;
    }
    auto* answer = static_cast<STORAGE_DEPENDENCY_INFO*>(info);
    answer->Version = STORAGE_DEPENDENCY_INFO_VERSION_2;
    answer->NumberEntries = static_cast<ULONG>(hosts.size());
    auto* text = reinterpret_cast<wchar_t*>(static_cast<unsigned char*>(info) + entriesEnd);
    for (size_t i = 0; i < hosts.size(); ++i) {
        STORAGE_DEPENDENCY_INFO_TYPE_2& entry = answer->Version2Entries[i];
        entry = {};
        entry.AncestorLevel = static_cast<ULONG>(i + 1);
        entry.HostVolumeName = text;
        for (char c : hosts[i]) {
            *text++ = static_cast<wchar_t>(c);
        }
        *text++ = L'\0';
    }
    return ERROR_SUCCESS;
}

BOOL SeamCalls::CloseHandle(HANDLE object) {
    opened_.erase(object);
    return real_.CloseHandle(object);
}

DWORD SeamCalls::GetLastError() {
    return real_.GetLastError();
}

}  // namespace storage_test
