#include "platform/storage/linux/direct_drive_access.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/storage/device_wait.h"

namespace platform::storage {

namespace {

// Whether the path leads to the mount with this id (and not to one stacked on it since).
bool PathIsMount(const MountEntry& mount) {
    struct statx stx {};
    if (::statx(AT_FDCWD, mount.target.c_str(), AT_NO_AUTOMOUNT | AT_SYMLINK_NOFOLLOW, STATX_MNT_ID,
                &stx) != 0) {
        return false;
    }
    if ((stx.stx_mask & STATX_MNT_ID) == 0 ||
        stx.stx_mnt_id != static_cast<uint64_t>(mount.mountId)) {
        errno = EBUSY;
        return false;
    }
    return true;
}

std::vector<std::string> SplitOptions(const std::string& options) {
    std::vector<std::string> parts;
    std::istringstream in(options);
    for (std::string part; std::getline(in, part, ',');) {
        if (!part.empty()) {
            parts.push_back(part);
        }
    }
    return parts;
}

// The mount(2) flags of the per-mount options shown in mountinfo.
unsigned long MountFlagsOf(const std::string& vfsOptions) {
    static const std::pair<const char*, unsigned long> kFlags[] = {
        {"ro", MS_RDONLY},         {"nosuid", MS_NOSUID},
        {"nodev", MS_NODEV},       {"noexec", MS_NOEXEC},
        {"sync", MS_SYNCHRONOUS},  {"dirsync", MS_DIRSYNC},
        {"noatime", MS_NOATIME},   {"nodiratime", MS_NODIRATIME},
        {"relatime", MS_RELATIME}, {"strictatime", MS_STRICTATIME},
        {"lazytime", MS_LAZYTIME}, {"mand", MS_MANDLOCK},
    };
    unsigned long flags = 0;
    for (const std::string& option : SplitOptions(vfsOptions)) {
        for (const auto& [name, flag] : kFlags) {
            if (option == name) {
                flags |= flag;
            }
        }
    }
    return flags;
}

// The file system's own options, without the read-only switch that the flags carry.
std::string DataOf(const std::string& fsOptions) {
    std::string data;
    for (const std::string& option : SplitOptions(fsOptions)) {
        if (option == "rw" || option == "ro") {
            continue;
        }
        data += (data.empty() ? "" : ",") + option;
    }
    return data;
}

}  // namespace

bool DirectDriveAccess::MayWrite(const BlockDeviceInfo& disk) {
    const std::string node = "/dev/" + disk.name;
    return ::faccessat(AT_FDCWD, node.c_str(), W_OK, AT_EACCESS) == 0;
}

bool DirectDriveAccess::CanUnmount(const MountEntry& mount) {
    if (!PathIsMount(mount)) {
        return false;
    }
    // An idle mount answers EAGAIN. A mount marked by an earlier probe and untouched since is
    // unmounted by this call; the caller finds it gone from the mount table.
    return ::umount2(mount.target.c_str(), MNT_EXPIRE | UMOUNT_NOFOLLOW) == 0 || errno == EAGAIN;
}

bool DirectDriveAccess::Unmount(const MountEntry& mount) {
    // Never detached lazily: a busy volume stays mounted and fails the open.
    return PathIsMount(mount) && ::umount2(mount.target.c_str(), UMOUNT_NOFOLLOW) == 0;
}

bool DirectDriveAccess::Remount(const MountEntry& mount) {
    const unsigned long flags = MountFlagsOf(mount.vfsOptions);
    if (mount.fsRoot != "/") {
        return BindAgain(mount, flags);
    }
    const std::string data = DataOf(mount.fsOptions);
    return ::mount(mount.source.c_str(), mount.target.c_str(), mount.fsType.c_str(), flags,
                   data.empty() ? nullptr : data.c_str()) == 0;
}

bool DirectDriveAccess::BindAgain(const MountEntry& mount, unsigned long flags) {
    // A bind mount of a folder comes back from a mount of the whole file system, which is
    // mounted again first because it came first.
    const MountTable table = MountTable::Load(mountInfo_).value_or(MountTable());
    const MountEntry* whole = nullptr;
    for (const MountEntry& entry : table.entries()) {
        if (entry.devno == mount.devno && entry.fsRoot == "/") {
            whole = &entry;
            break;
        }
    }
    if (whole == nullptr) {
        errno = ENOENT;
        return false;
    }
    const std::string from = (whole->target == "/" ? "" : whole->target) + mount.fsRoot;
    if (::mount(from.c_str(), mount.target.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        return false;
    }
    return flags == 0 || ::mount(nullptr, mount.target.c_str(), nullptr,
                                 MS_REMOUNT | MS_BIND | flags, nullptr) == 0;
}

UniqueFd DirectDriveAccess::Open(const BlockDeviceInfo& disk, int flags) {
    const std::string node = "/dev/" + disk.name;
    return UniqueFd(::open(node.c_str(), flags | O_CLOEXEC));
}

bool DirectDriveAccess::RereadPartitions(const BlockDeviceInfo& disk) {
    // Someone (udev's probe, say) holding a partition open for a moment makes the disk busy, so
    // that is retried for a while. EINVAL: the disk takes no partitions (a loop device without
    // partition scanning), nothing to re-read.
    constexpr int kAttempts = 20;
    constexpr std::chrono::milliseconds kPause{100};
    UniqueFd fd = Open(disk, O_RDONLY | O_NONBLOCK);
    if (!fd.valid()) {
        return false;
    }
    for (int attempt = 1;; ++attempt) {
        if (::ioctl(fd.get(), BLKRRPART) == 0 || errno == EINVAL) {
            return true;
        }
        if (errno != EBUSY || attempt == kAttempts) {
            return false;
        }
        PauseForDevice(kPause);
    }
}

}  // namespace platform::storage
