#pragma once

#include <zlib.h>

#include <memory>

#include "platform/storage/compressed/file_input.h"
#include "platform/storage/compressed/image_decoder.h"

namespace platform::storage {

// A gzip file through zlib, which checks every member's CRC and length (libarchive's gzip filter
// checks neither, so a damaged stored block would reach the drive unnoticed). Members that follow
// each other are one image, as gzip -d gives them.
class GzipDecoder : public ImageDecoder {
  public:
    // Reads the file at fd (not owned) from its start; null when zlib cannot be set up.
    [[nodiscard]] static std::unique_ptr<GzipDecoder> Open(int fd);
    ~GzipDecoder() override;
    GzipDecoder(const GzipDecoder&) = delete;
    GzipDecoder& operator=(const GzipDecoder&) = delete;

    Status Step(unsigned char* out, size_t room, size_t* produced) override;
    std::optional<uint64_t> Length() const override { return std::nullopt; }
    uint64_t FileBytesConsumed() const override { return input_.consumed(); }
    // Every member ends with the CRC of its content.
    bool DecodedWithoutChecksum() const override { return false; }

  private:
    explicit GzipDecoder(int fd) : input_(fd) {}

    z_stream stream_{};
    FileInput input_;
    bool memberEnded_ = false;
};

}  // namespace platform::storage
