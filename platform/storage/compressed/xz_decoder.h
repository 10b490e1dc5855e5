#pragma once

#include <lzma.h>

#include <memory>

#include "platform/storage/compressed/file_input.h"
#include "platform/storage/compressed/image_decoder.h"

namespace platform::storage {

// An xz file through liblzma, which verifies each block's check (CRC32, CRC64 or SHA-256) and the
// index. Streams that follow each other, with the padding between them, are one image, as xz -d
// gives them. Only the file's own layer is removed: xz content is handed on as it is.
class XzDecoder : public ImageDecoder {
  public:
    // Reads the file at fd (not owned) from its start; null when liblzma cannot be set up.
    [[nodiscard]] static std::unique_ptr<XzDecoder> Open(int fd);
    ~XzDecoder() override;
    XzDecoder(const XzDecoder&) = delete;
    XzDecoder& operator=(const XzDecoder&) = delete;

    Status Step(unsigned char* out, size_t room, size_t* produced) override;
    std::optional<uint64_t> Length() const override { return std::nullopt; }
    uint64_t FileBytesConsumed() const override { return input_.consumed(); }
    // A stream written without a check (xz --check=none), or with one liblzma does not know.
    bool DecodedWithoutChecksum() const override { return unchecked_; }

  private:
    explicit XzDecoder(int fd) : input_(fd) {}

    lzma_stream stream_ = LZMA_STREAM_INIT;
    FileInput input_;
    bool ended_ = false;
    bool unchecked_ = false;
};

}  // namespace platform::storage
