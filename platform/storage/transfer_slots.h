#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>

#include "platform/storage/io_queue.h"
#include "platform/storage/transfer_sizer.h"

namespace platform::storage {

// The buffers of one device's transfers and the requests in flight on them. Writes are handed in
// whole and waited for only when their buffer is needed again; reads run ahead of the reader.
// Transfers are sized to the speed the device shows (see TransferSizer), so that little is ever
// in flight, and every wait runs the device-wait hook between slices, so the caller's thread
// keeps answering however slow the device is.
class TransferSlots {
  public:
    static constexpr unsigned kSlots = 8;
    // Each slot may hold one request and, after a short completion, the request for its rest.
    static constexpr unsigned kQueueDepth = 2 * kSlots;

    struct Geometry {
        size_t granule = 4096;   // sizes, offsets and memory align to it (a power of two)
        size_t largest = 4096;   // the largest transfer, a multiple of granule
        uint64_t sizeBytes = 0;  // reads stop at the end of the device
    };
    // Where a transfer failed and why.
    struct Failure {
        uint64_t offset = 0;
        int error = 0;
    };
    // The bytes of a completed read: [offset, offset + length) of the device.
    struct ReadSpan {
        const unsigned char* bytes = nullptr;
        uint64_t offset = 0;
        size_t length = 0;
    };

    // Transfers through queue, which holds at least kQueueDepth requests; null when memory is
    // short. Error codes are the queue's.
    static std::unique_ptr<TransferSlots> Create(std::unique_ptr<IoQueue> queue, Geometry geometry);
    ~TransferSlots();
    TransferSlots(const TransferSlots&) = delete;
    TransferSlots& operator=(const TransferSlots&) = delete;

    // Collects the completions that are there, without waiting.
    void Poll();

    // A buffer for the next write, once one is free and the bytes in flight allow one more
    // transfer; read-ahead is dropped first. Null after a failed write.
    unsigned char* WriteBuffer();
    // The size of that transfer (a power of two); it best ends at a multiple of it.
    size_t WriteSize() const { return gatherSize_; }
    // Sends the buffer WriteBuffer gave, holding length bytes for offset; false after a failure.
    bool SubmitWrite(uint64_t offset, size_t length);
    // Waits until every write has completed; false when one failed.
    bool DrainWrites();
    bool WritesInFlight() const;
    // Drains the writes, then makes them durable (fsync); false when either failed, with
    // syncError telling why the making durable failed.
    bool Sync();
    int syncError() const { return syncError_; }
    // The queue's code of a plain input/output error.
    int ioErrorCode() const { return queue_->IoErrorCode(); }
    const std::optional<Failure>& writeFailure() const { return writeFailure_; }

    // The completed read holding offset, reading ahead from it and waiting for it if needed.
    // A read that does not start where the last one ended drops the read-ahead first. A failed
    // read gives its failure instead; the slot is then dropped.
    std::optional<ReadSpan> ReadAt(uint64_t offset, Failure* failure);
    // Waits for the reads in flight and forgets what was read ahead.
    void DropReads();

  private:
    static constexpr uint32_t kSyncTag = kSlots;
    enum class State { kFree, kGathering, kWriting, kReading, kHeld };
    struct Free {
        size_t alignment;
        void operator()(unsigned char* bytes) const {
            ::operator delete[](bytes, std::align_val_t{alignment});
        }
    };
    struct Slot {
        std::unique_ptr<unsigned char, Free> buffer;
        State state = State::kFree;
        uint64_t offset = 0;
        size_t length = 0;
        size_t done = 0;
        int error = 0;
        TransferSizer::Clock::time_point submitted;
    };

    TransferSlots(Geometry geometry, std::unique_ptr<IoQueue> queue);
    Slot* FindFree();
    Slot* Holding(uint64_t offset);
    bool Reap(bool wait);
    void Completed(Slot& slot, int64_t result);
    void CompletedWrite(Slot& slot);
    void CompletedRead(Slot& slot);
    bool Send(Slot& slot);
    bool Any(State state) const;
    void FillReads();
    bool Allows(const TransferSizer& sizer) const;

    Geometry geometry_;
    Slot slots_[kSlots];
    // Declared after the buffers: destroyed first, when the kernel is done with them.
    std::unique_ptr<IoQueue> queue_;
    TransferSizer writeSizer_;
    TransferSizer readSizer_;
    size_t inFlight_ = 0;
    size_t gatherSize_ = 0;
    Slot* gathering_ = nullptr;
    uint64_t readNext_ = 0;  // where the next read-ahead starts
    std::optional<Failure> writeFailure_;
    std::optional<int64_t> syncResult_;  // of the fsync in flight, once it completed
    int syncError_ = 0;
};

}  // namespace platform::storage
