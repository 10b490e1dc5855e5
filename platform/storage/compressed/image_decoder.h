#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace platform::storage {

// The decompressor behind a compressed image file. Each Step does a bounded amount of work, so a
// reader can spread a slow stretch (a bzip2 block) over many of its calls.
class ImageDecoder {
  public:
    enum class Status {
        kMore,     // more may follow
        kEnd,      // the image has ended, nothing was produced
        kDamaged,  // the file is damaged, truncated or unreadable; nothing more follows
    };

    virtual ~ImageDecoder() = default;

    // Decodes the next bytes of the image into out (room > 0 bytes); *produced may be 0 while the
    // decoder works through input that yields nothing yet.
    virtual Status Step(unsigned char* out, size_t room, size_t* produced) = 0;

    // The image's length, when the file records it before the data.
    virtual std::optional<uint64_t> Length() const = 0;

    // Bytes of the file consumed so far.
    virtual uint64_t FileBytesConsumed() const = 0;

    // Whether some of what the decoder has started on carries no checksum of its own (a zstd
    // frame written without one), so that damage there may decode to wrong bytes without error.
    // Once true, stays true.
    virtual bool DecodedWithoutChecksum() const = 0;
};

}  // namespace platform::storage
