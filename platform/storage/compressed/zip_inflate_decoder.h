#pragma once

#include <zlib.h>

#include <memory>

#include "platform/storage/compressed/file_input.h"
#include "platform/storage/compressed/image_decoder.h"
#include "platform/storage/compressed/zip_directory.h"

namespace platform::storage {

// The one file of a zip archive (see FindOnlyZipFile), stored or deflated, read through zlib in
// bounded steps. Its CRC and length are checked at its end; output past the recorded length, a
// deflate stream that ends before it or leaves compressed bytes over, and data that the file
// cuts short are damage.
class ZipInflateDecoder : public ImageDecoder {
  public:
    // The one file of the zip archive at fd (not owned); null when the archive does not hold
    // exactly one such file or zlib cannot be set up.
    [[nodiscard]] static std::unique_ptr<ZipInflateDecoder> Open(int fd);
    ~ZipInflateDecoder() override;
    ZipInflateDecoder(const ZipInflateDecoder&) = delete;
    ZipInflateDecoder& operator=(const ZipInflateDecoder&) = delete;

    Status Step(unsigned char* out, size_t room, size_t* produced) override;
    std::optional<uint64_t> Length() const override { return entry_.size; }
    // The directory after the data counts as read once the entry has ended.
    uint64_t FileBytesConsumed() const override;
    // Every zip entry records the CRC of its content.
    bool DecodedWithoutChecksum() const override { return false; }

  private:
    ZipInflateDecoder(int fd, const ZipFileEntry& entry);

    bool Copy(unsigned char* out, size_t offered, size_t* produced, bool* ended);
    bool Inflate(unsigned char* out, size_t offered, size_t* produced, bool* ended);
    bool WholeAndChecked() const;

    ZipFileEntry entry_;
    FileInput input_;
    z_stream stream_{};
    bool inflating_ = false;  // stream_ is set up
    uLong crc_ = 0;
    uint64_t decoded_ = 0;
    bool ended_ = false;
};

}  // namespace platform::storage
