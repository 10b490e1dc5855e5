#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/storage/device.h"
#include "platform/storage/linux/io_queue.h"
#include "platform/storage/linux/transfer_slots.h"
#include "platform/storage/linux/unique_fd.h"

namespace platform::storage {

// An open block device (or, in tests, a regular file) read and written at aligned offsets in
// whole logical blocks, as O_DIRECT requires.
//
// Consecutive writes are gathered into aligned transfers that go to the device in the background
// (TransferSlots), several at a time; reads are served from transfers read ahead the same way.
// Transfers are sized to the speed the device shows, so that no call waits long for the device
// however slow it is. A write that starts or ends inside a logical block reads that block first,
// so the rest of it keeps its old content. A failed transfer fails the call that learns of it (a
// later Write, or a Read, Flush or Close) and every Write, Read and Flush after it: data accepted
// earlier may be lost, so nothing after it may look successful.
class LinuxBlockDevice : public Device {
  public:
    struct Options {
        uint32_t blockSize = 512;  // logical block size: offsets, lengths and memory align to it
        uint64_t sizeBytes = 0;    // writes past the end fail; reads there give 0 bytes
        bool writable = false;     // opened for writing; Close then flushes and syncs
        // Run by Close after the descriptor was closed, told whether anything was written (a
        // written disk re-reads its partition table; one never written gets its volumes back).
        // Its failure fails the close; what it sets in *note becomes the close's note.
        std::function<bool(bool written, std::string* note)> afterClose;
        size_t transferSize = size_t{4} << 20;  // the largest transfer, a multiple of blockSize
        IoMode ioMode = IoMode::kAsynchronous;
        bool hasExtents = false;  // volumes: the disk extents below are known
        std::vector<DiskExtent> extents;
        bool hasProperty = false;  // the storage-device property below is known
        StorageDeviceDescriptor property;
    };

    // Takes the descriptor over; null when the options are unusable or memory is short.
    static std::unique_ptr<LinuxBlockDevice> Create(UniqueFd fd, Options options);

    ~LinuxBlockDevice() override;

    bool Read(void* buffer, uint32_t size, uint32_t* bytesRead) override;
    bool Write(const void* buffer, uint32_t size, uint32_t* bytesWritten) override;
    bool Seek(uint64_t offset) override;
    bool Flush() override;
    bool Close() override;
    std::string CloseNote() const override { return closeNote_; }
    bool GetVolumeDiskExtents(std::vector<DiskExtent>* extents) override;
    bool QueryStorageDeviceProperty(StorageDeviceDescriptor* descriptor) override;

  private:
    struct Free {
        void operator()(unsigned char* bytes) const { std::free(bytes); }
    };
    using Bytes = std::unique_ptr<unsigned char, Free>;

    LinuxBlockDevice(UniqueFd fd, Options options, std::unique_ptr<TransferSlots> slots,
                     Bytes sector, Bytes exact);

    uint64_t AlignDown(uint64_t offset) const { return offset / blockSize_ * blockSize_; }
    uint64_t AlignUp(uint64_t offset) const { return AlignDown(offset + blockSize_ - 1); }

    bool StartGathering();
    bool SubmitGathered();
    bool FinishWrites();
    bool ReadAhead(unsigned char* into, uint32_t size, uint32_t* done);
    bool ReadExactly(unsigned char* into, uint32_t size, uint32_t* done);
    bool ReadBlock(uint64_t offset, unsigned char* into);
    bool Fail();                       // keeps the cause of a failed transfer
    bool ReadFailed(uint64_t offset);  // keeps errno as the cause
    bool Sync();

    UniqueFd fd_;
    Options options_;
    uint32_t blockSize_;
    std::unique_ptr<TransferSlots> slots_;
    Bytes sector_;  // one logical block, for read-modify-write
    Bytes exact_;   // reads of only what is asked, after a read-ahead failed
    uint64_t pos_ = 0;
    unsigned char* gather_ = nullptr;  // the transfer being gathered, while there is one
    uint64_t gatherStart_ = 0;         // device offset of gather_[0]
    size_t gathered_ = 0;              // bytes of gather_ holding data to write
    size_t gatherLimit_ = 0;           // bytes the transfer being gathered will hold
    bool written_ = false;             // a write was accepted
    bool badBlockAhead_ = false;       // a read-ahead failed: read no more than asked
    bool failed_ = false;
    std::string closeNote_;
};

}  // namespace platform::storage
