#pragma once

#include <cstdint>

#include "platform/storage/device.h"
#include "platform/storage/file_stream.h"
#include "platform/storage/simulated/simulated_media.h"

namespace platform::storage::simulated {

// A physical drive opened for raw transfers.
class SimulatedDiskDevice : public Device {
  public:
    SimulatedDiskDevice(SimulatedDisk& disk, uint32_t diskNumber)
        : disk_(disk), number_(diskNumber) {}

    bool Read(void* buffer, uint32_t size, uint32_t* bytesRead) override;
    bool Write(const void* buffer, uint32_t size, uint32_t* bytesWritten) override;
    bool Seek(uint64_t offset) override;
    bool Flush() override;
    bool Close() override;
    std::string CloseNote() const override { return note_; }
    bool GetVolumeDiskExtents(std::vector<DiskExtent>* extents) override;
    bool QueryStorageDeviceProperty(StorageDeviceDescriptor* descriptor) override;

  private:
    SimulatedDisk& disk_;
    uint32_t number_;
    uint64_t position_ = 0;
    bool written_ = false;
    bool closed_ = false;
    std::string note_;
};

// A lettered volume opened for queries.
class SimulatedVolumeDevice : public Device {
  public:
    SimulatedVolumeDevice(const SimulatedVolume& volume, bool forProbe)
        : volume_(volume), forProbe_(forProbe) {}

    bool Read(void*, uint32_t, uint32_t*) override { return false; }
    bool Write(const void*, uint32_t, uint32_t*) override { return false; }
    bool Seek(uint64_t) override { return false; }
    bool Flush() override { return true; }
    bool Close() override { return true; }
    bool GetVolumeDiskExtents(std::vector<DiskExtent>* extents) override;
    bool QueryStorageDeviceProperty(StorageDeviceDescriptor* descriptor) override;

  private:
    const SimulatedVolume& volume_;
    bool forProbe_;
};

// An image file held in memory, with stream semantics.
class SimulatedFileStream : public FileStream {
  public:
    explicit SimulatedFileStream(SimulatedFile& file) : file_(file) { file_.closed = false; }
    ~SimulatedFileStream() override { Close(); }

    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Error() const override { return error_; }
    bool Flush() override;
    bool Close() override;
    std::optional<uint64_t> Length() const override {
        if (file_.streamed) {
            return std::nullopt;
        }
        return file_.claimedLength.value_or(FileSize());
    }
    uint64_t FileBytesConsumed() const override { return position_; }
    uint64_t FileSize() const override { return file_.bytes.size() + file_.zeroTail; }
    bool DecodedWithoutChecksum() const override { return file_.withoutChecksum; }

  private:
    SimulatedFile& file_;
    uint64_t position_ = 0;
    bool error_ = false;
};

}  // namespace platform::storage::simulated
