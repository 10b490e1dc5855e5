#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "platform/storage/io_queue.h"
#include "platform/storage/transfer_slots.h"

namespace platform::storage {

// What a device's system adds to its transfers: a read of only what is asked, and the causes of
// failures in the system's own words. Error codes are those of the device's IoQueue.
class DirectAccess {
  public:
    virtual ~DirectAccess() = default;
    // Reads up to size bytes at the block-aligned offset into aligned memory, fewer only at the
    // device's end; -1 with *error set when reading failed.
    virtual int64_t ReadDirect(unsigned char* into, size_t size, uint64_t offset, int* error) = 0;
    virtual std::string WriteFailure(uint64_t offset, int error) = 0;
    virtual std::string ReadFailure(uint64_t offset, int error) = 0;
    // Making what was written durable failed.
    virtual std::string FlushFailure(int error) = 0;
};

// The reads and writes of a device opened for unbuffered access, at aligned offsets in whole
// logical blocks, for any byte offsets and lengths its caller asks.
//
// Consecutive writes are gathered into aligned transfers that go to the device in the background
// (TransferSlots), several at a time; reads are served from transfers read ahead the same way.
// Transfers are sized to the speed the device shows, so that no call waits long for the device
// however slow it is. A write that starts or ends inside a logical block reads that block first,
// so the rest of it keeps its old content. A failed transfer fails the call that learns of it (a
// later Write, or a Read or Flush) and every Write, Read and Flush after it: data accepted
// earlier may be lost, so nothing after it may look successful. Causes go to the failure cause.
class BlockTransfers {
  public:
    struct Geometry {
        uint32_t blockSize = 512;  // logical block size: offsets, lengths and memory align to it
        uint64_t sizeBytes = 0;    // writes past the end fail; reads there give 0 bytes
        size_t transferSize = size_t{4} << 20;  // the largest transfer, a multiple of blockSize
    };

    // Transfers through queue, whose system does the rest through access (which must outlive
    // this); null when the geometry is unusable or memory is short.
    static std::unique_ptr<BlockTransfers> Create(DirectAccess& access,
                                                  std::unique_ptr<IoQueue> queue,
                                                  Geometry geometry);
    // Waits for what is still in flight.
    ~BlockTransfers();
    BlockTransfers(const BlockTransfers&) = delete;
    BlockTransfers& operator=(const BlockTransfers&) = delete;

    bool Write(const void* buffer, uint32_t size, uint32_t* bytesWritten);
    bool Read(void* buffer, uint32_t size, uint32_t* bytesRead);
    bool Seek(uint64_t offset);
    // Sends what is gathered, waits for every write and makes them durable.
    bool Flush();

    bool written() const { return written_; }  // a write was accepted
    bool failed() const { return failed_; }

  private:
    struct Free {
        size_t alignment;
        void operator()(unsigned char* bytes) const {
            ::operator delete[](bytes, std::align_val_t{alignment});
        }
    };
    using Bytes = std::unique_ptr<unsigned char, Free>;

    BlockTransfers(DirectAccess& access, Geometry geometry, std::unique_ptr<TransferSlots> slots,
                   Bytes sector, Bytes exact);
    static Bytes Allocate(size_t size, size_t alignment);

    uint64_t AlignDown(uint64_t offset) const { return offset / blockSize_ * blockSize_; }
    uint64_t AlignUp(uint64_t offset) const { return AlignDown(offset + blockSize_ - 1); }

    bool StartGathering();
    bool SubmitGathered();
    bool FinishWrites();
    bool ReadAhead(unsigned char* into, uint32_t size, uint32_t* done);
    bool ReadExactly(unsigned char* into, uint32_t size, uint32_t* done);
    bool ReadBlock(uint64_t offset, unsigned char* into);
    bool Fail();  // keeps the cause of a failed transfer
    bool ReadFailed(uint64_t offset, int error);
    bool Sync();

    DirectAccess& access_;
    Geometry geometry_;
    uint32_t blockSize_;
    std::unique_ptr<TransferSlots> slots_;
    Bytes sector_;  // one logical block, for read-modify-write
    Bytes exact_;   // reads of only what is asked, after a read-ahead failed
    uint64_t pos_ = 0;
    unsigned char* gather_ = nullptr;  // the transfer being gathered, while there is one
    uint64_t gatherStart_ = 0;         // device offset of gather_[0]
    size_t gathered_ = 0;              // bytes of gather_ holding data to write
    size_t gatherLimit_ = 0;           // bytes the transfer being gathered will hold
    bool written_ = false;
    bool badBlockAhead_ = false;  // a read-ahead failed: read no more than asked
    bool failed_ = false;
};

}  // namespace platform::storage
