#pragma once

#include <memory>

#include "platform/storage/compressed/image_decoder.h"
#include "platform/storage/file_stream.h"
#include "platform/storage/linux/unique_fd.h"

namespace platform::storage {

// The decompressed image of a compressed file, read as a plain image file is. Reading keeps a few
// MiB decoded ahead, and each Read does at most a few bounded decoder steps besides what it must
// deliver, so a slow stretch of the stream is spread over the calls before it. A damaged or
// truncated file fails the Read that reaches the damage (the bytes before it are delivered);
// writing fails.
class CompressedFileStream : public FileStream {
  public:
    // The stream of decoder's image of the file at fd. Null when its start cannot be decoded (the
    // file is not what its first bytes announce, or is damaged there).
    [[nodiscard]] static FileHandle Open(UniqueFd fd, std::unique_ptr<ImageDecoder> decoder);

    ~CompressedFileStream() override;

    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Error() const override { return error_ || closed_; }
    bool Flush() override { return !closed_; }
    bool Close() override;
    std::optional<uint64_t> Length() const override { return length_; }
    // The input behind what was delivered: what is decoded ahead counts in proportion.
    uint64_t FileBytesConsumed() const override;
    uint64_t FileSize() const override { return fileSize_; }
    // What the decoder said of everything it decoded, reading ahead included.
    bool DecodedWithoutChecksum() const override { return unchecked_; }

  private:
    CompressedFileStream(UniqueFd fd, std::unique_ptr<ImageDecoder> decoder, uint64_t fileSize);

    size_t Buffered() const { return tail_ - head_; }
    void Step();
    void MakeRoom();
    void ReadAhead();
    void CountConsumed();

    UniqueFd fd_;  // declared first: outlives the decoder that reads through it
    std::unique_ptr<ImageDecoder> decoder_;
    std::unique_ptr<unsigned char[]> ahead_;
    size_t head_ = 0;  // ahead_[head_, tail_) is decoded and not yet read
    size_t tail_ = 0;
    ImageDecoder::Status status_ = ImageDecoder::Status::kMore;
    std::optional<uint64_t> length_;
    uint64_t fileSize_;
    uint64_t consumedAtClose_ = 0;
    uint64_t decoded_ = 0;    // bytes the decoder produced
    uint64_t delivered_ = 0;  // bytes Read gave out
    uint64_t consumed_ = 0;   // what FileBytesConsumed tells
    bool unchecked_ = false;
    bool error_ = false;
    bool closed_ = false;
};

}  // namespace platform::storage
