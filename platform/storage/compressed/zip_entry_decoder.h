#pragma once

#include <memory>

#include "platform/storage/compressed/image_decoder.h"

struct archive;

namespace platform::storage {

// The one file of a zip archive, through libarchive's zip reader, which takes no other format or
// compression filter: the entry's content is handed on as it is, compressed or not. Each step
// takes one block of libarchive's output (at most 256 KiB), which it decodes in a bounded time.
class ZipEntryDecoder : public ImageDecoder {
  public:
    // The one file of the zip archive at fd (not owned, read from its start; folders do not
    // count); null when it holds none or several, an encrypted entry, a link or a device, or its
    // directory cannot be read.
    [[nodiscard]] static std::unique_ptr<ZipEntryDecoder> Open(int fd);

    Status Step(unsigned char* out, size_t room, size_t* produced) override;
    std::optional<uint64_t> Length() const override { return length_; }
    uint64_t FileBytesConsumed() const override;
    // Every zip entry records the CRC of its content, which libarchive checks.
    bool DecodedWithoutChecksum() const override { return false; }

  private:
    struct Free {
        void operator()(archive* reader) const;
    };
    using Reader = std::unique_ptr<archive, Free>;

    static Reader OpenZip(int fd);
    static bool HoldsOneFile(int fd);

    ZipEntryDecoder(Reader reader, std::optional<uint64_t> length)
        : reader_(std::move(reader)), length_(length) {}

    Reader reader_;
    std::optional<uint64_t> length_;
    const unsigned char* pending_ = nullptr;  // libarchive's block, valid until the next call
    size_t pendingBytes_ = 0;
    uint64_t decoded_ = 0;
    bool ended_ = false;
};

}  // namespace platform::storage
