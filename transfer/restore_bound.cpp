#include "transfer/restore_bound.h"

#include <algorithm>

#include "transfer/transfer_units.h"

using namespace platform::storage;

RestoreBound RestoreBound::Of(const FileStream& image, StorageServices& storage,
                              const std::string& name) {
    RestoreBound bound;
    bound.room = kMaxImageBytes;
    uint64_t capacity = 0;
    if (storage.GetPhysicalDriveLength(name, &capacity) && capacity < bound.room) {
        bound.room = capacity;
        bound.roomIsTheDrive = true;
    }
    bound.length = image.Length();
    // Progress counts the blocks that will be written: the image's when its length is known.
    const uint64_t bytes = std::min(bound.length.value_or(bound.room), bound.room);
    bound.sectors = static_cast<uint32_t>((bytes + kBlockSize - 1) / kBlockSize) * kSectorsPerBlock;
    return bound;
}

int32_t RestoreBound::Progress(uint32_t acc, const FileStream& image) const {
    if (length) {
        return sectors == 0 ? 0 : static_cast<int32_t>(acc / sectors);
    }
    // A stream of unknown length (a compressed image) shows how far through its file it is.
    const uint64_t size = image.FileSize();
    return size == 0 ? 0
                     : static_cast<int32_t>(std::min<uint64_t>(
                           image.FileBytesConsumed() * kProgressRange / size, kProgressRange));
}
