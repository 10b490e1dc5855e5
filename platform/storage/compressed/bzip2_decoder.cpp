#include "platform/storage/compressed/bzip2_decoder.h"

#include <algorithm>

namespace platform::storage {

namespace {

// About a millisecond of work each: Huffman decoding of 16 KiB of input, or the reordering that
// yields 64 KiB of output.
constexpr size_t kStepInputBytes = 16u << 10;
constexpr size_t kStepOutputBytes = 64u << 10;

}  // namespace

std::unique_ptr<Bzip2Decoder> Bzip2Decoder::Open(int fd) {
    std::unique_ptr<Bzip2Decoder> decoder(new Bzip2Decoder(fd));
    if (!decoder->StartStream()) {
        return nullptr;
    }
    return decoder;
}

Bzip2Decoder::~Bzip2Decoder() {
    if (started_) {
        BZ2_bzDecompressEnd(&stream_);
    }
}

bool Bzip2Decoder::StartStream() {
    if (started_) {
        BZ2_bzDecompressEnd(&stream_);
    }
    stream_ = bz_stream{};
    started_ = BZ2_bzDecompressInit(&stream_, 0, 0) == BZ_OK;
    streamEnded_ = false;
    return started_;
}

ImageDecoder::Status Bzip2Decoder::Step(unsigned char* out, size_t room, size_t* produced) {
    *produced = 0;
    if (!input_.Fill()) {
        return Status::kDamaged;
    }
    if (streamEnded_) {
        if (input_.AtEnd()) {
            return Status::kEnd;
        }
        // Whatever follows a stream must be the next one; anything else is damage.
        if (!StartStream()) {
            return Status::kDamaged;
        }
    }
    const size_t given = std::min(input_.size(), kStepInputBytes);
    const size_t offered = std::min(room, kStepOutputBytes);
    stream_.next_in = const_cast<char*>(reinterpret_cast<const char*>(input_.data()));
    stream_.avail_in = static_cast<unsigned int>(given);
    stream_.next_out = reinterpret_cast<char*>(out);
    stream_.avail_out = static_cast<unsigned int>(offered);
    const int result = BZ2_bzDecompress(&stream_);
    const size_t taken = given - stream_.avail_in;
    input_.Consume(taken);
    *produced = offered - stream_.avail_out;
    if (result == BZ_STREAM_END) {
        streamEnded_ = true;
        return Status::kMore;
    }
    if (result != BZ_OK) {
        return Status::kDamaged;
    }
    // Nothing taken, nothing given and no more input: the file ended inside a stream.
    const bool stuck = taken == 0 && *produced == 0 && input_.AtEnd();
    return stuck ? Status::kDamaged : Status::kMore;
}

}  // namespace platform::storage
