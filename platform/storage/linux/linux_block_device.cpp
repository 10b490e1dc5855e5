#include "platform/storage/linux/linux_block_device.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/storage/failure_cause.h"

namespace platform::storage {

namespace {

// Memory alignment for O_DIRECT: the block size, but never below a page.
constexpr size_t kMinAlignment = 4096;
// Reads of only what is asked (after a failed read-ahead) go in pieces of at most this size.
constexpr size_t kExactBytes = size_t{64} << 10;

size_t RoundUp(size_t value, size_t granule) {
    return (value + granule - 1) / granule * granule;
}

// Reads up to size bytes; fewer only at the end of the device. -1 on error.
ssize_t PreadUpTo(int fd, unsigned char* bytes, size_t size, uint64_t offset) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, bytes + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

// Whether the device behind fd has left the system (a stick pulled out).
bool Gone(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISBLK(st.st_mode)) {
        return false;  // a file standing in for a device does not go
    }
    const std::string entry = "/sys/dev/block/" + std::to_string(major(st.st_rdev)) + ":" +
                              std::to_string(minor(st.st_rdev));
    return ::access(entry.c_str(), F_OK) != 0;
}

std::string At(uint64_t offset) {
    return "at byte " + std::to_string(offset);
}

}  // namespace

std::unique_ptr<LinuxBlockDevice> LinuxBlockDevice::Create(UniqueFd fd, Options options) {
    const uint32_t block = options.blockSize;
    if (!fd.valid() || block == 0 || (block & (block - 1)) != 0 || options.transferSize < block ||
        options.transferSize % block != 0) {
        return nullptr;
    }
    const size_t alignment = std::max<size_t>(block, kMinAlignment);
    TransferSlots::Geometry geometry;
    geometry.granule = alignment;
    geometry.largest = RoundUp(options.transferSize, alignment);
    geometry.sizeBytes = options.sizeBytes;
    std::unique_ptr<TransferSlots> slots =
        TransferSlots::Create(fd.get(), geometry, options.ioMode);
    Bytes sector(static_cast<unsigned char*>(std::aligned_alloc(alignment, alignment)));
    Bytes exact(static_cast<unsigned char*>(
        std::aligned_alloc(alignment, RoundUp(std::max(kExactBytes, alignment), alignment))));
    if (!slots || !sector || !exact) {
        return nullptr;
    }
    return std::unique_ptr<LinuxBlockDevice>(new LinuxBlockDevice(
        std::move(fd), std::move(options), std::move(slots), std::move(sector), std::move(exact)));
}

LinuxBlockDevice::LinuxBlockDevice(UniqueFd fd, Options options,
                                   std::unique_ptr<TransferSlots> slots, Bytes sector, Bytes exact)
    : fd_(std::move(fd)),
      options_(std::move(options)),
      blockSize_(options_.blockSize),
      slots_(std::move(slots)),
      sector_(std::move(sector)),
      exact_(std::move(exact)) {}

LinuxBlockDevice::~LinuxBlockDevice() {
    Close();
}

bool LinuxBlockDevice::Fail() {
    failed_ = true;
    if (const auto& failure = slots_->writeFailure()) {
        SetFailureCause(Gone(fd_.get())
                            ? "The drive went away while it was being written (" +
                                  At(failure->offset) + "): " + ErrnoText(failure->error) + "."
                            : "Writing the drive failed " + At(failure->offset) + ": " +
                                  ErrnoText(failure->error) + ".");
    }
    return false;
}

bool LinuxBlockDevice::ReadFailed(uint64_t offset) {
    const std::string what = Gone(fd_.get()) ? "The drive went away while it was being read ("
                                             : "Reading the drive failed (";
    SetFailureCause(what + At(offset) + "): " + ErrnoText(errno) + ".");
    return false;
}

bool LinuxBlockDevice::ReadBlock(uint64_t offset, unsigned char* into) {
    // The block may be on its way to the device in a transfer still in flight.
    if (!slots_->DrainWrites()) {
        return false;
    }
    const ssize_t n = PreadUpTo(fd_.get(), into, blockSize_, offset);
    if (n != static_cast<ssize_t>(blockSize_)) {
        errno = n < 0 ? errno : EIO;
        return ReadFailed(offset);
    }
    return true;
}

bool LinuxBlockDevice::StartGathering() {
    gather_ = slots_->WriteBuffer();
    if (gather_ == nullptr) {
        return false;
    }
    // A new transfer starts at the block holding pos_; its bytes before pos_ stay.
    gatherStart_ = AlignDown(pos_);
    gathered_ = static_cast<size_t>(pos_ - gatherStart_);
    // The transfer ends at the next multiple of its size.
    gatherLimit_ = slots_->WriteSize() - static_cast<size_t>(gatherStart_ % slots_->WriteSize());
    return gathered_ == 0 || ReadBlock(gatherStart_, gather_);
}

bool LinuxBlockDevice::SubmitGathered() {
    if (gather_ == nullptr) {
        return true;
    }
    const size_t length = static_cast<size_t>(AlignUp(gathered_));
    if (length > gathered_) {
        // The last block is written only in part: keep the rest of it as it is on the device.
        const uint64_t lastBlock = gatherStart_ + length - blockSize_;
        if (!ReadBlock(lastBlock, sector_.get())) {
            gather_ = nullptr;
            return false;
        }
        const size_t keepFrom = gathered_ - (length - blockSize_);
        std::memcpy(gather_ + gathered_, sector_.get() + keepFrom, blockSize_ - keepFrom);
    }
    gather_ = nullptr;
    gathered_ = 0;
    return length == 0 || slots_->SubmitWrite(gatherStart_, length);
}

bool LinuxBlockDevice::FinishWrites() {
    return SubmitGathered() && slots_->DrainWrites();
}

bool LinuxBlockDevice::Write(const void* buffer, uint32_t size, uint32_t* bytesWritten) {
    *bytesWritten = 0;
    if (!fd_.valid() || !options_.writable || failed_) {
        return false;
    }
    if (pos_ + size > options_.sizeBytes) {
        SetFailureCause("The drive ends at byte " + std::to_string(options_.sizeBytes) +
                        ": what is written goes on past its end.");
        errno = ENOSPC;
        return false;
    }
    slots_->Poll();
    if (slots_->writeFailure()) {
        return Fail();
    }
    if (gather_ != nullptr && pos_ != gatherStart_ + gathered_ && !SubmitGathered()) {
        return Fail();
    }
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    size_t left = size;
    while (left > 0) {
        if (gather_ == nullptr && !StartGathering()) {
            return Fail();
        }
        const size_t n = std::min(left, gatherLimit_ - gathered_);
        std::memcpy(gather_ + gathered_, bytes, n);
        gathered_ += n;
        pos_ += n;
        bytes += n;
        left -= n;
        if (gathered_ == gatherLimit_ && !SubmitGathered()) {
            return Fail();
        }
    }
    written_ = true;
    *bytesWritten = size;
    return true;
}

bool LinuxBlockDevice::ReadExactly(unsigned char* into, uint32_t size, uint32_t* done) {
    const uint64_t start = AlignDown(pos_);
    const uint64_t wanted = std::min<uint64_t>(size - *done, options_.sizeBytes - pos_);
    const size_t length = static_cast<size_t>(
        std::min<uint64_t>(AlignUp(pos_ - start + wanted), RoundUp(kExactBytes, blockSize_)));
    const ssize_t n = PreadUpTo(fd_.get(), exact_.get(), length, start);
    if (n < 0) {
        return ReadFailed(start);
    }
    const uint64_t available = start + static_cast<uint64_t>(n) > pos_ ? start + n - pos_ : 0;
    const uint64_t copied = std::min(available, wanted);
    std::memcpy(into + *done, exact_.get() + (pos_ - start), static_cast<size_t>(copied));
    *done += static_cast<uint32_t>(copied);
    pos_ += copied;
    return true;  // nothing copied: the device ended early
}

bool LinuxBlockDevice::ReadAhead(unsigned char* into, uint32_t size, uint32_t* done) {
    TransferSlots::Failure failure;
    const std::optional<TransferSlots::ReadSpan> span = slots_->ReadAt(pos_, &failure);
    if (!span) {
        // A bad block further ahead must not fail a read that does not reach it; from now on
        // only what is asked for is read, so the failing read-ahead is not repeated each time.
        badBlockAhead_ = true;
        return ReadExactly(into, size, done);
    }
    if (pos_ >= span->offset + span->length) {
        return true;  // the device ended early
    }
    const uint64_t n = std::min<uint64_t>(
        {span->offset + span->length - pos_, size - *done, options_.sizeBytes - pos_});
    std::memcpy(into + *done, span->bytes + (pos_ - span->offset), static_cast<size_t>(n));
    *done += static_cast<uint32_t>(n);
    pos_ += n;
    return true;
}

bool LinuxBlockDevice::Read(void* buffer, uint32_t size, uint32_t* bytesRead) {
    *bytesRead = 0;
    if (!fd_.valid() || failed_) {
        return false;
    }
    // What was written must be on the device before it is read back.
    if (!FinishWrites()) {
        return Fail();
    }
    auto* bytes = static_cast<unsigned char*>(buffer);
    uint32_t done = 0;
    while (done < size && pos_ < options_.sizeBytes) {
        const uint32_t before = done;
        const bool read =
            badBlockAhead_ ? ReadExactly(bytes, size, &done) : ReadAhead(bytes, size, &done);
        if (!read) {
            return false;
        }
        if (done == before) {
            break;  // the device ended early
        }
    }
    *bytesRead = done;
    return true;
}

bool LinuxBlockDevice::Seek(uint64_t offset) {
    if (!fd_.valid() || offset > options_.sizeBytes) {
        return false;
    }
    if (gather_ != nullptr && offset != gatherStart_ + gathered_ && !SubmitGathered()) {
        return Fail();
    }
    pos_ = offset;
    return true;
}

bool LinuxBlockDevice::Flush() {
    if (!fd_.valid()) {
        return false;
    }
    if (!SubmitGathered() || !Sync()) {
        return Fail();
    }
    return !failed_;
}

bool LinuxBlockDevice::Sync() {
    if (slots_->Sync()) {
        return true;
    }
    if (!slots_->writeFailure()) {
        SetFailureCause("Flushing the drive, to make what was written durable, failed: " +
                        ErrnoText(errno) + ".");
    }
    return false;
}

bool LinuxBlockDevice::Close() {
    if (!fd_.valid()) {
        return true;
    }
    bool closed = true;
    // A volume opened for writing but never written (the scan's query) is left as it is.
    if (options_.writable && (written_ || options_.afterClose)) {
        closed = SubmitGathered() && Sync() && closed;
    }
    slots_->DropReads();  // a read ahead still in flight is waited for as every wait is
    slots_.reset();
    closed = fd_.Close() && closed;
    if (options_.afterClose) {
        closed = options_.afterClose(written_, &closeNote_) && closed;
    }
    return closed && !failed_;
}

bool LinuxBlockDevice::GetVolumeDiskExtents(std::vector<DiskExtent>* extents) {
    if (!fd_.valid() || !options_.hasExtents) {
        return false;
    }
    *extents = options_.extents;
    return true;
}

bool LinuxBlockDevice::QueryStorageDeviceProperty(StorageDeviceDescriptor* descriptor) {
    return fd_.valid() && options_.hasProperty &&
           AnswerStorageProperty(options_.property, descriptor);
}

}  // namespace platform::storage
