#include "platform/storage/windows/windows_storage.h"

#include <algorithm>
#include <cstring>

#include "platform/storage/compressed/image_stream.h"
#include "platform/storage/drive_names.h"
#include "platform/storage/drive_path.h"
#include "platform/storage/failure_cause.h"
#include "platform/storage/windows/image_file.h"
#include "platform/storage/windows/win32_error.h"
#include "platform/storage/windows/windows_device.h"

namespace platform::storage {

namespace {

constexpr DWORD kShareBoth = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD kUnbuffered = FILE_FLAG_NO_BUFFERING | FILE_FLAG_OVERLAPPED;

}  // namespace

Win32Handle WindowsStorage::OpenForQueries(const std::string& devicePath) {
    return Win32Handle(calls_,
                       calls_.CreateFileA(devicePath.c_str(), 0, kShareBoth, OPEN_EXISTING, 0));
}

std::vector<uint32_t> WindowsStorage::DisksOfLetter(char letter) {
    return DisksOfVolume(VolumePath(letter));
}

std::vector<uint32_t> WindowsStorage::DisksOfVolume(const std::string& devicePath) {
    const Win32Handle volume = OpenForQueries(devicePath);
    std::vector<DiskExtent> extents;
    if (!volume.valid() || !QueryVolumeDiskExtents(calls_, volume.get(), &extents)) {
        return {};
    }
    std::vector<uint32_t> disks;
    for (const DiskExtent& extent : extents) {
        if (std::find(disks.begin(), disks.end(), extent.DiskNumber) == disks.end()) {
            disks.push_back(extent.DiskNumber);
        }
    }
    return disks;
}

std::vector<uint32_t> WindowsStorage::DisksUnderVirtualDisks(char letter) {
    const Win32Handle volume = OpenForQueries(VolumePath(letter));
    std::vector<uint32_t> disks;
    for (const std::string& host :
         volume.valid() ? QueryHostVolumes(calls_, volume.get()) : std::vector<std::string>{}) {
        for (uint32_t number : DisksOfVolume(host)) {
            if (std::find(disks.begin(), disks.end(), number) == disks.end()) {
                disks.push_back(number);
            }
        }
    }
    return disks;
}

std::vector<char> WindowsStorage::LettersOnDisk(uint32_t number) {
    std::vector<char> letters;
    const DWORD mask = calls_.GetLogicalDrives();
    for (int k = 0; k < 26; ++k) {
        const char letter = static_cast<char>('A' + k);
        if ((mask >> k) & 1u) {
            const std::vector<uint32_t> disks = DisksOfLetter(letter);
            if (std::find(disks.begin(), disks.end(), number) != disks.end()) {
                letters.push_back(letter);
            }
        }
    }
    return letters;
}

WindowsStorage::ScannedDisk WindowsStorage::LookAtDisk(uint32_t number) {
    ScannedDisk disk;
    const Win32Handle handle = OpenForQueries(PhysicalDrivePath(number));
    if (handle.valid()) {
        disk.length = QueryLength(calls_, handle.get());
        disk.identity = QueryDiskIdentity(calls_, handle.get());
    }
    return disk;
}

uint32_t WindowsStorage::GetLogicalDrives() {
    const DWORD mask = calls_.GetLogicalDrives();
    scanned_.clear();
    for (int k = 0; k < 26; ++k) {
        if ((mask >> k) & 1u) {
            for (uint32_t number : DisksOfLetter(static_cast<char>('A' + k))) {
                if (scanned_.count(number) == 0) {
                    scanned_[number] = LookAtDisk(number);
                }
            }
        }
    }
    return mask;
}

DriveType WindowsStorage::GetDriveType(const std::string& rootPath) {
    if (DrivePath::Parse(rootPath).kind != DrivePath::Kind::kRootPath) {
        return DRIVE_NO_ROOT_DIR;
    }
    return calls_.GetDriveTypeA(rootPath.c_str());
}

bool WindowsStorage::GetDiskFreeSpaceEx(const std::string& rootPath, uint64_t* totalBytes) {
    if (DrivePath::Parse(rootPath).kind != DrivePath::Kind::kRootPath) {
        return false;
    }
    ULARGE_INTEGER total{};
    if (!calls_.GetDiskFreeSpaceExA(rootPath.c_str(), nullptr, &total, nullptr)) {
        SetFailureCause("The size of " + rootPath +
                        " cannot be told: " + Win32ErrorText(calls_.GetLastError()) + ".");
        return false;
    }
    *totalBytes = total.QuadPart;
    return true;
}

DeviceHandle WindowsStorage::CreateFile(const std::string& path, uint32_t access, uint32_t,
                                        uint32_t flags) {
    const DrivePath target = DrivePath::Parse(path);
    switch (target.kind) {
        case DrivePath::Kind::kRootPath:
        case DrivePath::Kind::kVolume:
            return OpenVolume(target.letter, flags);
        case DrivePath::Kind::kPhysicalDrive:
            return OpenPhysicalDrive(target.number, (access & GENERIC_WRITE) != 0, flags);
        case DrivePath::Kind::kInvalid:
            break;
    }
    SetFailureCause(path + " names no drive.");
    return nullptr;
}

DeviceHandle WindowsStorage::OpenVolume(char letter, uint32_t) {
    // A volume is written only as part of its physical drive, after that open's safety steps.
    const std::string path = VolumePath(letter);
    Win32Handle handle(calls_, calls_.CreateFileA(path.c_str(), GENERIC_READ, kShareBoth,
                                                  OPEN_EXISTING, kUnbuffered));
    if (!handle.valid()) {
        // Queries need no data access.
        handle = Win32Handle(
            calls_, calls_.CreateFileA(path.c_str(), 0, kShareBoth, OPEN_EXISTING, kUnbuffered));
    }
    if (!handle.valid()) {
        SetFailureCause(path + " could not be opened: " + Win32ErrorText(calls_.GetLastError()) +
                        ".");
        return nullptr;
    }
    WindowsDevice::Options options;
    options.path = path;
    options.sizeBytes = QueryLength(calls_, handle.get());
    options.sectorSize = QuerySectorSize(calls_, handle.get());
    return WindowsDevice::Create(calls_, std::move(handle), std::move(options));
}

std::string WindowsStorage::WhyNotWritable(uint32_t number, HANDLE disk) {
    const std::string name = PhysicalDriveName(number);
    DWORD returned = 0;
    if (!calls_.DeviceIoControl(disk, IOCTL_DISK_IS_WRITABLE, nullptr, 0, nullptr, 0, &returned) &&
        calls_.GetLastError() == ERROR_WRITE_PROTECT) {
        return name +
               " is write-protected (a card's lock switch, or the system marks it read-only). "
               "Nothing was written.";
    }
    const auto scanned = scanned_.find(number);
    if (scanned == scanned_.end() || !scanned->second.length || !scanned->second.identity) {
        return name + " was not seen by the last look at the drives. Nothing was written.";
    }
    const std::string changed =
        " is no longer the disk that was listed (it was removed or swapped since). Restart the "
        "program to see the drives as they are now. Nothing was written.";
    const std::optional<uint32_t> opened = QueryDiskNumber(calls_, disk);
    if (opened && *opened != number) {
        return name + changed;
    }
    const std::optional<uint64_t> length = QueryLength(calls_, disk);
    const std::optional<DiskIdentity> identity = QueryDiskIdentity(calls_, disk);
    if (!length || !identity || *length != *scanned->second.length ||
        !(*identity == *scanned->second.identity)) {
        return name + changed;
    }
    return "";
}

DeviceHandle WindowsStorage::OpenPhysicalDrive(uint32_t number, bool write, uint32_t) {
    const std::string path = PhysicalDrivePath(number);
    const DWORD access = write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    const DWORD flags = write ? kUnbuffered | FILE_FLAG_WRITE_THROUGH : kUnbuffered;
    Win32Handle handle(calls_,
                       calls_.CreateFileA(path.c_str(), access, kShareBoth, OPEN_EXISTING, flags));
    if (!handle.valid()) {
        SetFailureCause(path + " could not be opened: " + Win32ErrorText(calls_.GetLastError()) +
                        ".");
        return nullptr;
    }
    WindowsDevice::Options options;
    options.path = path;
    options.writable = write;
    if (write) {
        if (const std::string why = WhyNotWritable(number, handle.get()); !why.empty()) {
            SetFailureCause(why);
            return nullptr;
        }
        std::string cause;
        options.locks = VolumeLocks::Take(calls_, LettersOnDisk(number), &cause);
        if (!options.locks) {
            SetFailureCause(cause);
            return nullptr;
        }
    }
    options.sizeBytes = QueryLength(calls_, handle.get());
    if (!options.sizeBytes) {
        SetFailureCause("The length of " + path +
                        " cannot be told: " + Win32ErrorText(calls_.GetLastError()) + ".");
        return nullptr;
    }
    options.sectorSize = QuerySectorSize(calls_, handle.get());
    return WindowsDevice::Create(calls_, std::move(handle), std::move(options));
}

FileHandle WindowsStorage::OpenFile(const std::string& path, const char* mode) {
    // An image is read decompressed when it is compressed; files are written as they are.
    if (std::strcmp(mode, "rb") == 0) {
        return OpenImageStream(path);
    }
    return OpenImageFile(path, mode);
}

}  // namespace platform::storage
