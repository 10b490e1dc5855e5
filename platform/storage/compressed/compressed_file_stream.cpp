#include "platform/storage/compressed/compressed_file_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/storage/compressed/positional_read.h"
#include "platform/storage/failure_cause.h"

namespace platform::storage {

namespace {

// More than a bzip2 block's output, so the next block is decoded while this one is read.
constexpr size_t kAheadBytes = 4u << 20;
// Decoder steps a Read may take beyond what it delivers: a few milliseconds at most.
constexpr int kStepsAheadPerRead = 2;

using Status = ImageDecoder::Status;

}  // namespace

FileHandle CompressedFileStream::Open(UniqueFd fd, std::unique_ptr<ImageDecoder> decoder) {
    // The file's length through the system's own call: MinGW's fstat tells 32 bits of it.
    const int64_t length = fd.valid() ? FileLength(fd.get()) : -1;
    if (!decoder || length < 0) {
        return nullptr;
    }
    std::unique_ptr<CompressedFileStream> stream(
        new CompressedFileStream(std::move(fd), std::move(decoder), static_cast<uint64_t>(length)));
    // Decoding the first bytes proves the file is what its start announces.
    while (stream->Buffered() == 0 && stream->status_ == Status::kMore) {
        stream->Step();
    }
    if (stream->status_ == Status::kDamaged) {
        return nullptr;
    }
    return stream;
}

CompressedFileStream::CompressedFileStream(UniqueFd fd, std::unique_ptr<ImageDecoder> decoder,
                                           uint64_t fileSize)
    : fd_(std::move(fd)),
      decoder_(std::move(decoder)),
      ahead_(new unsigned char[kAheadBytes]),
      length_(decoder_->Length()),
      fileSize_(fileSize) {}

CompressedFileStream::~CompressedFileStream() {
    Close();
}

size_t CompressedFileStream::Read(void* buffer, size_t size, size_t count) {
    if (closed_ || size == 0 || count > SIZE_MAX / size) {
        return 0;
    }
    const size_t wanted = size * count;
    auto* into = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < wanted) {
        if (Buffered() == 0) {
            if (status_ != Status::kMore) {
                break;
            }
            Step();
            continue;
        }
        const size_t n = std::min(wanted - done, Buffered());
        std::memcpy(into + done, ahead_.get() + head_, n);
        head_ += n;
        done += n;
        delivered_ += n;
    }
    if (done < wanted && status_ == Status::kDamaged && !error_) {
        error_ = true;
        SetFailureCause(
            "The compressed image is damaged or cut short: it cannot be decompressed "
            "past byte " +
            std::to_string(delivered_) + " of the image.");
    }
    ReadAhead();
    CountConsumed();
    return done / size;
}

void CompressedFileStream::ReadAhead() {
    for (int step = 0; step < kStepsAheadPerRead && status_ == Status::kMore; ++step) {
        MakeRoom();
        if (tail_ == kAheadBytes) {
            return;  // full enough
        }
        Step();
    }
}

void CompressedFileStream::Step() {
    MakeRoom();
    if (tail_ == kAheadBytes) {
        return;
    }
    size_t produced = 0;
    status_ = decoder_->Step(ahead_.get() + tail_, kAheadBytes - tail_, &produced);
    tail_ += produced;
    decoded_ += produced;
    unchecked_ = unchecked_ || decoder_->DecodedWithoutChecksum();
}

// Moves what is unread to the front once the front half has been read, so each byte moves at
// most once more.
void CompressedFileStream::MakeRoom() {
    if (head_ == tail_) {
        head_ = tail_ = 0;
    } else if (head_ >= kAheadBytes / 2) {
        std::memmove(ahead_.get(), ahead_.get() + head_, Buffered());
        tail_ -= head_;
        head_ = 0;
    }
}

size_t CompressedFileStream::Write(const void*, size_t, size_t) {
    error_ = true;
    return 0;
}

uint64_t CompressedFileStream::FileBytesConsumed() const {
    return consumed_;
}

void CompressedFileStream::CountConsumed() {
    const uint64_t input = decoder_ ? decoder_->FileBytesConsumed() : consumedAtClose_;
    // What is decoded ahead but not delivered yet counts in proportion, so progress follows
    // what the caller has got; it never goes back.
    const uint64_t estimate =
        decoded_ == 0 || delivered_ >= decoded_
            ? input
            : static_cast<uint64_t>(static_cast<double>(input) * static_cast<double>(delivered_) /
                                    static_cast<double>(decoded_));
    consumed_ = std::max(consumed_, estimate);
}

bool CompressedFileStream::Close() {
    if (closed_) {
        return true;
    }
    consumedAtClose_ = decoder_->FileBytesConsumed();
    CountConsumed();
    decoder_.reset();
    fd_.Close();
    closed_ = true;
    return true;
}

}  // namespace platform::storage
