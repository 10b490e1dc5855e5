#include "platform/storage/linux/disk_claim.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "platform/storage/device_wait.h"
#include "platform/storage/failure_cause.h"
#include "platform/storage/linux/device_stack.h"
#include "platform/storage/linux/mount_usage.h"

namespace platform::storage {

namespace {

bool Contains(const std::vector<MountEntry>& mounts, const MountEntry& mount) {
    return std::any_of(mounts.begin(), mounts.end(),
                       [&](const MountEntry& other) { return other.mountId == mount.mountId; });
}

std::string BusyCause(const MountEntry& mount) {
    return mount.target + " is busy, held by " + MountUsage::Holders(mount) +
           ". Close what uses it and try again; the drive's volumes stay mounted.";
}

// Keeps errno across clean-up steps that may change it.
class ErrnoKeeper {
  public:
    ErrnoKeeper() : saved_(errno) {}
    ~ErrnoKeeper() { errno = saved_; }
    ErrnoKeeper(const ErrnoKeeper&) = delete;
    ErrnoKeeper& operator=(const ErrnoKeeper&) = delete;

  private:
    int saved_;
};

}  // namespace

DiskClaim::DiskClaim(DriveAccess& access, std::string sysRoot, std::string mountInfo,
                     std::string swapsPath)
    : access_(access),
      sysRoot_(std::move(sysRoot)),
      mountInfo_(std::move(mountInfo)),
      swapsPath_(std::move(swapsPath)) {}

DiskClaim::Look DiskClaim::LookNow() const {
    // Each look reads sysfs and the mount table afresh (milliseconds on a system of many
    // disks); the caller's thread answers its windows in between.
    WhileDeviceWaits();
    Look look{SysfsBlockTree::Load(sysRoot_), MountTable::Load(mountInfo_).value_or(MountTable()),
              MountTable()};
    look.mounts = look.raw;
    ResolveAnonymousDevices(look.mounts, look.tree);
    return look;
}

std::string DiskClaim::UserOf(const Look& look, const BlockDeviceInfo& disk) const {
    return DeviceStack(look.tree, look.raw, sysRoot_, swapsPath_).UserOf(disk);
}

std::vector<MountEntry> DiskClaim::MountsOf(const Look& look, const std::string& diskName) const {
    std::vector<MountEntry> own;
    for (const MountEntry& mount : look.mounts.entries()) {
        const BlockDeviceInfo* device = look.tree.Find(mount.devno);
        if (device != nullptr && (device->name == diskName || device->parent == diskName)) {
            own.push_back(mount);
        }
    }
    return own;
}

bool DiskClaim::IsCovered(const Look& look, const std::vector<MountEntry>& own) const {
    for (const MountEntry& other : look.mounts.entries()) {
        if (Contains(own, other)) {
            continue;
        }
        for (const MountEntry& mount : own) {
            if (IsAtOrInside(other.target, mount.target)) {
                SetFailureCause("Another file system is mounted at " + other.target +
                                ", on or inside the drive's volume at " + mount.target +
                                ". Only the drive's own volumes are unmounted, so none was.");
                return true;
            }
        }
    }
    return false;
}

bool DiskClaim::UnmountAll(const std::vector<MountEntry>& own, std::vector<MountEntry>* unmounted) {
    for (const MountEntry& mount : own) {
        if (!access_.CanUnmount(mount)) {
            if (errno != ENOENT && errno != EINVAL) {
                SetFailureCause(BusyCause(mount));
                errno = EBUSY;
            } else {
                SetFailureCause(mount.target + " changed while it was probed: " + ErrnoText(errno) +
                                ".");
            }
            return false;
        }
    }
    // Mounts stacked on others of the disk go first: the last mounted first.
    for (auto mount = own.rbegin(); mount != own.rend(); ++mount) {
        if (Contains(*unmounted, *mount)) {
            continue;
        }
        if (!access_.Unmount(*mount)) {
            // A holder this process may not see (another user's) shows only now.
            if (errno == EBUSY) {
                SetFailureCause(BusyCause(*mount));
            } else {
                SetFailureCauseIfNone("Unmounting " + mount->target +
                                      " failed: " + ErrnoText(errno) + ".");
            }
            return false;
        }
        unmounted->push_back(*mount);
    }
    return true;
}

void DiskClaim::RemountAll(const std::vector<MountEntry>& own,
                           const std::vector<MountEntry>& unmounted) {
    ErrnoKeeper keeper;
    for (const MountEntry& mount : own) {
        if (Contains(unmounted, mount)) {
            access_.Remount(mount);
        }
    }
}

bool DiskClaim::StillFree(const BlockDeviceInfo& disk) const {
    const Look look = LookNow();
    const std::vector<MountEntry> mounts = MountsOf(look, disk.name);
    const std::string user = mounts.empty() ? UserOf(look, disk) : mounts.front().target;
    if (!user.empty()) {
        SetFailureCause(
            "The drive was mounted or taken into use again while it was being "
            "claimed: " +
            user + ".");
        errno = EBUSY;
        return false;
    }
    return true;
}

bool DiskClaim::IsDisk(int fd, const BlockDeviceInfo& disk) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISBLK(st.st_mode) || st.st_rdev != disk.devno) {
        errno = ENODEV;
        return false;
    }
    uint64_t sequence = 0;
    if (disk.diskSeq != 0 &&
        (::ioctl(fd, BLKGETDISKSEQ, &sequence) != 0 || sequence != disk.diskSeq)) {
        errno = ENODEV;
        return false;
    }
    return true;
}

UniqueFd DiskClaim::Take(const BlockDeviceInfo& disk, int flags) {
    const Look look = LookNow();
    if (const std::string user = UserOf(look, disk); !user.empty()) {
        SetFailureCause("/dev/" + disk.name + " is in use by " + user +
                        ". Nothing was unmounted or written.");
        errno = EBUSY;
        return {};
    }
    const std::vector<MountEntry> own = MountsOf(look, disk.name);
    if (IsCovered(look, own)) {
        errno = EBUSY;
        return {};
    }
    // A probe may itself unmount a mount that an earlier probe marked; what is gone counts as
    // unmounted.
    std::vector<MountEntry> unmounted;
    const bool allUnmounted = UnmountAll(own, &unmounted);
    {
        ErrnoKeeper keeper;
        const std::vector<MountEntry> left = MountsOf(LookNow(), disk.name);
        for (const MountEntry& mount : own) {
            if (!Contains(left, mount) && !Contains(unmounted, mount)) {
                unmounted.push_back(mount);
            }
        }
    }
    UniqueFd fd;
    if (allUnmounted && StillFree(disk)) {
        fd = access_.Open(disk, flags | O_EXCL);
        if (!fd.valid()) {
            SetFailureCauseIfNone("Opening /dev/" + disk.name +
                                  " for writing failed: " + ErrnoText(errno) + ".");
        }
    }
    if (fd.valid() && !IsDisk(fd.get(), disk)) {
        ErrnoKeeper keeper;
        SetFailureCause(
            "The device opened is not the disk that was listed: its medium was "
            "swapped since the program started. Restart the program to see the "
            "drives as they are now.");
        fd = UniqueFd();
    }
    if (fd.valid() && !StillFree(disk)) {
        ErrnoKeeper keeper;
        fd = UniqueFd();
    }
    if (!fd.valid()) {
        RemountAll(own, unmounted);
    }
    return fd;
}

}  // namespace platform::storage
