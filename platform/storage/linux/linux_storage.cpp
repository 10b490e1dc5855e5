#include "platform/storage/linux/linux_storage.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/storage/linux/drive_describer.h"
#include "platform/storage/linux/drive_path.h"
#include "platform/storage/stdio_file_stream.h"

namespace platform::storage {

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kSectorBytes = 512;
// Unmounting more volumes than this from one disk is taken as a mount table that keeps growing.
constexpr int kMaxUnmounts = 256;

// Gives file systems mounted with an anonymous device number (btrfs) the number of the block
// device they were mounted from.
void ResolveAnonymousDevices(MountTable& mounts, const SysfsBlockTree& tree) {
    for (MountEntry& entry : mounts.entries()) {
        if (tree.Find(entry.devno) != nullptr || entry.source.empty() ||
            entry.source.front() != '/') {
            continue;
        }
        struct stat st {};
        if (::stat(entry.source.c_str(), &st) == 0 && S_ISBLK(st.st_mode) &&
            tree.Find(st.st_rdev) != nullptr) {
            entry.devno = st.st_rdev;
        }
    }
}

}  // namespace

LinuxStorage::LinuxStorage(std::string sysRoot, std::string mountInfo)
    : sysRoot_(std::move(sysRoot)), mountInfo_(std::move(mountInfo)) {}

LinuxStorage::Snapshot LinuxStorage::Look() const {
    Snapshot snapshot;
    snapshot.tree = SysfsBlockTree::Load(sysRoot_);
    snapshot.mounts = MountTable::Load(mountInfo_).value_or(MountTable());
    ResolveAnonymousDevices(snapshot.mounts, snapshot.tree);
    snapshot.volumes = VolumeMap::Build(snapshot.mounts, snapshot.tree);
    return snapshot;
}

void LinuxStorage::NumberDisks(const SysfsBlockTree& tree) {
    disks_.clear();
    for (const BlockDeviceInfo* disk : tree.Disks()) {
        disks_.push_back({disk->name, disk->devno, disk->diskSeq});
    }
    numbered_ = true;
}

void LinuxStorage::EnsureNumbered() {
    if (!numbered_) {
        NumberDisks(SysfsBlockTree::Load(sysRoot_));
    }
}

int LinuxStorage::DiskNumberOf(const BlockDeviceInfo& disk) const {
    for (size_t i = 0; i < disks_.size(); ++i) {
        if (disks_[i].name == disk.name && disks_[i].devno == disk.devno &&
            disks_[i].diskSeq == disk.diskSeq) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const BlockDeviceInfo* LinuxStorage::CurrentDisk(const SysfsBlockTree& tree,
                                                 uint32_t number) const {
    if (number >= disks_.size()) {
        return nullptr;
    }
    const NumberedDisk& numbered = disks_[number];
    const BlockDeviceInfo* disk = tree.FindByName(numbered.name);
    if (disk == nullptr || disk->partition || disk->devno != numbered.devno ||
        disk->diskSeq != numbered.diskSeq) {
        return nullptr;
    }
    return disk;
}

StorageDeviceDescriptor LinuxStorage::PropertyOf(const BlockDeviceInfo& disk) const {
    StorageDeviceDescriptor descriptor;
    descriptor.RemovableMedia = disk.removable;
    descriptor.BusType = disk.busType;
    return descriptor;
}

uint32_t LinuxStorage::GetLogicalDrives() {
    const Snapshot snapshot = Look();
    NumberDisks(snapshot.tree);
    return snapshot.volumes.LetterMask();
}

DriveType LinuxStorage::GetDriveType(const std::string& rootPath) {
    const DrivePath root = DrivePath::Parse(rootPath);
    if (root.kind != DrivePath::Kind::kRootPath) {
        return DRIVE_NO_ROOT_DIR;
    }
    const Snapshot snapshot = Look();
    const Volume* volume = snapshot.volumes.ByLetter(root.letter);
    if (volume == nullptr) {
        return DRIVE_NO_ROOT_DIR;
    }
    const BlockDeviceInfo* disk = snapshot.tree.UnderlyingDisk(volume->devno);
    if (disk == nullptr) {
        return DRIVE_UNKNOWN;
    }
    switch (disk->kind) {
        case DiskKind::kRam:
            return DRIVE_RAMDISK;
        case DiskKind::kOptical:
            return DRIVE_CDROM;
        case DiskKind::kOrdinary:
            break;
    }
    return disk->removable ? DRIVE_REMOVABLE : DRIVE_FIXED;
}

bool LinuxStorage::GetDiskFreeSpaceEx(const std::string& rootPath, uint64_t* totalBytes) {
    const DrivePath root = DrivePath::Parse(rootPath);
    if (root.kind != DrivePath::Kind::kRootPath) {
        return false;
    }
    const Snapshot snapshot = Look();
    const Volume* volume = snapshot.volumes.ByLetter(root.letter);
    struct statvfs stats {};
    if (volume == nullptr || ::statvfs(volume->mountPoint.c_str(), &stats) != 0) {
        return false;
    }
    *totalBytes = static_cast<uint64_t>(stats.f_blocks) * stats.f_frsize;
    return true;
}

DeviceHandle LinuxStorage::OpenNode(const BlockDeviceInfo& device, int openFlags,
                                    LinuxBlockDevice::Options options) const {
    const std::string node = "/dev/" + device.name;
    UniqueFd fd(::open(node.c_str(), openFlags | O_CLOEXEC));
    if (!fd.valid() && errno == EBUSY && !(openFlags & O_EXCL) &&
        (openFlags & O_ACCMODE) == O_RDWR &&
        ::faccessat(AT_FDCWD, node.c_str(), W_OK, AT_EACCESS) == 0) {
        // Kernels that forbid writing to mounted devices refuse the volume open of the scan; a
        // user allowed to write the node still gets a handle, one that only reads.
        fd = UniqueFd(::open(node.c_str(), (openFlags & ~O_ACCMODE) | O_RDONLY | O_CLOEXEC));
        options.writable = false;
    }
    if (!fd.valid()) {
        return nullptr;
    }
    // The node must still be the device sysfs described.
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISBLK(st.st_mode) || st.st_rdev != device.devno) {
        errno = ENODEV;
        return nullptr;
    }
    int blockSize = 0;
    uint64_t sizeBytes = 0;
    if (::ioctl(fd.get(), BLKSSZGET, &blockSize) != 0 ||
        ::ioctl(fd.get(), BLKGETSIZE64, &sizeBytes) != 0 || blockSize <= 0) {
        return nullptr;
    }
    options.blockSize = static_cast<uint32_t>(blockSize);
    options.sizeBytes = sizeBytes;
    return LinuxBlockDevice::Create(std::move(fd), std::move(options));
}

bool LinuxStorage::UnmountVolumesOn(const std::string& diskName) const {
    const SysfsBlockTree tree = SysfsBlockTree::Load(sysRoot_);
    for (int round = 0; round < kMaxUnmounts; ++round) {
        std::optional<MountTable> mounts = MountTable::Load(mountInfo_);
        if (!mounts) {
            return false;
        }
        ResolveAnonymousDevices(*mounts, tree);
        // The last mount first: mounts stacked on a volume of the disk go before it.
        const MountEntry* last = nullptr;
        for (const MountEntry& entry : mounts->entries()) {
            if (tree.DependsOn(entry.devno, diskName)) {
                last = &entry;
            }
        }
        if (last == nullptr) {
            return true;
        }
        // Never detached lazily: a busy volume must stay mounted and fail the open.
        if (::umount2(last->target.c_str(), UMOUNT_NOFOLLOW) != 0) {
            return false;
        }
    }
    errno = EBUSY;
    return false;
}

bool LinuxStorage::SyncVolumesOn(const std::string& diskName, const Snapshot& snapshot) const {
    for (const MountEntry& entry : snapshot.mounts.entries()) {
        if (!snapshot.tree.DependsOn(entry.devno, diskName)) {
            continue;
        }
        UniqueFd folder(::open(entry.target.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.valid() && ::syncfs(folder.get()) != 0) {
            return false;
        }
    }
    return true;
}

DeviceHandle LinuxStorage::CreateFile(const std::string& path, uint32_t access, uint32_t,
                                      uint32_t flags) {
    const DrivePath target = DrivePath::Parse(path);
    const bool write = (access & GENERIC_WRITE) != 0;
    int openFlags = write ? O_RDWR : O_RDONLY;
    if (flags & FILE_FLAG_NO_BUFFERING) {
        openFlags |= O_DIRECT;
    }
    EnsureNumbered();
    const Snapshot snapshot = Look();
    LinuxBlockDevice::Options options;
    options.writable = write;

    if (target.kind == DrivePath::Kind::kRootPath || target.kind == DrivePath::Kind::kVolume) {
        const Volume* volume = snapshot.volumes.ByLetter(target.letter);
        const BlockDeviceInfo* device = volume ? snapshot.tree.Find(volume->devno) : nullptr;
        if (device == nullptr) {
            errno = ENOENT;
            return nullptr;
        }
        const BlockDeviceInfo* disk = snapshot.tree.UnderlyingDisk(device->devno);
        if (disk != nullptr) {
            options.hasProperty = true;
            options.property = PropertyOf(*disk);
            const int number = DiskNumberOf(*disk);
            if (number >= 0) {
                options.hasExtents = true;
                const bool onDisk = device->partition && device->parent == disk->name;
                options.extents.push_back(
                    {static_cast<uint32_t>(number),
                     static_cast<int64_t>(onDisk ? device->startSector * kSectorBytes : 0),
                     static_cast<int64_t>(device->sizeSectors * kSectorBytes)});
            }
        }
        return OpenNode(*device, openFlags, std::move(options));
    }

    if (target.kind == DrivePath::Kind::kPhysicalDrive) {
        const BlockDeviceInfo* disk = CurrentDisk(snapshot.tree, target.number);
        if (disk == nullptr) {
            errno = ENODEV;
            return nullptr;
        }
        options.hasProperty = true;
        options.property = PropertyOf(*disk);
        if (write) {
            // An open that must fail anyway fails before anything is unmounted.
            const std::string node = "/dev/" + disk->name;
            if (disk->readOnly) {
                errno = EROFS;
                return nullptr;
            }
            if (::faccessat(AT_FDCWD, node.c_str(), W_OK, AT_EACCESS) != 0 ||
                !UnmountVolumesOn(disk->name)) {
                return nullptr;
            }
            openFlags |= O_EXCL;
            options.rereadPartitions = true;
        } else if (!SyncVolumesOn(disk->name, snapshot)) {
            return nullptr;
        }
        return OpenNode(*disk, openFlags, std::move(options));
    }
    errno = ENOENT;
    return nullptr;
}

FileHandle LinuxStorage::OpenFile(const std::string& path, const char* mode) {
    return StdioFileStream::Open(path, mode);
}

std::string LinuxStorage::VolumeLetterOfPath(const std::string& path) {
    if (path.empty()) {
        return "";
    }
    std::error_code error;
    fs::path existing = fs::absolute(path, error);
    if (error) {
        return "";
    }
    while (!fs::exists(existing, error) && existing.has_relative_path()) {
        existing = existing.parent_path();
    }
    const fs::path resolved = fs::canonical(existing, error);
    if (error) {
        return "";
    }
    const char letter = Look().volumes.LetterOfPath(resolved.string());
    return letter ? std::string(1, letter) : "";
}

std::string LinuxStorage::DeviceNodeOf(const std::string& physicalDriveName) {
    const DrivePath drive = DrivePath::Parse("\\\\.\\" + physicalDriveName);
    EnsureNumbered();
    if (drive.kind != DrivePath::Kind::kPhysicalDrive || drive.number >= disks_.size()) {
        return "";
    }
    return "/dev/" + disks_[drive.number].name;
}

std::string LinuxStorage::PhysicalDriveNameOf(const std::string& deviceNode) {
    struct stat st {};
    if (::stat(deviceNode.c_str(), &st) != 0 || !S_ISBLK(st.st_mode)) {
        return "";
    }
    EnsureNumbered();
    for (size_t i = 0; i < disks_.size(); ++i) {
        if (disks_[i].devno == st.st_rdev) {
            return "PHYSICALDRIVE" + std::to_string(i);
        }
    }
    return "";
}

std::optional<DriveDescription> LinuxStorage::DescribePhysicalDrive(const std::string& name) {
    const DrivePath drive = DrivePath::Parse("\\\\.\\" + name);
    if (drive.kind != DrivePath::Kind::kPhysicalDrive) {
        return std::nullopt;
    }
    EnsureNumbered();
    const Snapshot snapshot = Look();
    const BlockDeviceInfo* disk = CurrentDisk(snapshot.tree, drive.number);
    if (disk == nullptr) {
        return std::nullopt;
    }
    return DriveDescriber(sysRoot_).Describe(*disk, snapshot.tree, snapshot.mounts,
                                             snapshot.volumes);
}

}  // namespace platform::storage
