#include "platform/storage/compressed/gzip_decoder.h"

#include <algorithm>

namespace platform::storage {

namespace {

constexpr size_t kStepOutputBytes = 64u << 10;
constexpr int kGzipOnly = 16 + MAX_WBITS;

}  // namespace

std::unique_ptr<GzipDecoder> GzipDecoder::Open(int fd) {
    std::unique_ptr<GzipDecoder> decoder(new GzipDecoder(fd));
    if (inflateInit2(&decoder->stream_, kGzipOnly) != Z_OK) {
        return nullptr;
    }
    return decoder;
}

GzipDecoder::~GzipDecoder() {
    inflateEnd(&stream_);
}

ImageDecoder::Status GzipDecoder::Step(unsigned char* out, size_t room, size_t* produced) {
    *produced = 0;
    if (!input_.Fill()) {
        return Status::kDamaged;
    }
    if (memberEnded_) {
        if (input_.AtEnd()) {
            return Status::kEnd;
        }
        // Whatever follows a member must be the next one; anything else is damage.
        if (inflateReset(&stream_) != Z_OK) {
            return Status::kDamaged;
        }
        memberEnded_ = false;
    }
    const size_t given = input_.size();
    stream_.next_in = const_cast<Bytef*>(input_.data());
    stream_.avail_in = static_cast<uInt>(given);
    stream_.next_out = out;
    stream_.avail_out = static_cast<uInt>(std::min(room, kStepOutputBytes));
    const size_t offered = stream_.avail_out;
    const int result = inflate(&stream_, Z_NO_FLUSH);
    input_.Consume(given - stream_.avail_in);
    *produced = offered - stream_.avail_out;
    switch (result) {
        case Z_STREAM_END:
            memberEnded_ = true;
            return Status::kMore;
        case Z_OK:
            return Status::kMore;
        default:
            // Z_BUF_ERROR: no progress was possible, because the file ended inside a member.
            return Status::kDamaged;
    }
}

}  // namespace platform::storage
