#include "platform/storage/linux/direct_drive_access.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/storage/device_wait.h"
#include "platform/storage/failure_cause.h"
#include "platform/storage/linux/off_thread_call.h"

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

// The path no longer leads to the mount: it went, or another was mounted over it.
StepResult MountGone(const MountEntry& mount) {
    const int error = errno;
    if (error == EBUSY) {
        return StepResult::Failed(EBUSY, "Another file system was mounted over " + mount.target +
                                             " meanwhile. Only the drive's own volumes are "
                                             "unmounted.");
    }
    return StepResult::Failed(
        error, mount.target + " changed while it was being unmounted: " + ErrnoText(error) + ".");
}

// A busy mount has no cause here: who holds it is the caller's to tell.
StepResult UnmountFailure(const MountEntry& mount, int error) {
    if (error == EBUSY) {
        return StepResult::Failed(EBUSY);
    }
    return StepResult::Failed(error,
                              "Unmounting " + mount.target + " failed: " + ErrnoText(error) + ".");
}

}  // namespace

StepResult DirectDriveAccess::MayWrite(const BlockDeviceInfo& disk) {
    const std::string node = "/dev/" + disk.name;
    if (::faccessat(AT_FDCWD, node.c_str(), W_OK, AT_EACCESS) != 0) {
        return StepResult::Failed(errno);
    }
    return StepResult::Ok();
}

StepResult DirectDriveAccess::AfterEarlierWriteOut(const MountEntry& mount) {
    const auto earlier = writeOuts_.find(mount.mountId);
    if (earlier == writeOuts_.end()) {
        return StepResult::Ok();
    }
    if (!earlier->second.Wait(true)) {
        return StepResult::Failed(ECANCELED);
    }
    writeOuts_.erase(earlier);
    return StepResult::Ok();
}

StepResult DirectDriveAccess::CanUnmount(const MountEntry& mount) {
    if (StepResult free = AfterEarlierWriteOut(mount); !free.ok()) {
        return free;
    }
    if (!PathIsMount(mount)) {
        return MountGone(mount);
    }
    // An idle mount answers EAGAIN. A mount marked by an earlier probe and untouched since is
    // unmounted by this call; the caller finds it gone from the mount table.
    if (::umount2(mount.target.c_str(), MNT_EXPIRE | UMOUNT_NOFOLLOW) == 0 || errno == EAGAIN) {
        return StepResult::Ok();
    }
    return UnmountFailure(mount, errno);
}

StepResult DirectDriveAccess::WriteOut(const MountEntry& mount) {
    if (StepResult free = AfterEarlierWriteOut(mount); !free.ok()) {
        return free;
    }
    auto folder = std::make_shared<UniqueFd>(
        ::open(mount.target.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder->valid()) {
        return StepResult::Ok();  // gone meanwhile: nothing of it is left to write out
    }
    // A slow stick takes as long as the data it is given; the window answers meanwhile.
    const OffThreadCall writeOut([folder] { return ::syncfs(folder->get()); });
    const std::optional<CallOutcome> written = writeOut.Wait(true);
    if (!written) {
        writeOuts_.insert_or_assign(mount.mountId, writeOut);
        return StepResult::Failed(ECANCELED);
    }
    if (written->value != 0) {
        return StepResult::Failed(written->error,
                                  "Writing out what " + mount.target +
                                      " holds failed: " + ErrnoText(written->error) + ".");
    }
    return StepResult::Ok();
}

StepResult DirectDriveAccess::Unmount(const MountEntry& mount) {
    if (StepResult written = WriteOut(mount); !written.ok()) {
        return written;
    }
    if (!PathIsMount(mount)) {
        return MountGone(mount);
    }
    // Never detached lazily: a busy volume stays mounted and fails the open. What little was
    // written since the write-out goes out now; that is waited for, whatever the user asks.
    const std::string target = mount.target;
    const CallOutcome unmounted =
        *OffThreadCall([target] { return ::umount2(target.c_str(), UMOUNT_NOFOLLOW); }).Wait(false);
    return unmounted.value == 0 ? StepResult::Ok() : UnmountFailure(mount, unmounted.error);
}

StepResult DirectDriveAccess::Remount(const MountEntry& mount) {
    const unsigned long flags = MountFlagsOf(mount.vfsOptions);
    bool mounted = false;
    if (mount.fsRoot != "/") {
        mounted = BindAgain(mount, flags);
    } else {
        const std::string data = DataOf(mount.fsOptions);
        mounted = ::mount(mount.source.c_str(), mount.target.c_str(), mount.fsType.c_str(), flags,
                          data.empty() ? nullptr : data.c_str()) == 0;
    }
    if (!mounted) {
        return StepResult::Failed(
            errno, mount.target + " could not be mounted again: " + ErrnoText(errno) + ".");
    }
    return StepResult::Ok();
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

StepResult DirectDriveAccess::Open(const BlockDeviceInfo& disk, int flags, UniqueFd* fd) {
    const std::string node = "/dev/" + disk.name;
    *fd = UniqueFd(::open(node.c_str(), flags | O_CLOEXEC));
    return fd->valid() ? StepResult::Ok() : StepResult::Failed(errno);
}

StepResult DirectDriveAccess::RereadPartitions(const BlockDeviceInfo& disk) {
    // Someone (udev's probe, say) holding a partition open for a moment makes the disk busy, so
    // that is retried for a while. EINVAL: the disk takes no partitions (a loop device without
    // partition scanning), nothing to re-read.
    constexpr int kAttempts = 20;
    constexpr std::chrono::milliseconds kPause{100};
    UniqueFd fd;
    if (StepResult opened = Open(disk, O_RDONLY | O_NONBLOCK, &fd); !opened.ok()) {
        return opened;
    }
    for (int attempt = 1;; ++attempt) {
        if (::ioctl(fd.get(), BLKRRPART) == 0 || errno == EINVAL) {
            return StepResult::Ok();
        }
        if (errno != EBUSY || attempt == kAttempts) {
            return StepResult::Failed(errno, ErrnoText(errno));
        }
        PauseForDevice(kPause);
    }
}

}  // namespace platform::storage
