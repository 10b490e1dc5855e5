#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/storage/block_transfers.h"
#include "platform/storage/device.h"
#include "platform/storage/linux/io_queues.h"
#include "platform/storage/linux/unique_fd.h"

namespace platform::storage {

// An open block device (or, in tests, a regular file) read and written at aligned offsets in
// whole logical blocks, as O_DIRECT requires, through BlockTransfers: writes gathered into
// transfers sized to the device's speed that go to the device in the background, reads served
// from transfers read ahead. A failed transfer fails the call that learns of it (a later Write,
// or a Read, Flush or Close) and every Write, Read and Flush after it.
class LinuxBlockDevice : public Device, private DirectAccess {
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
    LinuxBlockDevice(UniqueFd fd, Options options)
        : fd_(std::move(fd)), options_(std::move(options)) {}

    int64_t ReadDirect(unsigned char* into, size_t size, uint64_t offset, int* error) override;
    std::string WriteFailure(uint64_t offset, int error) override;
    std::string ReadFailure(uint64_t offset, int error) override;
    std::string FlushFailure(int error) override;

    UniqueFd fd_;
    Options options_;
    std::unique_ptr<BlockTransfers> transfers_;
    std::string closeNote_;
};

}  // namespace platform::storage
