#pragma once

#include <memory>

#include "platform/storage/compressed/file_input.h"
#include "platform/storage/compressed/image_decoder.h"

struct ZSTD_DCtx_s;

namespace platform::storage {

// A zstd file through libzstd, in steps of bounded input and output. Frames that follow each other
// are one image, skippable frames give nothing, as zstd -d does. A frame's checksum is verified
// when the frame carries one; zstd --no-check writes frames without, whose damage may decode to
// wrong bytes without any error. Only the file's own layer is removed: zstd content is handed on
// as it is.
class ZstdDecoder : public ImageDecoder {
  public:
    // Reads the file at fd (not owned) from its start; null when libzstd cannot be set up.
    [[nodiscard]] static std::unique_ptr<ZstdDecoder> Open(int fd);

    Status Step(unsigned char* out, size_t room, size_t* produced) override;
    std::optional<uint64_t> Length() const override { return std::nullopt; }
    uint64_t FileBytesConsumed() const override { return input_.consumed(); }
    // A frame without its checksum has been started.
    bool DecodedWithoutChecksum() const override { return unchecked_; }

  private:
    struct Free {
        void operator()(ZSTD_DCtx_s* context) const;
    };

    explicit ZstdDecoder(int fd) : input_(fd) {}
    void NoteFrameStart();

    std::unique_ptr<ZSTD_DCtx_s, Free> context_;
    FileInput input_;
    bool inFrame_ = false;
    bool unchecked_ = false;
};

}  // namespace platform::storage
