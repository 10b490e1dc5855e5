#pragma once

#include <bzlib.h>

#include <memory>

#include "platform/storage/compressed/file_input.h"
#include "platform/storage/compressed/image_decoder.h"

namespace platform::storage {

// A bzip2 file through libbz2, in steps of bounded input and output. A bzip2 block (up to 900 kB)
// gives no byte before all of it is decoded, which takes tens of milliseconds; libarchive's bzip2
// filter decodes a whole block in one call, this decoder in many small ones. Streams that follow
// each other (as parallel compressors write them) are one image.
class Bzip2Decoder : public ImageDecoder {
  public:
    // Reads the file at fd (not owned) from its start; null when libbz2 cannot be set up.
    [[nodiscard]] static std::unique_ptr<Bzip2Decoder> Open(int fd);
    ~Bzip2Decoder() override;
    Bzip2Decoder(const Bzip2Decoder&) = delete;
    Bzip2Decoder& operator=(const Bzip2Decoder&) = delete;

    Status Step(unsigned char* out, size_t room, size_t* produced) override;
    std::optional<uint64_t> Length() const override { return std::nullopt; }
    uint64_t FileBytesConsumed() const override { return input_.consumed(); }
    // Every block carries the CRC of its content, every stream one of its blocks'.
    bool DecodedWithoutChecksum() const override { return false; }

  private:
    explicit Bzip2Decoder(int fd) : input_(fd) {}
    bool StartStream();

    bz_stream stream_{};
    FileInput input_;
    bool started_ = false;
    bool streamEnded_ = false;
};

}  // namespace platform::storage
