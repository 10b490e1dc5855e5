#include "platform/storage/linux/sysfs_block_tree.h"

#include <sys/sysmacros.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "platform/storage/device_wait.h"

namespace platform::storage {

namespace fs = std::filesystem;

namespace {

// Stacking deeper than this is taken as a loop in a damaged tree.
constexpr int kMaxStackDepth = 16;

std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

uint64_t ReadNumber(const fs::path& file) {
    const std::string text = ReadAttribute(file);
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return value;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The bus a disk hangs on, from the folders of its device path (its resolved sysfs folder).
uint32_t BusTypeOf(const fs::path& diskFolder, const std::string& name) {
    std::error_code error;
    const fs::path devicePath = fs::canonical(diskFolder, error);
    if (error) {
        return BusTypeUnknown;
    }
    bool usb = false, nvme = false, ata = false, scsi = false, virtio = false, virt = false;
    for (const fs::path& part : devicePath) {
        const std::string folder = part.string();
        usb = usb || StartsWith(folder, "usb");
        nvme = nvme || StartsWith(folder, "nvme");
        ata = ata || StartsWith(folder, "ata");
        scsi = scsi || StartsWith(folder, "host") || StartsWith(folder, "target");
        virtio = virtio || StartsWith(folder, "virtio");
        virt = virt || folder == "virtual";
    }
    if (usb) {
        return BusTypeUsb;
    }
    if (StartsWith(name, "mmcblk")) {
        return ReadAttribute(diskFolder / "device" / "type") == "MMC" ? BusTypeMmc : BusTypeSd;
    }
    if (nvme) {
        return BusTypeNvme;
    }
    if (ata) {
        return BusTypeSata;
    }
    if (scsi) {
        return BusTypeScsi;
    }
    if (virtio || virt) {
        return BusTypeVirtual;
    }
    return BusTypeUnknown;
}

DiskKind KindOf(const fs::path& diskFolder, const std::string& name, dev_t devno) {
    constexpr unsigned kScsiCdromMajor = 11;
    constexpr char kScsiTypeRom[] = "5";
    if (StartsWith(name, "sr") || major(devno) == kScsiCdromMajor ||
        ReadAttribute(diskFolder / "device" / "type") == kScsiTypeRom) {
        return DiskKind::kOptical;
    }
    if (StartsWith(name, "zram") || StartsWith(name, "ram")) {
        return DiskKind::kRam;
    }
    return DiskKind::kOrdinary;
}

std::vector<std::string> SortedEntries(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

bool ParseDevNumber(const std::string& text, dev_t* devno) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) {
        return false;
    }
    unsigned long long parts[2] = {0, 0};
    const std::string halves[2] = {text.substr(0, colon), text.substr(colon + 1)};
    for (int i = 0; i < 2; ++i) {
        for (char c : halves[i]) {
            if (c < '0' || c > '9' || parts[i] > 0xFFFFFFFFull) {
                return false;
            }
            parts[i] = parts[i] * 10 + static_cast<unsigned>(c - '0');
        }
    }
    *devno = makedev(static_cast<unsigned>(parts[0]), static_cast<unsigned>(parts[1]));
    return true;
}

SysfsBlockTree SysfsBlockTree::Load(const std::string& sysRoot) {
    SysfsBlockTree tree;
    const fs::path blockRoot = fs::path(sysRoot) / "block";
    for (const std::string& name : SortedEntries(blockRoot)) {
        WhileDeviceWaits();  // some ten files a disk: the caller's windows answer between disks
        const fs::path folder = blockRoot / name;
        BlockDeviceInfo disk;
        disk.name = name;
        if (!ParseDevNumber(ReadAttribute(folder / "dev"), &disk.devno)) {
            continue;
        }
        disk.sizeSectors = ReadNumber(folder / "size");
        disk.diskSeq = ReadNumber(folder / "diskseq");
        disk.busType = BusTypeOf(folder, name);
        disk.kind = KindOf(folder, name, disk.devno);
        disk.removable = ReadAttribute(folder / "removable") == "1" || disk.busType == BusTypeUsb ||
                         disk.busType == BusTypeSd || disk.busType == BusTypeMmc;
        disk.readOnly = ReadAttribute(folder / "ro") == "1";
        disk.slaves = SortedEntries(folder / "slaves");
        disk.backingFile = ReadAttribute(folder / "loop" / "backing_file");
        tree.devices_.push_back(disk);

        for (const std::string& child : SortedEntries(folder)) {
            // A partition's folder bears its disk's name (sda1, mmcblk0p1); the disk's own
            // attributes, some thirty, need no look.
            const fs::path childFolder = folder / child;
            std::error_code error;
            if (!StartsWith(child, name) || !fs::exists(childFolder / "partition", error)) {
                continue;
            }
            BlockDeviceInfo part;
            part.name = child;
            part.partition = true;
            part.parent = name;
            if (!ParseDevNumber(ReadAttribute(childFolder / "dev"), &part.devno)) {
                continue;
            }
            part.startSector = ReadNumber(childFolder / "start");
            part.sizeSectors = ReadNumber(childFolder / "size");
            tree.devices_.push_back(part);
        }
    }
    return tree;
}

const BlockDeviceInfo* SysfsBlockTree::Find(dev_t devno) const {
    for (const BlockDeviceInfo& device : devices_) {
        if (device.devno == devno) {
            return &device;
        }
    }
    return nullptr;
}

const BlockDeviceInfo* SysfsBlockTree::FindByName(const std::string& name) const {
    for (const BlockDeviceInfo& device : devices_) {
        if (device.name == name) {
            return &device;
        }
    }
    return nullptr;
}

std::vector<const BlockDeviceInfo*> SysfsBlockTree::Disks() const {
    std::vector<const BlockDeviceInfo*> disks;
    for (const BlockDeviceInfo& device : devices_) {
        if (!device.partition) {
            disks.push_back(&device);
        }
    }
    std::sort(disks.begin(), disks.end(), [](const BlockDeviceInfo* a, const BlockDeviceInfo* b) {
        return std::make_tuple(major(a->devno), minor(a->devno)) <
               std::make_tuple(major(b->devno), minor(b->devno));
    });
    return disks;
}

const BlockDeviceInfo* SysfsBlockTree::UnderlyingDisk(dev_t devno) const {
    return UnderlyingDisk(Find(devno), 0);
}

const BlockDeviceInfo* SysfsBlockTree::UnderlyingDisk(const BlockDeviceInfo* device,
                                                      int depth) const {
    if (device == nullptr || depth > kMaxStackDepth) {
        return nullptr;
    }
    if (device->partition) {
        return UnderlyingDisk(FindByName(device->parent), depth + 1);
    }
    if (device->slaves.empty()) {
        return device;
    }
    return UnderlyingDisk(FindByName(device->slaves.front()), depth + 1);
}

bool SysfsBlockTree::DependsOn(dev_t devno, const std::string& diskName) const {
    return DependsOn(Find(devno), diskName, 0);
}

bool SysfsBlockTree::DependsOn(const BlockDeviceInfo* device, const std::string& diskName,
                               int depth) const {
    if (device == nullptr || depth > kMaxStackDepth) {
        return false;
    }
    if (device->name == diskName) {
        return true;
    }
    if (device->partition) {
        return DependsOn(FindByName(device->parent), diskName, depth + 1);
    }
    for (const std::string& slave : device->slaves) {
        if (DependsOn(FindByName(slave), diskName, depth + 1)) {
            return true;
        }
    }
    return false;
}

}  // namespace platform::storage
