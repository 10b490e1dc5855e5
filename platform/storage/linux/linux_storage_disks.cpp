// LinuxStorage's account of every disk: its description and why the scan cannot file it.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/storage/drive_names.h"
#include "platform/storage/failure_cause.h"
#include "platform/storage/linux/drive_describer.h"
#include "platform/storage/linux/linux_storage.h"

namespace platform::storage {

namespace {

// A disk with a medium of its own: not empty, not in memory, not stacked on other disks.
bool HoldsItsOwnMedium(const BlockDeviceInfo& disk) {
    return disk.sizeSectors > 0 && disk.kind != DiskKind::kRam && disk.slaves.empty();
}

}  // namespace

std::vector<DriveDescription> LinuxStorage::DescribeDisks() {
    EnsureNumbered();
    const Snapshot snapshot = Look();
    const DriveDescriber describer(sysRoot_);
    std::vector<DriveDescription> descriptions;
    for (uint32_t number = 0; number < disks_.size(); ++number) {
        const BlockDeviceInfo* disk = CurrentDisk(snapshot.tree, number);
        if (disk == nullptr || !HoldsItsOwnMedium(*disk)) {
            continue;
        }
        DriveDescription description =
            describer.Describe(*disk, snapshot.tree, snapshot.mounts, snapshot.volumes);
        description.name = PhysicalDriveName(number);
        description.whyNotOffered = WhyNotFiled(snapshot, *disk, description.volumes);
        descriptions.push_back(std::move(description));
    }
    return descriptions;
}

std::string LinuxStorage::WhyNotFiled(const Snapshot& snapshot, const BlockDeviceInfo& disk,
                                      const std::vector<VolumeDescription>& volumes) {
    if (volumes.empty()) {
        return "it has no mounted volume";
    }
    std::optional<int> firstError;
    for (const VolumeDescription& volume : volumes) {
        // The scan's own open of a volume: the disk is filed when one of them opens.
        if (OpenVolume(snapshot, volume.letter.front(), O_RDWR)) {
            return "";
        }
        if (!firstError) {
            firstError = errno;
        }
    }
    const auto answer = desktopAnswers_.find({disk.devno, disk.diskSeq});
    if (answer == desktopAnswers_.end() || answer->second.ok()) {
        return WhyVolumeDidNotOpen(volumes.front(), *firstError);
    }
    switch (answer->second.error()) {
        case EACCES:
            return "polkit refused to let you open it through udisks2";
        case ENOTCONN:
            return "you may not open it yourself, and udisks2 or polkit is not running";
        default:
            return "you may not open it yourself, and udisks2 or polkit could not be asked (" +
                   ErrnoText(answer->second.error()) + ")";
    }
}

std::string LinuxStorage::WhyVolumeDidNotOpen(const VolumeDescription& volume, int error) const {
    const std::string opened = "its volume " + volume.letter + ":\\ cannot be opened";
    if (error != EPERM && error != EACCES) {
        return opened + " (" + ErrnoText(error) + ")";
    }
    // Permissions that let the process in were checked before: the system itself refuses.
    const std::string who =
        ::geteuid() == 0 ? "not even by root" : "although its permissions allow it";
    return opened + ": the system refuses it, " + who + " (" + ErrnoText(error) + ")";
}

}  // namespace platform::storage
