#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/storage/file_stream.h"
#include "platform/storage/storage_services.h"

// How far a restore may fill the drive, and how its progress is counted.
struct RestoreBound {
    uint64_t room = 0;               // the drive's capacity, at most 2 GB
    bool roomIsTheDrive = false;     // the drive, not the 2 GB, is what ends the room
    std::optional<uint64_t> length;  // the image's, when known before it is read
    uint32_t sectors = 0;            // to be written: whole 2048-byte blocks, in 512-byte sectors

    // The bound of restoring image onto the physical drive name ("PHYSICALDRIVE1").
    static RestoreBound Of(const platform::storage::FileStream& image,
                           platform::storage::StorageServices& storage, const std::string& name);

    // An image of known length that cannot be written whole.
    bool TooLong() const { return length && *length > room; }

    // The position in thousandths after acc (4000 per block written): through the image when
    // its length is known, otherwise through the compressed file consumed so far.
    int32_t Progress(uint32_t acc, const platform::storage::FileStream& image) const;
};
