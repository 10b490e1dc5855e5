#include "platform/storage/compressed/xz_decoder.h"

#include <algorithm>

namespace platform::storage {

namespace {

// About a millisecond of work.
constexpr size_t kStepOutputBytes = 64u << 10;
// More than any preset needs (xz -9 takes 65 MiB); a damaged header asks for no more.
constexpr uint64_t kMemoryLimit = 1ull << 30;

}  // namespace

std::unique_ptr<XzDecoder> XzDecoder::Open(int fd) {
    std::unique_ptr<XzDecoder> decoder(new XzDecoder(fd));
    const uint32_t flags = LZMA_CONCATENATED | LZMA_TELL_NO_CHECK | LZMA_TELL_UNSUPPORTED_CHECK;
    if (lzma_stream_decoder(&decoder->stream_, kMemoryLimit, flags) != LZMA_OK) {
        return nullptr;
    }
    return decoder;
}

XzDecoder::~XzDecoder() {
    lzma_end(&stream_);
}

ImageDecoder::Status XzDecoder::Step(unsigned char* out, size_t room, size_t* produced) {
    *produced = 0;
    if (ended_) {
        return Status::kEnd;
    }
    if (!input_.Fill()) {
        return Status::kDamaged;
    }
    const size_t given = input_.size();
    stream_.next_in = input_.data();
    stream_.avail_in = given;
    stream_.next_out = out;
    stream_.avail_out = std::min(room, kStepOutputBytes);
    const size_t offered = stream_.avail_out;
    // Only once the whole file is given may the last stream end.
    const lzma_ret result = lzma_code(&stream_, input_.AtEnd() ? LZMA_FINISH : LZMA_RUN);
    const size_t taken = given - stream_.avail_in;
    input_.Consume(taken);
    *produced = offered - stream_.avail_out;
    switch (result) {
        case LZMA_STREAM_END:
            ended_ = true;
            return *produced > 0 ? Status::kMore : Status::kEnd;
        case LZMA_NO_CHECK:
        case LZMA_UNSUPPORTED_CHECK:
            // Told once a stream's header is read; decoding goes on, unchecked.
            unchecked_ = true;
            return Status::kMore;
        case LZMA_OK:
            // Nothing taken, nothing given and no more input: the file ended inside a stream.
            return taken == 0 && *produced == 0 && input_.AtEnd() ? Status::kDamaged
                                                                  : Status::kMore;
        default:
            return Status::kDamaged;
    }
}

}  // namespace platform::storage
