#include "platform/storage/linux/device_stack.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace platform::storage {

namespace fs = std::filesystem;

namespace {

// Stacking deeper than this is taken as a cycle.
constexpr int kMaxDepth = 16;

// The loop driver shows a backing file that was removed with this suffix.
constexpr char kDeletedSuffix[] = " (deleted)";

std::string WithoutDeletedSuffix(std::string path) {
    const std::string suffix = kDeletedSuffix;
    if (path.size() > suffix.size() &&
        path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0) {
        path.resize(path.size() - suffix.size());
    }
    return path;
}

// The swap table writes blanks in names as \040.
std::string UnescapeBlanks(const std::string& text) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 4, "\\040") == 0) {
            plain += ' ';
            i += 3;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

}  // namespace

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

DeviceStack::DeviceStack(const SysfsBlockTree& tree, const MountTable& mounts, std::string sysRoot,
                         std::string swapsPath)
    : tree_(tree),
      mounts_(mounts),
      sysRoot_(std::move(sysRoot)),
      swapsPath_(std::move(swapsPath)) {}

std::set<std::string> DeviceStack::DisksBeneath(dev_t devno) const {
    std::set<std::string> disks;
    CollectFileSystem(devno, 0, &disks);
    return disks;
}

std::set<std::string> DeviceStack::DisksBeneathPath(const std::string& path) const {
    std::set<std::string> disks;
    CollectPath(path, 0, &disks);
    return disks;
}

void DeviceStack::CollectPath(const std::string& path, int depth,
                              std::set<std::string>* disks) const {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return;
    }
    if (S_ISBLK(st.st_mode)) {
        CollectDisks(tree_.Find(st.st_rdev), depth, disks);
    } else {
        CollectFileSystem(st.st_dev, depth, disks);
    }
}

void DeviceStack::CollectFileSystem(dev_t devno, int depth, std::set<std::string>* disks) const {
    if (const BlockDeviceInfo* device = tree_.Find(devno)) {
        CollectDisks(device, depth, disks);
        return;
    }
    // A file system on an anonymous device number (btrfs): its mount names the source device.
    for (const MountEntry& mount : mounts_.entries()) {
        if (mount.devno != devno) {
            continue;
        }
        if (mount.fsType == "btrfs") {
            for (const std::string& member : BtrfsMembers(mount)) {
                CollectDisks(tree_.FindByName(member), depth + 1, disks);
            }
        }
        if (!mount.source.empty() && mount.source.front() == '/') {
            struct stat st {};
            if (::stat(mount.source.c_str(), &st) == 0 && S_ISBLK(st.st_mode)) {
                CollectDisks(tree_.Find(st.st_rdev), depth + 1, disks);
            }
        }
    }
}

void DeviceStack::CollectDisks(const BlockDeviceInfo* device, int depth,
                               std::set<std::string>* disks) const {
    if (device == nullptr || depth > kMaxDepth) {
        return;
    }
    if (device->partition) {
        CollectDisks(tree_.FindByName(device->parent), depth + 1, disks);
        return;
    }
    if (!device->backingFile.empty()) {
        disks->insert(device->name);
        CollectPath(WithoutDeletedSuffix(device->backingFile), depth + 1, disks);
        return;
    }
    if (device->slaves.empty()) {
        disks->insert(device->name);
        return;
    }
    for (const std::string& slave : device->slaves) {
        CollectDisks(tree_.FindByName(slave), depth + 1, disks);
    }
}

std::set<std::string> DeviceStack::BtrfsMembers(const MountEntry& mount) const {
    // Each btrfs file system lists its member devices by kernel name under its UUID; the one
    // whose members include the mount's source device is this file system.
    const std::string sourceName = fs::path(mount.source).filename().string();
    std::error_code error;
    const fs::path btrfsRoot = fs::path(sysRoot_) / "fs" / "btrfs";
    for (fs::directory_iterator it(btrfsRoot, error), end; !error && it != end;
         it.increment(error)) {
        std::set<std::string> members;
        std::error_code inner;
        for (fs::directory_iterator member(it->path() / "devices", inner), done;
             !inner && member != done; member.increment(inner)) {
            members.insert(member->path().filename().string());
        }
        if (members.count(sourceName) != 0) {
            return members;
        }
    }
    return {};
}

std::string DeviceStack::WayToDisk(const std::string& path, const std::string& diskName) const {
    return PathWay(path, diskName, 0);
}

std::string DeviceStack::PathWay(const std::string& path, const std::string& diskName,
                                 int depth) const {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return "";
    }
    return S_ISBLK(st.st_mode) ? DeviceWay(tree_.Find(st.st_rdev), diskName, depth)
                               : FileSystemWay(st.st_dev, diskName, depth);
}

std::string DeviceStack::FileSystemWay(dev_t devno, const std::string& diskName, int depth) const {
    if (const BlockDeviceInfo* device = tree_.Find(devno)) {
        return DeviceWay(device, diskName, depth);
    }
    for (const MountEntry& mount : mounts_.entries()) {
        if (mount.devno != devno || mount.fsType != "btrfs") {
            continue;
        }
        for (const std::string& member : BtrfsMembers(mount)) {
            const std::string way = DeviceWay(tree_.FindByName(member), diskName, depth + 1);
            if (!way.empty()) {
                return "a btrfs file system with the member " + way;
            }
        }
    }
    return "";
}

std::string DeviceStack::DeviceWay(const BlockDeviceInfo* device, const std::string& diskName,
                                   int depth) const {
    if (device == nullptr || depth > kMaxDepth) {
        return "";
    }
    const std::string node = "/dev/" + device->name;
    if (device->name == diskName) {
        return node;
    }
    if (device->partition) {
        const std::string way = DeviceWay(tree_.FindByName(device->parent), diskName, depth + 1);
        return way.empty() ? "" : node + ", a partition of " + way;
    }
    if (!device->backingFile.empty()) {
        const std::string file = WithoutDeletedSuffix(device->backingFile);
        const std::string way = PathWay(file, diskName, depth + 1);
        return way.empty() ? "" : node + ", a loop device over " + file + ", which is on " + way;
    }
    for (const std::string& slave : device->slaves) {
        const std::string way = DeviceWay(tree_.FindByName(slave), diskName, depth + 1);
        if (!way.empty()) {
            return node + ", a device stacked on " + way;
        }
    }
    return "";
}

bool DeviceStack::OnDisk(const std::string& path, const std::string& diskName) const {
    return DisksBeneathPath(path).count(diskName) != 0;
}

std::string DeviceStack::UserOf(const BlockDeviceInfo& disk) const {
    for (const BlockDeviceInfo* device : tree_.Disks()) {
        if (device->name == disk.name) {
            continue;
        }
        if (!device->backingFile.empty() &&
            OnDisk(WithoutDeletedSuffix(device->backingFile), disk.name)) {
            return "/dev/" + device->name + ", a loop device over " +
                   WithoutDeletedSuffix(device->backingFile);
        }
        // A device stacked on the disk or a partition of it (dm, md) is one of their holders.
        if (tree_.DependsOn(device->devno, disk.name)) {
            return "/dev/" + device->name +
                   ", a device stacked on it (an open LUKS container, "
                   "an active LVM or RAID volume)";
        }
    }
    std::ifstream swaps(swapsPath_);
    std::string line;
    std::getline(swaps, line);  // the column titles
    while (std::getline(swaps, line)) {
        std::istringstream fields(line);
        std::string area;
        fields >> area;
        area = UnescapeBlanks(area);
        if (!area.empty() && OnDisk(area, disk.name)) {
            return "the swap area " + area;
        }
    }
    return "";
}

}  // namespace platform::storage
