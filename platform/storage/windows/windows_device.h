#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/storage/aligned_buffer.h"
#include "platform/storage/device.h"
#include "platform/storage/windows/volume_locks.h"
#include "platform/storage/windows/win32_handle.h"

namespace platform::storage {

// An open volume or physical drive, read and written unbuffered: every transfer covers whole
// sectors at sector-aligned offsets from an aligned buffer, and goes to the device overlapped,
// with the calling thread waiting for it in slices of kDeviceWaitSlice and running
// WhileDeviceWaits between them, so its windows answer however slow the device is.
//
// A write that starts or ends inside a sector reads that sector first, so the rest of it keeps
// its old content. A failed or short transfer fails its call and every Read, Write and Flush
// after it. Close flushes a written drive, has the system re-read its partition table, closes
// the handle and only then unlocks the volumes locked for the write.
class WindowsDevice : public Device {
  public:
    struct Options {
        std::string path;           // "\\.\PHYSICALDRIVE1", for causes
        uint32_t sectorSize = 512;  // a power of two
        // Writes past the end fail; reads there give 0 bytes. Nothing: the device's end is
        // found by reading (a volume whose length the system does not tell).
        std::optional<uint64_t> sizeBytes;
        bool writable = false;
        std::optional<VolumeLocks> locks;  // held until the handle has closed
    };
    // The largest single transfer: at a slow stick's 2 MB/s about half a second, in waits of
    // kDeviceWaitSlice each.
    static constexpr uint32_t kMaxTransfer = uint32_t{1} << 20;

    // Takes the handle over; null when the options are unusable or memory is short.
    static std::unique_ptr<WindowsDevice> Create(Win32Calls& calls, Win32Handle handle,
                                                 Options options);
    ~WindowsDevice() override;

    bool Read(void* buffer, uint32_t size, uint32_t* bytesRead) override;
    bool Write(const void* buffer, uint32_t size, uint32_t* bytesWritten) override;
    bool Seek(uint64_t offset) override;
    bool Flush() override;
    bool Close() override;
    std::string CloseNote() const override { return closeNote_; }
    bool GetVolumeDiskExtents(std::vector<DiskExtent>* extents) override;
    bool QueryStorageDeviceProperty(StorageDeviceDescriptor* descriptor) override;

  private:
    WindowsDevice(Win32Calls& calls, Win32Handle handle, Options options);

    uint64_t AlignDown(uint64_t offset) const { return offset / sectorSize_ * sectorSize_; }
    uint64_t AlignUp(uint64_t offset) const { return AlignDown(offset + sectorSize_ - 1); }

    // One overlapped transfer of length bytes of bounce_ at offset; *done gets the bytes moved.
    bool Transfer(bool write, uint64_t offset, uint32_t length, uint32_t* done);
    bool WriteSpan(const unsigned char* bytes, uint32_t size);
    bool ReadSector(uint64_t offset, unsigned char* into);
    bool Fail(const std::string& what, uint64_t offset, uint32_t error);

    Win32Calls& calls_;
    Win32Handle handle_;
    Options options_;
    uint32_t sectorSize_;
    AlignedBuffer bounce_;
    uint64_t pos_ = 0;
    bool written_ = false;
    bool failed_ = false;
    std::string closeNote_;
};

}  // namespace platform::storage
