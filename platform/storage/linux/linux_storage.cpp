#include "platform/storage/linux/linux_storage.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/storage/compressed/image_stream.h"
#include "platform/storage/device_wait.h"
#include "platform/storage/drive_names.h"
#include "platform/storage/drive_path.h"
#include "platform/storage/failure_cause.h"
#include "platform/storage/linux/device_stack.h"
#include "platform/storage/linux/disk_claim.h"
#include "platform/storage/linux/drive_describer.h"
#include "platform/storage/linux/process_rights.h"
#include "platform/storage/linux/query_only_device.h"
#include "platform/storage/linux/request_size.h"
#include "platform/storage/linux/split_drive_access.h"
#include "platform/storage/linux/udisks_drive_access.h"
#include "platform/storage/stdio_file_stream.h"

namespace platform::storage {

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kSectorBytes = 512;

// Whether the node's permissions keep this process from opening it with these flags (EACCES).
// A refusal of the system's own (EPERM: a device cgroup, a security module) holds for udisks2's
// way as little as for this process's own, and is not counted.
bool PermissionsDeny(const BlockDeviceInfo& device, int openFlags) {
    const int mode = (openFlags & O_ACCMODE) == O_RDONLY ? R_OK : R_OK | W_OK;
    return ::faccessat(AT_FDCWD, ("/dev/" + device.name).c_str(), mode, AT_EACCESS) != 0 &&
           errno == EACCES;
}

// After a disk opened for writing is closed: one never written gets back the volumes the claim
// unmounted; a written one has its partition table re-read, and when the system cannot, the
// user learns that the new volumes show only after the drive is plugged in again.
bool AfterWriting(DriveAccess& access, DiskClaim& claim, const BlockDeviceInfo& disk,
                  const std::vector<MountEntry>& unmounted, bool written, std::string* note) {
    if (!written) {
        if (StepResult givenBack = claim.GiveBack(unmounted); !givenBack.ok()) {
            StepResult::Failed(
                givenBack.error(),
                "Not all of its volumes could be mounted again: " + givenBack.cause())
                .Publish();
            return false;
        }
        *note = unmounted.empty() ? "" : "Its volumes, unmounted meanwhile, are mounted again.";
        return true;
    }
    if (StepResult reread = access.RereadPartitions(disk); !reread.ok()) {
        *note = "The system could not re-read the partition table of /dev/" + disk.name + " (" +
                (reread.cause().empty() ? ErrnoText(reread.error()) : reread.cause()) +
                "), so the volumes of the image show only after the drive is plugged in again.";
    }
    return true;
}

}  // namespace

LinuxStorage::LinuxStorage(std::string sysRoot, std::string mountInfo)
    : sysRoot_(std::move(sysRoot)),
      mountInfo_(std::move(mountInfo)),
      direct_(std::make_unique<DirectDriveAccess>(mountInfo_)) {}

LinuxStorage::~LinuxStorage() = default;

DriveAccess& LinuxStorage::Desktop() {
    if (!desktop_) {
        desktop_ = std::make_unique<UdisksDriveAccess>();
    }
    return *desktop_;
}

DriveAccess& LinuxStorage::DiskGroup() {
    if (!diskGroup_) {
        diskGroup_ = std::make_unique<SplitDriveAccess>(*direct_, Desktop());
    }
    return *diskGroup_;
}

DriveAccess& LinuxStorage::AccessFor(const BlockDeviceInfo& disk) {
    if (PermissionsDeny(disk, O_RDWR)) {
        return Desktop();
    }
    return MayMountFileSystems() ? static_cast<DriveAccess&>(*direct_) : DiskGroup();
}

const StepResult& LinuxStorage::AskDesktop(const BlockDeviceInfo& disk) {
    const MediumKey key{disk.devno, disk.diskSeq};
    auto known = desktopAnswers_.find(key);
    if (known == desktopAnswers_.end()) {
        known = desktopAnswers_.emplace(key, Desktop().MayWrite(disk)).first;
    }
    return known->second;
}

LinuxStorage::Snapshot LinuxStorage::Look() const {
    WhileDeviceWaits();  // a look takes milliseconds; the caller's windows answer in between
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
    desktopAnswers_.clear();
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

std::string LinuxStorage::WhyNotCurrent(const SysfsBlockTree& tree, uint32_t number) const {
    if (number >= disks_.size()) {
        return "There is no drive number " + std::to_string(number) + ".";
    }
    const NumberedDisk& numbered = disks_[number];
    const std::string node = "/dev/" + numbered.name;
    const BlockDeviceInfo* disk = tree.FindByName(numbered.name);
    if (disk == nullptr) {
        return node + " is no longer there: the drive was removed since the program started.";
    }
    const std::string now = disk->devno != numbered.devno
                                ? "its device number changed"
                                : "its media sequence number changed from " +
                                      std::to_string(numbered.diskSeq) + " to " +
                                      std::to_string(disk->diskSeq);
    return node + " holds another medium than when the program started (" + now +
           "). Restart the program to see the drives as they are now.";
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
    if (!fd.valid() && errno == EBUSY && (openFlags & O_ACCMODE) == O_RDWR &&
        ::faccessat(AT_FDCWD, node.c_str(), W_OK, AT_EACCESS) == 0) {
        // Kernels that forbid writing to mounted devices refuse the volume open of the scan; a
        // user allowed to write the node still gets a handle for its queries.
        fd = UniqueFd(::open(node.c_str(), (openFlags & ~O_ACCMODE) | O_RDONLY | O_CLOEXEC));
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
    return Wrap(std::move(fd), std::move(options));
}

DeviceHandle LinuxStorage::Wrap(UniqueFd fd, LinuxBlockDevice::Options options) const {
    int blockSize = 0;
    uint64_t sizeBytes = 0;
    if (::ioctl(fd.get(), BLKSSZGET, &blockSize) != 0 ||
        ::ioctl(fd.get(), BLKGETSIZE64, &sizeBytes) != 0 || blockSize <= 0) {
        return nullptr;
    }
    options.blockSize = static_cast<uint32_t>(blockSize);
    options.sizeBytes = sizeBytes;
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0) {
        const size_t largest = LargestRequest(sysRoot_, st.st_rdev, options.transferSize);
        options.transferSize =
            std::max<size_t>(largest / options.blockSize * options.blockSize, options.blockSize);
    }
    return LinuxBlockDevice::Create(std::move(fd), std::move(options));
}

DeviceHandle LinuxStorage::OpenDiskForWriting(const BlockDeviceInfo& disk, int openFlags,
                                              LinuxBlockDevice::Options options) {
    // An open that must fail anyway fails before anything is unmounted.
    const std::string node = "/dev/" + disk.name;
    if (disk.readOnly) {
        StepResult::Failed(EROFS, node +
                                      " is write-protected (a card's lock switch, or the system "
                                      "marks it read-only). Nothing was unmounted or written.")
            .Publish();
        return nullptr;
    }
    DriveAccess& access = AccessFor(disk);
    if (StepResult may = access.MayWrite(disk); !may.ok()) {
        may.OrCause("You may not write " + node +
                    ": you may not open it yourself, and polkit refuses udisks2's "
                    "open-device action for it.")
            .Publish();
        return nullptr;
    }
    DiskClaim claim(access, sysRoot_, mountInfo_);
    DiskClaim::Claimed claimed;
    if (StepResult taken = claim.Take(disk, openFlags, &claimed); !taken.ok()) {
        taken.Publish();
        return nullptr;
    }
    options.afterClose = [&access, claim, disk, unmounted = std::move(claimed.unmounted)](
                             bool written, std::string* note) mutable {
        return AfterWriting(access, claim, disk, unmounted, written, note);
    };
    return Wrap(std::move(claimed.fd), std::move(options));
}

DeviceHandle LinuxStorage::OpenDiskForReading(const BlockDeviceInfo& disk, const Snapshot& snapshot,
                                              int openFlags, LinuxBlockDevice::Options options) {
    // Unbuffered reads see only what the mounted file systems wrote out.
    if (StepResult written = WriteOutVolumesOn(disk.name, snapshot); !written.ok()) {
        written.Publish();
        return nullptr;
    }
    DeviceHandle handle = OpenNode(disk, openFlags, options);
    if (handle || (errno != EACCES && errno != EPERM) || !PermissionsDeny(disk, openFlags)) {
        return handle;
    }
    UniqueFd fd;
    if (StepResult opened = Desktop().Open(disk, openFlags, &fd); !opened.ok()) {
        opened.Publish();
        return nullptr;
    }
    if (!DiskClaim::IsDisk(fd.get(), disk)) {
        return nullptr;
    }
    return Wrap(std::move(fd), std::move(options));
}

StepResult LinuxStorage::WriteOutVolumesOn(const std::string& diskName, const Snapshot& snapshot) {
    for (const MountEntry& entry : snapshot.mounts.entries()) {
        if (!snapshot.tree.DependsOn(entry.devno, diskName)) {
            continue;
        }
        if (StepResult written = direct_->WriteOut(entry); !written.ok()) {
            return written;
        }
    }
    return StepResult::Ok();
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
    if (target.kind == DrivePath::Kind::kRootPath || target.kind == DrivePath::Kind::kVolume) {
        return OpenVolume(snapshot, target.letter, openFlags);
    }
    if (target.kind == DrivePath::Kind::kPhysicalDrive) {
        return OpenPhysicalDrive(snapshot, target.number, openFlags);
    }
    errno = ENOENT;
    return nullptr;
}

DeviceHandle LinuxStorage::OpenVolume(const Snapshot& snapshot, char letter, int openFlags) {
    const Volume* volume = snapshot.volumes.ByLetter(letter);
    const BlockDeviceInfo* device = volume ? snapshot.tree.Find(volume->devno) : nullptr;
    if (device == nullptr) {
        errno = ENOENT;
        return nullptr;
    }
    // A volume handle serves queries and reads; the volume is written only as part of its
    // physical drive, after the safety steps of that open.
    LinuxBlockDevice::Options options;
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
    DeviceHandle handle = OpenNode(*device, openFlags, options);
    if (handle || (errno != EACCES && errno != EPERM) || disk == nullptr) {
        return handle;
    }
    // The node's permissions let this process in, yet the system refused (a security module, a
    // device cgroup): udisks2 is no way around that.
    if (!PermissionsDeny(*device, openFlags)) {
        errno = EPERM;
        return nullptr;
    }
    // A desktop user may not open the node, yet may write the disk through udisks2 when polkit
    // agrees: the scan's queries are answered from sysfs.
    if (!AskDesktop(*disk).ok()) {
        errno = EACCES;
        return nullptr;
    }
    return std::make_unique<QueryOnlyDevice>(options.extents, options.property);
}

DeviceHandle LinuxStorage::OpenPhysicalDrive(const Snapshot& snapshot, uint32_t number,
                                             int openFlags) {
    const BlockDeviceInfo* disk = CurrentDisk(snapshot.tree, number);
    if (disk == nullptr) {
        StepResult::Failed(ENODEV, WhyNotCurrent(snapshot.tree, number)).Publish();
        return nullptr;
    }
    LinuxBlockDevice::Options options;
    options.hasProperty = true;
    options.property = PropertyOf(*disk);
    if ((openFlags & O_ACCMODE) != O_RDONLY) {
        options.writable = true;
        return OpenDiskForWriting(*disk, openFlags, std::move(options));
    }
    return OpenDiskForReading(*disk, snapshot, openFlags, std::move(options));
}

FileHandle LinuxStorage::OpenFile(const std::string& path, const char* mode) {
    // An image is read decompressed when it is compressed; files are written as they are.
    if (std::strcmp(mode, "rb") == 0) {
        return OpenImageStream(path);
    }
    return StdioFileStream::Open(path, mode);
}

std::string LinuxStorage::NearestExisting(const std::string& path) {
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
    return error ? "" : resolved.string();
}

std::string LinuxStorage::VolumeLetterOfPath(const std::string& path) {
    const std::string resolved = NearestExisting(path);
    if (resolved.empty()) {
        return "";
    }
    const char letter = Look().volumes.LetterOfPath(resolved);
    return letter ? std::string(1, letter) : "";
}

std::vector<std::string> LinuxStorage::PhysicalDrivesOfPath(const std::string& path) {
    const std::string existing = NearestExisting(path);
    if (existing.empty()) {
        return {};
    }
    EnsureNumbered();
    const SysfsBlockTree tree = SysfsBlockTree::Load(sysRoot_);
    const MountTable mounts = MountTable::Load(mountInfo_).value_or(MountTable());
    std::vector<std::string> names;
    for (const std::string& diskName :
         DeviceStack(tree, mounts, sysRoot_).DisksBeneathPath(existing)) {
        for (size_t i = 0; i < disks_.size(); ++i) {
            if (disks_[i].name == diskName) {
                names.push_back(PhysicalDriveName(static_cast<uint32_t>(i)));
            }
        }
    }
    return names;
}

std::string LinuxStorage::ExplainPathOnDrive(const std::string& path, const std::string& name) {
    const std::string existing = NearestExisting(path);
    const std::string node = DeviceNodeOf(name);
    if (existing.empty() || node.empty()) {
        return "";
    }
    const SysfsBlockTree tree = SysfsBlockTree::Load(sysRoot_);
    const MountTable mounts = MountTable::Load(mountInfo_).value_or(MountTable());
    const std::string way = DeviceStack(tree, mounts, sysRoot_).WayToDisk(existing, node.substr(5));
    return way.empty() ? "" : path + " is on " + way + ", the drive it would be written to.";
}

std::string LinuxStorage::DeviceNodeOf(const std::string& physicalDriveName) {
    const std::optional<uint32_t> number = PhysicalDriveNumber(physicalDriveName);
    EnsureNumbered();
    if (!number || *number >= disks_.size()) {
        return "";
    }
    return "/dev/" + disks_[*number].name;
}

std::string LinuxStorage::PhysicalDriveNameOf(const std::string& deviceNode) {
    struct stat st {};
    if (::stat(deviceNode.c_str(), &st) != 0 || !S_ISBLK(st.st_mode)) {
        return "";
    }
    EnsureNumbered();
    for (size_t i = 0; i < disks_.size(); ++i) {
        if (disks_[i].devno == st.st_rdev) {
            return PhysicalDriveName(static_cast<uint32_t>(i));
        }
    }
    return "";
}

bool LinuxStorage::GetPhysicalDriveLength(const std::string& name, uint64_t* bytes) {
    const std::optional<uint32_t> number = PhysicalDriveNumber(name);
    if (!number) {
        return false;
    }
    EnsureNumbered();
    const SysfsBlockTree tree = SysfsBlockTree::Load(sysRoot_);
    const BlockDeviceInfo* disk = CurrentDisk(tree, *number);
    if (disk == nullptr) {
        return false;
    }
    *bytes = disk->sizeSectors * kSectorBytes;
    return true;
}

std::optional<DriveDescription> LinuxStorage::DescribePhysicalDrive(const std::string& name) {
    const std::optional<uint32_t> number = PhysicalDriveNumber(name);
    if (!number) {
        return std::nullopt;
    }
    EnsureNumbered();
    const Snapshot snapshot = Look();
    const BlockDeviceInfo* disk = CurrentDisk(snapshot.tree, *number);
    if (disk == nullptr) {
        return std::nullopt;
    }
    DriveDescription description =
        DriveDescriber(sysRoot_).Describe(*disk, snapshot.tree, snapshot.mounts, snapshot.volumes);
    description.name = PhysicalDriveName(*number);
    return description;
}

}  // namespace platform::storage
