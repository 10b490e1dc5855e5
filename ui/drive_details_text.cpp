#include "ui/drive_details_text.h"

#include "platform/storage/failure_cause.h"

namespace {

using platform::storage::DriveDescription;
using platform::storage::VolumeDescription;

std::string OrUnknown(const std::string& text) {
    return text.empty() ? "unknown" : text;
}

std::string ModelText(const DriveDescription& description) {
    if (description.vendor.empty() || description.model.empty()) {
        return OrUnknown(description.vendor + description.model);
    }
    return description.vendor + " " + description.model;
}

const VolumeDescription* VolumeOf(const DriveDescription& description, const std::string& letter) {
    for (const VolumeDescription& volume : description.volumes) {
        if (volume.letter == letter) {
            return &volume;
        }
    }
    return nullptr;
}

std::string VolumeLine(const std::string& letter, const VolumeDescription* volume) {
    const std::string root = letter + ":\\";
    if (volume == nullptr) {
        return root + " is no longer mounted";
    }
    const std::string fileSystem =
        volume->fileSystem.empty() ? "unknown file system" : volume->fileSystem;
    const std::string label =
        volume->label.empty() ? "no label" : "label \"" + volume->label + "\"";
    // On Windows a volume is known by its root alone.
    const std::string where = volume->mountPoint.empty() || volume->mountPoint == root
                                  ? root
                                  : root + " on " + volume->mountPoint;
    return where + ": " + fileSystem + ", " + label;
}

}  // namespace

std::string CapacityText(uint64_t bytes) {
    return platform::storage::ByteCountText(bytes);
}

std::string RoundedSizeText(uint64_t bytes) {
    return platform::storage::RoundedByteCountText(bytes);
}

std::string DriveNameText(const DriveDescription& description) {
    const std::string device =
        description.deviceNode.empty() ? "unknown device" : description.deviceNode;
    const std::string model = description.vendor.empty() && description.model.empty()
                                  ? "unknown model"
                                  : ModelText(description);
    return device + " (" + model + ")";
}

std::string DriveDetailsText(const PhysicalDriveEntry& entry,
                             const std::optional<DriveDescription>& description) {
    if (!description) {
        return "No details are known of this drive.";
    }
    std::string text = "Device: " + OrUnknown(description->deviceNode) + "\n";
    text += "Model: " + ModelText(*description) + "\n";
    text += "Transport: " + OrUnknown(description->transport) + "\n";
    text += "Capacity: " + CapacityText(description->capacityBytes);
    for (const auto& [letter, volume] : entry.volumes) {
        text += "\n" + VolumeLine(letter, VolumeOf(*description, letter));
    }
    return text;
}
