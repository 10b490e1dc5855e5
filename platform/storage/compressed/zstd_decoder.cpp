#include "platform/storage/compressed/zstd_decoder.h"

#include <zstd.h>

#include <algorithm>

namespace platform::storage {

namespace {

// About a millisecond of work: libzstd decodes a block of at most 128 KiB at a time.
constexpr size_t kStepInputBytes = 64u << 10;
constexpr size_t kStepOutputBytes = 128u << 10;
// A frame opens with its magic number and the frame header descriptor, whose bit 2 says whether
// a checksum of the content follows the last block.
constexpr size_t kFrameStartBytes = 5;
constexpr unsigned char kChecksumFlag = 0x04;

uint32_t LittleEndian32(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

void ZstdDecoder::Free::operator()(ZSTD_DCtx_s* context) const {
    ZSTD_freeDCtx(context);
}

std::unique_ptr<ZstdDecoder> ZstdDecoder::Open(int fd) {
    std::unique_ptr<ZstdDecoder> decoder(new ZstdDecoder(fd));
    decoder->context_.reset(ZSTD_createDCtx());
    return decoder->context_ ? std::move(decoder) : nullptr;
}

// Anything but a frame with a checksum or a skippable frame counts as unchecked; what is not a
// frame at all fails to decode anyway.
void ZstdDecoder::NoteFrameStart() {
    if (input_.size() < kFrameStartBytes) {
        unchecked_ = true;
        return;
    }
    const uint32_t magic = LittleEndian32(input_.data());
    const bool skippable = (magic & ZSTD_MAGIC_SKIPPABLE_MASK) == ZSTD_MAGIC_SKIPPABLE_START;
    const bool checked = magic == ZSTD_MAGICNUMBER && (input_.data()[4] & kChecksumFlag) != 0;
    unchecked_ = unchecked_ || !(skippable || checked);
}

ImageDecoder::Status ZstdDecoder::Step(unsigned char* out, size_t room, size_t* produced) {
    *produced = 0;
    if (!input_.Fill(inFrame_ ? 1 : kFrameStartBytes)) {
        return Status::kDamaged;
    }
    if (!inFrame_) {
        if (input_.AtEnd()) {
            return Status::kEnd;
        }
        NoteFrameStart();
    }
    ZSTD_inBuffer in = {input_.data(), std::min(input_.size(), kStepInputBytes), 0};
    ZSTD_outBuffer outBuffer = {out, std::min(room, kStepOutputBytes), 0};
    const size_t result = ZSTD_decompressStream(context_.get(), &outBuffer, &in);
    input_.Consume(in.pos);
    *produced = outBuffer.pos;
    if (ZSTD_isError(result)) {
        return Status::kDamaged;
    }
    // 0: the frame is decoded and all of it given out; what follows starts a new one.
    inFrame_ = result != 0;
    // Nothing given and no more input: the file ended inside a frame.
    const bool stuck = inFrame_ && in.pos == 0 && *produced == 0 && input_.AtEnd();
    return stuck ? Status::kDamaged : Status::kMore;
}

}  // namespace platform::storage
