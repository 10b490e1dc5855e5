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

StepResult Busy(const MountEntry& mount) {
    return StepResult::Failed(EBUSY, mount.target + " is busy, held by " +
                                         MountUsage::Holders(mount) +
                                         ". Close what uses it and try again; the drive's "
                                         "volumes stay mounted.");
}

// A mount that cannot be unmounted: busy only when the system said so.
StepResult NotUnmountable(const StepResult& result, const MountEntry& mount) {
    if (result.error() == EBUSY && result.cause().empty()) {
        return Busy(mount);
    }
    return result.OrCause(mount.target + " cannot be unmounted: " + ErrnoText(result.error()) +
                          ". Nothing was written.");
}

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

StepResult DiskClaim::NotCovered(const Look& look, const std::vector<MountEntry>& own) const {
    for (const MountEntry& other : look.mounts.entries()) {
        if (Contains(own, other)) {
            continue;
        }
        for (const MountEntry& mount : own) {
            if (IsAtOrInside(other.target, mount.target)) {
                return StepResult::Failed(
                    EBUSY, "Another file system is mounted at " + other.target +
                               ", on or inside the drive's volume at " + mount.target +
                               ". Only the drive's own volumes are unmounted, so none was.");
            }
        }
    }
    return StepResult::Ok();
}

StepResult DiskClaim::AllIdle(const std::vector<MountEntry>& own) {
    for (const MountEntry& mount : own) {
        if (StepResult idle = access_.CanUnmount(mount); !idle.ok()) {
            return idle.error() == ECANCELED ? idle : NotUnmountable(idle, mount);
        }
    }
    return StepResult::Ok();
}

StepResult DiskClaim::UnmountAll(const std::vector<MountEntry>& own,
                                 std::vector<MountEntry>* unmounted) {
    // Mounts stacked on others of the disk go first: the last mounted first.
    for (auto mount = own.rbegin(); mount != own.rend(); ++mount) {
        if (Contains(*unmounted, *mount)) {
            continue;
        }
        if (StopRequested()) {
            return StepResult::Failed(ECANCELED);
        }
        // A holder this process may not see (another user's) shows only now.
        if (StepResult done = access_.Unmount(*mount); !done.ok()) {
            return done.error() == ECANCELED ? done : NotUnmountable(done, *mount);
        }
        unmounted->push_back(*mount);
    }
    return StepResult::Ok();
}

std::vector<MountEntry> DiskClaim::Unmounted(const BlockDeviceInfo& disk,
                                             const std::vector<MountEntry>& own,
                                             const std::vector<MountEntry>& unmounted) const {
    const std::vector<MountEntry> left = MountsOf(LookNow(), disk.name);
    std::vector<MountEntry> inOrder;
    for (const MountEntry& mount : own) {
        if (Contains(unmounted, mount) || !Contains(left, mount)) {
            inOrder.push_back(mount);
        }
    }
    return inOrder;
}

StepResult DiskClaim::GiveBack(const std::vector<MountEntry>& unmounted) {
    const StopIgnored givingBack;
    std::string stayUnmounted;
    int error = 0;
    for (const MountEntry& mount : unmounted) {
        if (StepResult mounted = access_.Remount(mount); !mounted.ok()) {
            stayUnmounted += (stayUnmounted.empty() ? "" : " ") + mounted.cause();
            error = error == 0 ? mounted.error() : error;
        }
    }
    return error == 0 ? StepResult::Ok() : StepResult::Failed(error, stayUnmounted);
}

StepResult DiskClaim::Undo(const StepResult& failure, const std::vector<MountEntry>& unmounted) {
    const StepResult givenBack = GiveBack(unmounted);
    std::string how;
    if (failure.error() == ECANCELED) {
        // A Stop: the cause says how the drive's volumes were left.
        how = unmounted.empty() ? "Its volumes stayed mounted."
                                : "Its volumes, unmounted meanwhile, are mounted again.";
        if (!givenBack.ok()) {
            how = "Not all of its volumes could be mounted again: " + givenBack.cause();
        }
        return StepResult::Failed(ECANCELED,
                                  failure.cause().empty() ? how : how + " " + failure.cause());
    }
    if (!givenBack.ok()) {
        return StepResult::Failed(failure.error(), failure.cause() + " " + givenBack.cause());
    }
    return failure;
}

StepResult DiskClaim::StillFree(const BlockDeviceInfo& disk) const {
    const Look look = LookNow();
    const std::vector<MountEntry> mounts = MountsOf(look, disk.name);
    const std::string user = mounts.empty() ? UserOf(look, disk) : mounts.front().target;
    if (!user.empty()) {
        return StepResult::Failed(EBUSY,
                                  "The drive was mounted or taken into use again while it was "
                                  "being claimed: " +
                                      user + ".");
    }
    return StepResult::Ok();
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

StepResult DiskClaim::OpenChecked(const BlockDeviceInfo& disk, int flags, UniqueFd* fd) {
    if (StepResult free = StillFree(disk); !free.ok()) {
        return free;
    }
    if (StopRequested()) {
        return StepResult::Failed(ECANCELED);
    }
    const std::string node = "/dev/" + disk.name;
    if (StepResult opened = access_.Open(disk, flags | O_EXCL, fd); !opened.ok()) {
        return opened.error() == ECANCELED
                   ? opened
                   : opened.OrCause("Opening " + node +
                                    " for writing failed: " + ErrnoText(opened.error()) + ".");
    }
    if (!IsDisk(fd->get(), disk)) {
        *fd = UniqueFd();
        return StepResult::Failed(ENODEV,
                                  "The device opened is not the disk that was listed: its "
                                  "medium was swapped since the program started. Restart the "
                                  "program to see the drives as they are now.");
    }
    if (StepResult free = StillFree(disk); !free.ok()) {
        *fd = UniqueFd();
        return free;
    }
    return StepResult::Ok();
}

StepResult DiskClaim::Take(const BlockDeviceInfo& disk, int flags, Claimed* claimed) {
    const Look look = LookNow();
    if (const std::string user = UserOf(look, disk); !user.empty()) {
        return StepResult::Failed(EBUSY, "/dev/" + disk.name + " is in use by " + user +
                                             ". Nothing was unmounted or written.");
    }
    const std::vector<MountEntry> own = MountsOf(look, disk.name);
    if (StepResult free = NotCovered(look, own); !free.ok()) {
        return free;
    }
    // All or nothing: no mount is unmounted while another one is busy.
    if (StepResult idle = AllIdle(own); !idle.ok()) {
        return Undo(idle, Unmounted(disk, own, {}));
    }
    std::vector<MountEntry> unmounted;
    StepResult taken = UnmountAll(own, &unmounted);
    if (taken.ok()) {
        taken = OpenChecked(disk, flags, &claimed->fd);
    }
    const std::vector<MountEntry> gone = Unmounted(disk, own, unmounted);
    if (!taken.ok()) {
        return Undo(taken, gone);
    }
    claimed->unmounted = gone;
    return StepResult::Ok();
}

}  // namespace platform::storage
