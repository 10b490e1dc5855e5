#include "platform/storage/simulated/simulated_storage.h"

#include <cstring>

#include "platform/storage/device_wait.h"
#include "platform/storage/drive_names.h"
#include "platform/storage/failure_cause.h"
#include "platform/storage/simulated/simulated_devices.h"

namespace platform::storage::simulated {

namespace {

constexpr char kPhysicalDrive[] = "PHYSICALDRIVE";

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

SimulatedDisk& SimulatedStorage::AddDisk(uint32_t number, uint64_t sizeBytes) {
    SimulatedDisk& disk = disks_[number];
    disk.sizeBytes = sizeBytes;
    return disk;
}

SimulatedVolume& SimulatedStorage::AddVolume(char letter, std::optional<uint32_t> diskNumber,
                                             DriveType type, uint64_t totalBytes) {
    SimulatedVolume& volume = volumes_[letter];
    volume.diskNumber = diskNumber;
    volume.driveType = type;
    volume.totalBytes = totalBytes;
    return volume;
}

SimulatedFile& SimulatedStorage::AddFile(const std::string& path, std::vector<uint8_t> bytes) {
    SimulatedFile& file = files_[path];
    file.bytes = std::move(bytes);
    return file;
}

SimulatedDisk* SimulatedStorage::Disk(uint32_t number) {
    auto found = disks_.find(number);
    return found == disks_.end() ? nullptr : &found->second;
}

SimulatedVolume* SimulatedStorage::Volume(char letter) {
    auto found = volumes_.find(letter);
    return found == volumes_.end() ? nullptr : &found->second;
}

SimulatedFile* SimulatedStorage::File(const std::string& path) {
    auto found = files_.find(path);
    return found == files_.end() ? nullptr : &found->second;
}

uint32_t SimulatedStorage::GetLogicalDrives() {
    uint32_t mask = 0;
    for (const auto& [letter, volume] : volumes_) {
        mask |= 1u << (letter - 'A');
    }
    return mask;
}

SimulatedVolume* SimulatedStorage::VolumeOfRoot(const std::string& rootPath, char* letter) {
    if (rootPath.size() != 3 || rootPath[1] != ':' || rootPath[2] != '\\') {
        return nullptr;
    }
    *letter = rootPath[0];
    return Volume(rootPath[0]);
}

DriveType SimulatedStorage::GetDriveType(const std::string& rootPath) {
    char letter = 0;
    const SimulatedVolume* volume = VolumeOfRoot(rootPath, &letter);
    return volume ? volume->driveType : DRIVE_NO_ROOT_DIR;
}

bool SimulatedStorage::GetDiskFreeSpaceEx(const std::string& rootPath, uint64_t* totalBytes) {
    char letter = 0;
    const SimulatedVolume* volume = VolumeOfRoot(rootPath, &letter);
    if (!volume || volume->sizeFails) {
        return false;
    }
    *totalBytes = volume->totalBytes;
    return true;
}

DeviceHandle SimulatedStorage::CreateFile(const std::string& path, uint32_t access, uint32_t,
                                          uint32_t) {
    ++deviceOpenAttempts;
    char letter = 0;
    if (VolumeOfRoot(path, &letter)) {
        return OpenVolume(letter, true);
    }
    if (!StartsWith(path, kDevicePathPrefix)) {
        return nullptr;
    }
    const std::string name = path.substr(std::strlen(kDevicePathPrefix));
    if (name.size() == 2 && name[1] == ':') {
        return OpenVolume(name[0], false);
    }
    if (StartsWith(name, kPhysicalDrive)) {
        return OpenDisk(name.substr(std::strlen(kPhysicalDrive)), access);
    }
    return nullptr;
}

DeviceHandle SimulatedStorage::OpenVolume(char letter, bool forProbe) {
    const SimulatedVolume* volume = Volume(letter);
    if (!volume || (forProbe ? volume->probeOpenFails : volume->openFails)) {
        return nullptr;
    }
    return std::make_unique<SimulatedVolumeDevice>(*volume, forProbe);
}

DeviceHandle SimulatedStorage::OpenDisk(const std::string& number, uint32_t access) {
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
        return nullptr;
    }
    const uint32_t diskNumber = static_cast<uint32_t>(std::stoul(number));
    SimulatedDisk* disk = Disk(diskNumber);
    if (!disk) {
        return nullptr;
    }
    ++disk->opens;
    if (disk->openFails) {
        return nullptr;
    }
    if (access & GENERIC_WRITE) {
        ++disk->writeOpens;
        for (int round = 0; round < disk->openWaitRounds; ++round) {
            WhileDeviceWaits();
            if (StopRequested()) {
                SetFailureCause("Its volumes stayed mounted.");
                return nullptr;
            }
        }
    }
    return std::make_unique<SimulatedDiskDevice>(*disk, diskNumber);
}

FileHandle SimulatedStorage::OpenFile(const std::string& path, const char* mode) {
    ++fileOpenAttempts;
    const bool create = mode[0] == 'w';
    const bool writable = create || std::strchr(mode, '+') != nullptr;
    SimulatedFile* file = File(path);
    if (!file && create) {
        file = &files_[path];
    }
    if (!file) {
        return nullptr;
    }
    ++file->opens;
    if (!file->regular || (writable && file->readOnly)) {
        return nullptr;
    }
    if (create) {
        file->bytes.clear();
    }
    return std::make_unique<SimulatedFileStream>(*file);
}

std::string SimulatedStorage::VolumeLetterOfPath(const std::string& path) {
    // The longest matching prefix wins, as the innermost mount does.
    std::string letter;
    size_t longest = 0;
    for (const auto& [volumeLetter, volume] : volumes_) {
        if (!volume.pathPrefix.empty() && StartsWith(path, volume.pathPrefix) &&
            volume.pathPrefix.size() > longest) {
            longest = volume.pathPrefix.size();
            letter = std::string(1, volumeLetter);
        }
    }
    return letter;
}

std::vector<std::string> SimulatedStorage::PhysicalDrivesOfPath(const std::string& path) {
    const std::string letter = VolumeLetterOfPath(path);
    const SimulatedVolume* volume = letter.empty() ? nullptr : Volume(letter[0]);
    std::vector<std::string> names;
    if (volume == nullptr || !volume->diskNumber) {
        return names;
    }
    names.push_back(PhysicalDriveName(*volume->diskNumber));
    for (uint32_t number : volume->furtherDisks) {
        names.push_back(PhysicalDriveName(number));
    }
    return names;
}

void SimulatedStorage::SetDescription(uint32_t number, DriveDescription description) {
    description.name = PhysicalDriveName(number);
    description.whyNotOffered.clear();
    descriptions_[number] = std::move(description);
}

void SimulatedStorage::SetWhyNotOffered(uint32_t number, std::string reason) {
    reasons_[number] = std::move(reason);
}

std::string SimulatedStorage::ExplainPathOnDrive(const std::string& path, const std::string& name) {
    for (const auto& [letter, volume] : volumes_) {
        if (volume.diskNumber && name == PhysicalDriveName(*volume.diskNumber) &&
            !volume.pathPrefix.empty() && StartsWith(path, volume.pathPrefix)) {
            return path + " is on " + std::string(1, letter) + ":\\, a volume of that drive.";
        }
    }
    return "";
}

bool SimulatedStorage::GetPhysicalDriveLength(const std::string& name, uint64_t* bytes) {
    const std::string number =
        StartsWith(name, kPhysicalDrive) ? name.substr(std::strlen(kPhysicalDrive)) : "";
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const SimulatedDisk* disk = Disk(static_cast<uint32_t>(std::stoul(number)));
    if (disk == nullptr) {
        return false;
    }
    if (disk->lengthFails) {
        SetFailureCause("The capacity of " + name + " cannot be told.");
        return false;
    }
    *bytes = disk->sizeBytes;
    return true;
}

std::optional<DriveDescription> SimulatedStorage::DescribePhysicalDrive(const std::string& name) {
    for (const auto& [number, description] : descriptions_) {
        if (description.name == name) {
            return description;
        }
    }
    return std::nullopt;
}

std::vector<DriveDescription> SimulatedStorage::DescribeDisks() {
    std::vector<DriveDescription> disks;
    for (const auto& [number, description] : descriptions_) {
        disks.push_back(description);
        const auto reason = reasons_.find(number);
        if (reason != reasons_.end()) {
            disks.back().whyNotOffered = reason->second;
        }
    }
    return disks;
}

}  // namespace platform::storage::simulated
