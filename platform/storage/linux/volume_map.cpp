#include "platform/storage/linux/volume_map.h"

#include <sys/sysmacros.h>

#include <algorithm>
#include <tuple>

namespace platform::storage {

namespace {

constexpr char kRootLetter = 'C';
constexpr char kLastLetter = 'Z';

}  // namespace

VolumeMap VolumeMap::Build(const MountTable& mounts, const SysfsBlockTree& tree) {
    VolumeMap map;
    map.mounts_ = mounts;

    // The first mount of each device, replaced by a later one only when that one shows the whole
    // file system and the first showed a folder of it.
    std::vector<const MountEntry*> chosen;
    for (const MountEntry& entry : mounts.entries()) {
        const BlockDeviceInfo* device = tree.Find(entry.devno);
        if (device == nullptr) {
            continue;
        }
        auto same = std::find_if(chosen.begin(), chosen.end(), [&](const MountEntry* other) {
            return other->devno == entry.devno;
        });
        if (same == chosen.end()) {
            chosen.push_back(&entry);
        } else if ((*same)->fsRoot != "/" && entry.fsRoot == "/") {
            *same = &entry;
        }
    }

    const MountEntry* root = nullptr;
    for (const MountEntry& entry : mounts.entries()) {
        if (entry.target == "/" && tree.Find(entry.devno) != nullptr) {
            root = &entry;  // the last mount on / is the visible root
        }
    }
    std::sort(chosen.begin(), chosen.end(), [](const MountEntry* a, const MountEntry* b) {
        return std::make_tuple(major(a->devno), minor(a->devno)) <
               std::make_tuple(major(b->devno), minor(b->devno));
    });

    char next = kRootLetter + 1;
    for (const MountEntry* entry : chosen) {
        Volume volume;
        volume.devno = entry->devno;
        volume.deviceName = tree.Find(entry->devno)->name;
        volume.mountPoint = entry->target;
        if (root != nullptr && entry->devno == root->devno) {
            volume.letter = kRootLetter;
            volume.mountPoint = root->target;
        } else if (next <= kLastLetter) {
            volume.letter = next++;
        } else {
            continue;
        }
        map.volumes_.push_back(volume);
    }
    std::sort(map.volumes_.begin(), map.volumes_.end(),
              [](const Volume& a, const Volume& b) { return a.letter < b.letter; });
    return map;
}

uint32_t VolumeMap::LetterMask() const {
    uint32_t mask = 0;
    for (const Volume& volume : volumes_) {
        mask |= 1u << (volume.letter - 'A');
    }
    return mask;
}

const Volume* VolumeMap::ByLetter(char letter) const {
    for (const Volume& volume : volumes_) {
        if (volume.letter == letter) {
            return &volume;
        }
    }
    return nullptr;
}

const Volume* VolumeMap::ByDevice(dev_t devno) const {
    for (const Volume& volume : volumes_) {
        if (volume.devno == devno) {
            return &volume;
        }
    }
    return nullptr;
}

char VolumeMap::LetterOfPath(const std::string& resolvedPath) const {
    const MountEntry* mount = mounts_.Holding(resolvedPath);
    if (mount == nullptr) {
        return 0;
    }
    const Volume* volume = ByDevice(mount->devno);
    return volume ? volume->letter : 0;
}

}  // namespace platform::storage
