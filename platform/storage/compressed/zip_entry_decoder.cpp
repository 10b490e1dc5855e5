#include "platform/storage/compressed/zip_entry_decoder.h"

#include <archive.h>
#include <archive_entry.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace platform::storage {

namespace {

constexpr size_t kReadBlockBytes = 64u << 10;

bool Rewind(int fd) {
    return ::lseek(fd, 0, SEEK_SET) == 0;
}

}  // namespace

void ZipEntryDecoder::Free::operator()(archive* reader) const {
    archive_read_free(reader);
}

ZipEntryDecoder::Reader ZipEntryDecoder::OpenZip(int fd) {
    Reader reader(archive_read_new());
    if (!reader || !Rewind(fd)) {
        return nullptr;
    }
    // The seekable reader takes the entries from the central directory, so they are all known
    // before any data is read.
    archive_read_support_format_zip_seekable(reader.get());
    if (archive_read_open_fd(reader.get(), fd, kReadBlockBytes) != ARCHIVE_OK) {
        return nullptr;
    }
    return reader;
}

bool ZipEntryDecoder::HoldsOneFile(int fd) {
    Reader reader = OpenZip(fd);
    if (!reader) {
        return false;
    }
    int files = 0;
    archive_entry* entry = nullptr;
    int result = ARCHIVE_OK;
    while ((result = archive_read_next_header(reader.get(), &entry)) == ARCHIVE_OK) {
        if (archive_entry_filetype(entry) == AE_IFDIR) {
            continue;
        }
        if (archive_entry_filetype(entry) != AE_IFREG || archive_entry_is_encrypted(entry)) {
            return false;
        }
        ++files;
    }
    return result == ARCHIVE_EOF && files == 1;
}

std::unique_ptr<ZipEntryDecoder> ZipEntryDecoder::Open(int fd) {
    if (!HoldsOneFile(fd)) {
        return nullptr;
    }
    Reader reader = OpenZip(fd);
    archive_entry* entry = nullptr;
    while (reader && archive_read_next_header(reader.get(), &entry) == ARCHIVE_OK) {
        if (archive_entry_filetype(entry) == AE_IFREG) {
            std::optional<uint64_t> length;
            if (archive_entry_size_is_set(entry) && archive_entry_size(entry) >= 0) {
                length = static_cast<uint64_t>(archive_entry_size(entry));
            }
            return std::unique_ptr<ZipEntryDecoder>(new ZipEntryDecoder(std::move(reader), length));
        }
    }
    return nullptr;
}

ImageDecoder::Status ZipEntryDecoder::Step(unsigned char* out, size_t room, size_t* produced) {
    *produced = 0;
    if (pendingBytes_ == 0 && ended_) {
        return Status::kEnd;
    }
    if (pendingBytes_ == 0) {
        const void* block = nullptr;
        la_int64_t offset = 0;
        const int result = archive_read_data_block(reader_.get(), &block, &pendingBytes_, &offset);
        if (result == ARCHIVE_EOF) {
            pendingBytes_ = 0;
            ended_ = true;
            return Status::kEnd;
        }
        // A warning counts: it is how a zip entry's wrong CRC or size is reported, but only at
        // the entry's end, while damaged data may decode to far more than its recorded size: a
        // block past that size is damage too. A block that does not follow the last one would
        // leave a hole in the image.
        const bool pastLength = length_ && decoded_ + pendingBytes_ > *length_;
        if (result != ARCHIVE_OK || offset != static_cast<la_int64_t>(decoded_) || pastLength) {
            pendingBytes_ = 0;
            return Status::kDamaged;
        }
        pending_ = static_cast<const unsigned char*>(block);
        if (pendingBytes_ == 0) {
            return Status::kMore;  // a stored zip entry ends with an empty block at no address
        }
    }
    const size_t n = std::min(room, pendingBytes_);
    std::memcpy(out, pending_, n);
    pending_ += n;
    pendingBytes_ -= n;
    decoded_ += n;
    *produced = n;
    return Status::kMore;
}

uint64_t ZipEntryDecoder::FileBytesConsumed() const {
    const la_int64_t consumed = archive_filter_bytes(reader_.get(), -1);
    return consumed > 0 ? static_cast<uint64_t>(consumed) : 0;
}

}  // namespace platform::storage
