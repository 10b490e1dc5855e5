#include "ui/unoffered_drives_text.h"

#include "transfer/disk_imager.h"
#include "ui/drive_details_text.h"

namespace {

using platform::storage::DriveDescription;

std::string TooLargeText(int64_t totalKB) {
    return "its volumes add up to " + std::to_string(totalKB) + " KB (" +
           RoundedSizeText(static_cast<uint64_t>(totalKB) * 1024) + "), more than 2 GB";
}

// What the scan would count for the disk's volumes, in KB.
int64_t VolumesKB(const DriveDescription& disk) {
    int64_t total = 0;
    for (const platform::storage::VolumeDescription& volume : disk.volumes) {
        total += static_cast<int64_t>(volume.sizeBytes >> 10);
    }
    return total;
}

// Why the disk is not offered; empty when it is. Volumes of more than 2 GB come first: such a
// disk is not offered whatever else is true of it.
std::string WhyNotOffered(const DriveDescription& disk, const DriveMap& drives) {
    const auto filed = drives.find(disk.name);
    if (filed != drives.end()) {
        return filed->second->totalKB > kMaxImageKB ? TooLargeText(filed->second->totalKB) : "";
    }
    if (VolumesKB(disk) > kMaxImageKB) {
        return TooLargeText(VolumesKB(disk));
    }
    if (!disk.whyNotOffered.empty()) {
        return disk.whyNotOffered;
    }
    // Its volume came after the scan.
    return "no volume of it was found when the drives were scanned";
}

}  // namespace

std::string UnofferedDrivesText(const std::vector<DriveDescription>& disks,
                                const DriveMap& drives) {
    if (disks.empty() && drives.empty()) {
        return "No disk was found.";
    }
    std::string lines;
    for (const DriveDescription& disk : disks) {
        const std::string why = WhyNotOffered(disk, drives);
        if (!why.empty()) {
            lines += "\n" + DriveNameText(disk) + ": " + why;
        }
    }
    return lines.empty() ? "" : "Disks not offered as targets:" + lines;
}
