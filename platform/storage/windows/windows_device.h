#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/storage/block_transfers.h"
#include "platform/storage/device.h"
#include "platform/storage/windows/volume_locks.h"
#include "platform/storage/windows/win32_handle.h"

namespace platform::storage {

// An open volume or physical drive, read and written unbuffered through BlockTransfers: every
// transfer covers whole sectors at sector-aligned offsets from aligned memory and goes to the
// device overlapped (OverlappedIoQueue), several at a time, sized to the speed the device shows;
// whoever waits for one waits in slices of kDeviceWaitSlice, running WhileDeviceWaits between
// them, so its windows answer however slow the device is.
//
// A failed transfer fails the call that learns of it (a later Write, or a Read, Flush or Close)
// and every Read, Write and Flush after it. Close flushes a written drive, has the system re-read
// its partition table, closes the handle and only then unlocks the volumes locked for the write.
class WindowsDevice : public Device, private DirectAccess {
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
    // The largest single transfer; the device's speed decides how much of it is used.
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

    int64_t ReadDirect(unsigned char* into, size_t size, uint64_t offset, int* error) override;
    std::string WriteFailure(uint64_t offset, int error) override;
    std::string ReadFailure(uint64_t offset, int error) override;
    std::string FlushFailure(int error) override;

    Win32Calls& calls_;
    Win32Handle handle_;
    Options options_;
    // Declared after the handle: gone, with every transfer in flight, before it closes.
    std::unique_ptr<BlockTransfers> transfers_;
    std::string closeNote_;
};

}  // namespace platform::storage
