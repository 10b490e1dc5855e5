#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace platform::storage {

// A buffered image-file stream with the C runtime's stream semantics. Closing happens in the
// destructor; Close() reports whether pending data reached the file.
class FileStream {
  public:
    virtual ~FileStream() = default;

    // Reads up to count items of size bytes; returns the number of whole items read.
    virtual size_t Read(void* buffer, size_t size, size_t count) = 0;

    // Writes count items of size bytes; returns the number of whole items written.
    virtual size_t Write(const void* buffer, size_t size, size_t count) = 0;

    // True after a read or write failed (not merely reached the end of the file).
    virtual bool Error() const = 0;

    // Pushes buffered data to the file and makes it durable. False when that failed.
    virtual bool Flush() = 0;

    // Closes the stream. False when buffered data could not be written; later calls return true.
    virtual bool Close() = 0;

    // The length in bytes of the image the stream yields, when known before it is read through
    // (a plain file's size, an archive entry that records its size); nothing otherwise.
    virtual std::optional<uint64_t> Length() const = 0;
    // How far reading has come through the file itself, in bytes of the file (for a compressed
    // file its compressed bytes consumed), and the file's size; for a plain file the bytes read so
    // far and its length.
    virtual uint64_t FileBytesConsumed() const = 0;
    virtual uint64_t FileSize() const = 0;

    // Whether the stream decompressed image data that carried no checksum of its own (a zstd
    // frame written with --no-check, an xz stream without a check), so damage in the file may
    // have come out as wrong bytes without any error: the image could not be checked. False for
    // a plain file (nothing is decoded: its bytes are the image as they are) and for data whose
    // checksum the reader verified (gzip, bzip2, zip, and xz and zstd with theirs). Tells of
    // what has been read so far, also after Close; may turn true as reading goes on (a later
    // frame without one), never back; ask once the last Read is done.
    virtual bool DecodedWithoutChecksum() const { return false; }
};

using FileHandle = std::unique_ptr<FileStream>;

}  // namespace platform::storage
