#pragma once

#include <memory>

#include "platform/storage/compressed/image_decoder.h"

struct archive;

namespace platform::storage {

// An xz or zstd stream, or the one file of a zip archive, through libarchive. Each step takes one
// block of libarchive's output (64 KiB from xz, 128 KiB from zstd, at most 256 KiB from a zip
// entry), which libarchive decodes in a bounded time.
class ArchiveDecoder : public ImageDecoder {
  public:
    // The xz or zstd stream of the file at fd (not owned, read from its start); null when
    // libarchive finds no such stream or cannot read its header.
    [[nodiscard]] static std::unique_ptr<ArchiveDecoder> OpenStream(int fd);
    // The one file of the zip archive at fd (not owned, read from its start; folders do not
    // count); null when it holds none or several, an encrypted entry, a link or a device, or its
    // directory cannot be read.
    [[nodiscard]] static std::unique_ptr<ArchiveDecoder> OpenZipEntry(int fd);

    Status Step(unsigned char* out, size_t room, size_t* produced) override;
    std::optional<uint64_t> Length() const override { return length_; }
    uint64_t FileBytesConsumed() const override;

  private:
    struct Free {
        void operator()(archive* reader) const;
    };
    using Reader = std::unique_ptr<archive, Free>;

    static Reader OpenZip(int fd);
    static bool HoldsOneFile(int fd);

    ArchiveDecoder(Reader reader, std::optional<uint64_t> length)
        : reader_(std::move(reader)), length_(length) {}

    Reader reader_;
    std::optional<uint64_t> length_;
    const unsigned char* pending_ = nullptr;  // libarchive's block, valid until the next call
    size_t pendingBytes_ = 0;
    uint64_t decoded_ = 0;
    bool ended_ = false;
};

}  // namespace platform::storage
