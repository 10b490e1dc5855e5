// WindowsStorage's account of disks and of the volumes that hold a file.
#include <algorithm>

#include "platform/storage/drive_names.h"
#include "platform/storage/drive_path.h"
#include "platform/storage/failure_cause.h"
#include "platform/storage/windows/windows_storage.h"

namespace platform::storage {

namespace {

// Disk numbers beyond the lettered volumes' are looked for up to this one.
constexpr uint32_t kMostDisks = 32;

}  // namespace

std::string WindowsStorage::VolumeLetterOfPath(const std::string& path) {
    if (path.empty()) {
        return "";
    }
    char full[MAX_PATH * 4] = {};
    const DWORD length = calls_.GetFullPathNameA(path.c_str(), sizeof full, full);
    if (length == 0 || length >= sizeof full) {
        return "";
    }
    // "E:\..." is on volume E; a network path ("\\server\share") or a device path is on none.
    const DrivePath root = DrivePath::Parse(std::string(full, std::min<DWORD>(length, 3)));
    if (root.kind != DrivePath::Kind::kRootPath ||
        ((calls_.GetLogicalDrives() >> (root.letter - 'A')) & 1u) == 0) {
        return "";
    }
    return std::string(1, root.letter);
}

std::vector<std::string> WindowsStorage::PhysicalDrivesOfPath(const std::string& path) {
    const std::string letter = VolumeLetterOfPath(path);
    std::vector<std::string> names;
    if (letter.empty()) {
        return names;
    }
    // A file on a virtual disk lies on the disks that hold the virtual disk's file too.
    for (const std::vector<uint32_t>& disks :
         {DisksOfLetter(letter[0]), DisksUnderVirtualDisks(letter[0])}) {
        for (uint32_t number : disks) {
            const std::string name = PhysicalDriveName(number);
            if (std::find(names.begin(), names.end(), name) == names.end()) {
                names.push_back(name);
            }
        }
    }
    return names;
}

std::string WindowsStorage::ExplainPathOnDrive(const std::string& path, const std::string& name) {
    const std::string letter = VolumeLetterOfPath(path);
    const std::optional<uint32_t> number = PhysicalDriveNumber(name);
    if (letter.empty() || !number) {
        return "";
    }
    const std::string root = RootPath(letter[0]);
    const std::vector<uint32_t> direct = DisksOfLetter(letter[0]);
    if (std::find(direct.begin(), direct.end(), *number) != direct.end()) {
        return path + " is on " + root + ", a volume of " + name +
               ", the drive it would be written to.";
    }
    const std::vector<uint32_t> hosts = DisksUnderVirtualDisks(letter[0]);
    if (std::find(hosts.begin(), hosts.end(), *number) != hosts.end()) {
        return path + " is on " + root + ", a virtual disk whose file lies on " + name +
               ", the drive it would be written to.";
    }
    return "";
}

bool WindowsStorage::GetPhysicalDriveLength(const std::string& name, uint64_t* bytes) {
    const std::optional<uint32_t> number = PhysicalDriveNumber(name);
    if (!number) {
        return false;
    }
    const Win32Handle disk = OpenForQueries(PhysicalDrivePath(*number));
    const std::optional<uint64_t> length =
        disk.valid() ? QueryLength(calls_, disk.get()) : std::nullopt;
    if (!length) {
        SetFailureCause("The capacity of " + name + " cannot be told.");
        return false;
    }
    *bytes = *length;
    return true;
}

std::optional<DriveDescription> WindowsStorage::DescribePhysicalDrive(const std::string& name) {
    const std::optional<uint32_t> number = PhysicalDriveNumber(name);
    if (!number) {
        return std::nullopt;
    }
    const Win32Handle disk = OpenForQueries(PhysicalDrivePath(*number));
    if (!disk.valid()) {
        return std::nullopt;
    }
    DriveDescription description;
    description.name = name;
    description.deviceNode = PhysicalDrivePath(*number);
    description.capacityBytes = QueryLength(calls_, disk.get()).value_or(0);
    if (const std::optional<DiskIdentity> identity = QueryDiskIdentity(calls_, disk.get())) {
        description.vendor = identity->vendor;
        description.model = identity->product;
        description.transport = BusTypeText(identity->property.BusType);
    }
    for (char letter : LettersOnDisk(*number)) {
        VolumeDescription volume;
        volume.letter = std::string(1, letter);
        volume.mountPoint = RootPath(letter);
        GetDiskFreeSpaceEx(volume.mountPoint, &volume.sizeBytes);
        char label[MAX_PATH + 1] = {};
        char fileSystem[MAX_PATH + 1] = {};
        if (calls_.GetVolumeInformationA(volume.mountPoint.c_str(), label, sizeof label, fileSystem,
                                         sizeof fileSystem)) {
            volume.label = label;
            volume.fileSystem = fileSystem;
        }
        description.volumes.push_back(std::move(volume));
    }
    return description;
}

std::vector<DriveDescription> WindowsStorage::DescribeDisks() {
    std::vector<uint32_t> numbers;
    const DWORD mask = calls_.GetLogicalDrives();
    for (int k = 0; k < 26; ++k) {
        if ((mask >> k) & 1u) {
            for (uint32_t number : DisksOfLetter(static_cast<char>('A' + k))) {
                numbers.push_back(number);
            }
        }
    }
    for (uint32_t number = 0; number < kMostDisks; ++number) {
        numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    std::vector<DriveDescription> descriptions;
    for (uint32_t number : numbers) {
        std::optional<DriveDescription> description =
            DescribePhysicalDrive(PhysicalDriveName(number));
        if (!description || description->capacityBytes == 0) {
            continue;  // no such disk, or one without a medium
        }
        if (description->volumes.empty()) {
            description->whyNotOffered = "it has no volume with a drive letter";
        }
        descriptions.push_back(std::move(*description));
    }
    return descriptions;
}

}  // namespace platform::storage
