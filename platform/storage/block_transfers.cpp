#include "platform/storage/block_transfers.h"

#include <algorithm>
#include <cstring>

#include "platform/storage/failure_cause.h"

namespace platform::storage {

namespace {

// Memory alignment for unbuffered transfers: the block size, but never below a page.
constexpr size_t kMinAlignment = 4096;
// Reads of only what is asked (after a failed read-ahead) go in pieces of at most this size.
constexpr size_t kExactBytes = size_t{64} << 10;

size_t RoundUp(size_t value, size_t granule) {
    return (value + granule - 1) / granule * granule;
}

}  // namespace

BlockTransfers::Bytes BlockTransfers::Allocate(size_t size, size_t alignment) {
    return Bytes(new (std::align_val_t{alignment}, std::nothrow) unsigned char[size],
                 Free{alignment});
}

std::unique_ptr<BlockTransfers> BlockTransfers::Create(DirectAccess& access,
                                                       std::unique_ptr<IoQueue> queue,
                                                       Geometry geometry) {
    const uint32_t block = geometry.blockSize;
    if (block == 0 || (block & (block - 1)) != 0 || geometry.transferSize < block ||
        geometry.transferSize % block != 0) {
        return nullptr;
    }
    const size_t alignment = std::max<size_t>(block, kMinAlignment);
    TransferSlots::Geometry slotGeometry;
    slotGeometry.granule = alignment;
    slotGeometry.largest = RoundUp(geometry.transferSize, alignment);
    slotGeometry.sizeBytes = geometry.sizeBytes;
    std::unique_ptr<TransferSlots> slots = TransferSlots::Create(std::move(queue), slotGeometry);
    Bytes sector = Allocate(alignment, alignment);
    Bytes exact = Allocate(RoundUp(std::max(kExactBytes, alignment), alignment), alignment);
    if (!slots || !sector || !exact) {
        return nullptr;
    }
    return std::unique_ptr<BlockTransfers>(new BlockTransfers(access, geometry, std::move(slots),
                                                              std::move(sector), std::move(exact)));
}

BlockTransfers::BlockTransfers(DirectAccess& access, Geometry geometry,
                               std::unique_ptr<TransferSlots> slots, Bytes sector, Bytes exact)
    : access_(access),
      geometry_(geometry),
      blockSize_(geometry.blockSize),
      slots_(std::move(slots)),
      sector_(std::move(sector)),
      exact_(std::move(exact)) {}

BlockTransfers::~BlockTransfers() {
    slots_->DropReads();  // a read ahead still in flight is waited for as every wait is
}

bool BlockTransfers::Fail() {
    failed_ = true;
    if (const auto& failure = slots_->writeFailure()) {
        SetFailureCause(access_.WriteFailure(failure->offset, failure->error));
    }
    return false;
}

bool BlockTransfers::ReadFailed(uint64_t offset, int error) {
    SetFailureCause(access_.ReadFailure(offset, error));
    return false;
}

bool BlockTransfers::ReadBlock(uint64_t offset, unsigned char* into) {
    // The block may be on its way to the device in a transfer still in flight.
    if (!slots_->DrainWrites()) {
        return false;
    }
    int error = 0;
    const int64_t n = access_.ReadDirect(into, blockSize_, offset, &error);
    if (n != static_cast<int64_t>(blockSize_)) {
        return ReadFailed(offset, n < 0 ? error : slots_->ioErrorCode());
    }
    return true;
}

bool BlockTransfers::StartGathering() {
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

bool BlockTransfers::SubmitGathered() {
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

bool BlockTransfers::FinishWrites() {
    return SubmitGathered() && slots_->DrainWrites();
}

bool BlockTransfers::Write(const void* buffer, uint32_t size, uint32_t* bytesWritten) {
    *bytesWritten = 0;
    if (failed_) {
        return false;
    }
    if (pos_ + size > geometry_.sizeBytes) {
        SetFailureCause("The drive ends at byte " + std::to_string(geometry_.sizeBytes) +
                        ": what is written goes on past its end.");
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

bool BlockTransfers::ReadExactly(unsigned char* into, uint32_t size, uint32_t* done) {
    const uint64_t start = AlignDown(pos_);
    const uint64_t wanted = std::min<uint64_t>(size - *done, geometry_.sizeBytes - pos_);
    const size_t length = static_cast<size_t>(
        std::min<uint64_t>(AlignUp(pos_ - start + wanted), RoundUp(kExactBytes, blockSize_)));
    int error = 0;
    const int64_t n = access_.ReadDirect(exact_.get(), length, start, &error);
    if (n < 0) {
        return ReadFailed(start, error);
    }
    const uint64_t available = start + static_cast<uint64_t>(n) > pos_ ? start + n - pos_ : 0;
    const uint64_t copied = std::min(available, wanted);
    std::memcpy(into + *done, exact_.get() + (pos_ - start), static_cast<size_t>(copied));
    *done += static_cast<uint32_t>(copied);
    pos_ += copied;
    return true;  // nothing copied: the device ended early
}

bool BlockTransfers::ReadAhead(unsigned char* into, uint32_t size, uint32_t* done) {
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
        {span->offset + span->length - pos_, size - *done, geometry_.sizeBytes - pos_});
    std::memcpy(into + *done, span->bytes + (pos_ - span->offset), static_cast<size_t>(n));
    *done += static_cast<uint32_t>(n);
    pos_ += n;
    return true;
}

bool BlockTransfers::Read(void* buffer, uint32_t size, uint32_t* bytesRead) {
    *bytesRead = 0;
    if (failed_) {
        return false;
    }
    // What was written must be on the device before it is read back.
    if (!FinishWrites()) {
        return Fail();
    }
    auto* bytes = static_cast<unsigned char*>(buffer);
    uint32_t done = 0;
    while (done < size && pos_ < geometry_.sizeBytes) {
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

bool BlockTransfers::Seek(uint64_t offset) {
    if (offset > geometry_.sizeBytes) {
        return false;
    }
    if (gather_ != nullptr && offset != gatherStart_ + gathered_ && !SubmitGathered()) {
        return Fail();
    }
    pos_ = offset;
    return true;
}

bool BlockTransfers::Flush() {
    if (!SubmitGathered() || !Sync()) {
        return Fail();
    }
    return !failed_;
}

bool BlockTransfers::Sync() {
    if (slots_->Sync()) {
        return true;
    }
    if (!slots_->writeFailure()) {
        SetFailureCause(access_.FlushFailure(slots_->syncError()));
    }
    return false;
}

}  // namespace platform::storage
