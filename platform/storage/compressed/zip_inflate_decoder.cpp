#include "platform/storage/compressed/zip_inflate_decoder.h"

#include <algorithm>
#include <cstring>

namespace platform::storage {

namespace {

constexpr size_t kStepOutputBytes = 64u << 10;
constexpr int kRawDeflate = -MAX_WBITS;

}  // namespace

std::unique_ptr<ZipInflateDecoder> ZipInflateDecoder::Open(int fd) {
    const std::optional<ZipFileEntry> entry = FindOnlyZipFile(fd);
    if (!entry) {
        return nullptr;
    }
    std::unique_ptr<ZipInflateDecoder> decoder(new ZipInflateDecoder(fd, *entry));
    if (entry->method == kZipDeflated) {
        if (inflateInit2(&decoder->stream_, kRawDeflate) != Z_OK) {
            return nullptr;
        }
        decoder->inflating_ = true;
    }
    return decoder;
}

ZipInflateDecoder::ZipInflateDecoder(int fd, const ZipFileEntry& entry)
    : entry_(entry), input_(fd, entry.dataOffset, entry.compressedSize) {}

ZipInflateDecoder::~ZipInflateDecoder() {
    if (inflating_) {
        inflateEnd(&stream_);
    }
}

ImageDecoder::Status ZipInflateDecoder::Step(unsigned char* out, size_t room, size_t* produced) {
    *produced = 0;
    if (ended_) {
        return Status::kEnd;
    }
    if (!input_.Fill()) {
        return Status::kDamaged;
    }
    // Never more than the recorded length: 0 once all of it is out, and the data must end there.
    const auto offered =
        static_cast<size_t>(std::min<uint64_t>({room, kStepOutputBytes, entry_.size - decoded_}));
    bool ended = false;
    const bool decoded = entry_.method == kZipStored ? Copy(out, offered, produced, &ended)
                                                     : Inflate(out, offered, produced, &ended);
    crc_ = crc32(crc_, out, static_cast<uInt>(*produced));
    decoded_ += *produced;
    if (!decoded || (ended && !WholeAndChecked())) {
        return Status::kDamaged;
    }
    ended_ = ended;
    return Status::kMore;
}

// Stored data is as long as the content (the directory says so), so it ends with it.
bool ZipInflateDecoder::Copy(unsigned char* out, size_t offered, size_t* produced, bool* ended) {
    if (offered == 0) {
        *ended = true;
        return true;
    }
    const size_t n = std::min(offered, input_.size());
    if (n == 0) {
        return false;  // the file ends inside the data
    }
    std::memcpy(out, input_.data(), n);
    input_.Consume(n);
    *produced = n;
    return true;
}

bool ZipInflateDecoder::Inflate(unsigned char* out, size_t offered, size_t* produced, bool* ended) {
    // Once the recorded length is out, the stream must end without another byte; a spare byte
    // catches one.
    unsigned char spare = 0;
    const bool past = offered == 0;
    const size_t given = input_.size();
    stream_.next_in = const_cast<Bytef*>(input_.data());
    stream_.avail_in = static_cast<uInt>(given);
    stream_.next_out = past ? &spare : out;
    stream_.avail_out = static_cast<uInt>(past ? 1 : offered);
    const int result = inflate(&stream_, Z_NO_FLUSH);
    input_.Consume(given - stream_.avail_in);
    if (past) {
        if (stream_.avail_out == 0) {
            return false;
        }
    } else {
        *produced = offered - stream_.avail_out;
    }
    *ended = result == Z_STREAM_END;
    // Z_BUF_ERROR: no progress was possible, because the data ended inside the stream.
    return result == Z_OK || result == Z_STREAM_END;
}

// At the data's end: all of the content, of the recorded CRC, from all of the compressed bytes.
bool ZipInflateDecoder::WholeAndChecked() const {
    return decoded_ == entry_.size && input_.consumed() == entry_.compressedSize &&
           crc_ == entry_.crc;
}

uint64_t ZipInflateDecoder::FileBytesConsumed() const {
    return ended_ ? entry_.archiveLength : entry_.dataOffset + input_.consumed();
}

}  // namespace platform::storage
