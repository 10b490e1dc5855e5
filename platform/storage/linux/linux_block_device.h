#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/storage/device.h"
#include "platform/storage/linux/unique_fd.h"

namespace platform::storage {

// An open block device (or, in tests, a regular file) read and written at aligned offsets in
// whole logical blocks, as O_DIRECT requires.
//
// Consecutive writes are gathered into one aligned transfer of up to transferSize bytes and
// reads are served from an aligned read-ahead of the same size. A write that starts or ends
// inside a logical block reads that block first, so the rest of it keeps its old content. A
// failed transfer fails the call that issued it (a Write that filled the gathering buffer, a
// Read, Flush or Close) and every later Write, Read and Flush: data accepted earlier may be
// lost, so nothing after it may look successful.
class LinuxBlockDevice : public Device {
  public:
    struct Options {
        uint32_t blockSize = 512;  // logical block size: offsets, lengths and memory align to it
        uint64_t sizeBytes = 0;    // writes past the end fail; reads there give 0 bytes
        bool writable = false;     // opened for writing; Close then flushes and syncs
        // Run by Close after the descriptor was closed (a written disk re-reads its partition
        // table); its failure fails the close.
        std::function<bool()> afterClose;
        size_t transferSize = size_t{1} << 20;  // a multiple of blockSize
        bool hasExtents = false;                // volumes: the disk extents below are known
        std::vector<DiskExtent> extents;
        bool hasProperty = false;  // the storage-device property below is known
        StorageDeviceDescriptor property;
    };

    // Takes the descriptor over; null when the options are unusable or memory is short.
    static std::unique_ptr<LinuxBlockDevice> Create(UniqueFd fd, Options options);

    ~LinuxBlockDevice() override;

    bool Read(void* buffer, uint32_t size, uint32_t* bytesRead) override;
    bool Write(const void* buffer, uint32_t size, uint32_t* bytesWritten) override;
    bool Flush() override;
    bool Close() override;
    bool GetVolumeDiskExtents(std::vector<DiskExtent>* extents) override;
    bool QueryStorageDeviceProperty(StorageDeviceDescriptor* descriptor) override;

  private:
    struct Free {
        void operator()(unsigned char* bytes) const { std::free(bytes); }
    };
    using Bytes = std::unique_ptr<unsigned char, Free>;

    LinuxBlockDevice(UniqueFd fd, Options options, Bytes transfer, Bytes sector);

    uint64_t AlignDown(uint64_t offset) const { return offset / blockSize_ * blockSize_; }
    uint64_t AlignUp(uint64_t offset) const { return AlignDown(offset + blockSize_ - 1); }

    bool WriteGathered();
    bool FillReadAhead(uint64_t wanted);
    bool ReadBlock(uint64_t offset, unsigned char* into);
    bool Fail();

    UniqueFd fd_;
    Options options_;
    uint32_t blockSize_;
    Bytes transfer_;  // the gathering buffer, or the read-ahead
    Bytes sector_;    // one logical block, for read-modify-write
    uint64_t pos_ = 0;
    uint64_t gatherStart_ = 0;  // device offset of transfer_[0] while writes are gathered
    size_t gathered_ = 0;       // bytes of transfer_ holding data to write
    uint64_t aheadStart_ = 0;   // device offset of transfer_[0] while it holds read-ahead
    size_t ahead_ = 0;          // bytes of valid read-ahead
    bool written_ = false;      // a write was accepted
    bool failed_ = false;
};

}  // namespace platform::storage
