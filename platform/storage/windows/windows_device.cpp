#include "platform/storage/windows/windows_device.h"

#include <limits>

#include "platform/storage/device_wait.h"
#include "platform/storage/failure_cause.h"
#include "platform/storage/windows/device_queries.h"
#include "platform/storage/windows/overlapped_io_queue.h"
#include "platform/storage/windows/win32_error.h"

namespace platform::storage {

namespace {

// Where the device does not tell its length, writes and reads go on until the device refuses.
constexpr uint64_t kUnknownLength = std::numeric_limits<uint64_t>::max() / 2;

std::string At(uint64_t offset) {
    return "at byte " + std::to_string(offset);
}

}  // namespace

std::unique_ptr<WindowsDevice> WindowsDevice::Create(Win32Calls& calls, Win32Handle handle,
                                                     Options options) {
    const uint32_t sector = options.sectorSize;
    if (!handle.valid() || sector == 0 || (sector & (sector - 1)) != 0 || sector > kMaxTransfer) {
        return nullptr;
    }
    BlockTransfers::Geometry geometry;
    geometry.blockSize = sector;
    geometry.sizeBytes = options.sizeBytes.value_or(kUnknownLength);
    geometry.transferSize = kMaxTransfer;
    std::unique_ptr<WindowsDevice> device(
        new WindowsDevice(calls, std::move(handle), std::move(options)));
    device->transfers_ =
        BlockTransfers::Create(*device,
                               std::make_unique<OverlappedIoQueue>(calls, device->handle_.get(),
                                                                   TransferSlots::kQueueDepth),
                               geometry);
    return device->transfers_ ? std::move(device) : nullptr;
}

WindowsDevice::WindowsDevice(Win32Calls& calls, Win32Handle handle, Options options)
    : calls_(calls), handle_(std::move(handle)), options_(std::move(options)) {}

WindowsDevice::~WindowsDevice() {
    Close();
}

int64_t WindowsDevice::ReadDirect(unsigned char* into, size_t size, uint64_t offset, int* error) {
    OverlappedIoQueue queue(calls_, handle_.get(), 1);
    size_t done = 0;
    while (done < size) {
        if (!queue.Read(0, into + done, size - done, offset + done)) {
            *error = queue.QueueError();
            return -1;
        }
        std::optional<IoQueue::Completion> completion;
        while (!(completion = queue.Next(kDeviceWaitSlice))) {
            WhileDeviceWaits();
        }
        if (completion->result < 0) {
            *error = static_cast<int>(-completion->result);
            return -1;
        }
        if (completion->result == 0) {
            break;  // the device ended
        }
        done += static_cast<size_t>(completion->result);
    }
    return static_cast<int64_t>(done);
}

std::string WindowsDevice::WriteFailure(uint64_t offset, int error) {
    return "Writing " + options_.path + " failed " + At(offset) + ": " +
           Win32ErrorText(static_cast<uint32_t>(error)) + ".";
}

std::string WindowsDevice::ReadFailure(uint64_t offset, int error) {
    return "Reading " + options_.path + " failed " + At(offset) + ": " +
           Win32ErrorText(static_cast<uint32_t>(error)) + ".";
}

std::string WindowsDevice::FlushFailure(int error) {
    return "Flushing " + options_.path + ", to make what was written durable, failed: " +
           Win32ErrorText(static_cast<uint32_t>(error)) + ".";
}

bool WindowsDevice::Write(const void* buffer, uint32_t size, uint32_t* bytesWritten) {
    *bytesWritten = 0;
    return handle_.valid() && options_.writable && transfers_->Write(buffer, size, bytesWritten);
}

bool WindowsDevice::Read(void* buffer, uint32_t size, uint32_t* bytesRead) {
    *bytesRead = 0;
    return handle_.valid() && transfers_->Read(buffer, size, bytesRead);
}

bool WindowsDevice::Seek(uint64_t offset) {
    return handle_.valid() && transfers_->Seek(offset);
}

bool WindowsDevice::Flush() {
    return handle_.valid() && transfers_->Flush();
}

bool WindowsDevice::Close() {
    if (!transfers_) {
        return handle_.Close();  // never set up, or closed
    }
    bool closed = !transfers_->failed();
    if (options_.writable && transfers_->written()) {
        closed = transfers_->Flush() && closed;
        DWORD returned = 0;
        if (!calls_.DeviceIoControl(handle_.get(), IOCTL_DISK_UPDATE_PROPERTIES, nullptr, 0,
                                    nullptr, 0, &returned)) {
            closeNote_ = "The system could not re-read the partition table of " + options_.path +
                         " (" + Win32ErrorText(calls_.GetLastError()) +
                         "), so the volumes of the image show only after the drive is plugged "
                         "in again.";
        }
    }
    transfers_.reset();  // what is still in flight ends before the handle closes
    if (!handle_.Close() && closed) {
        closed = false;
        SetFailureCause("Closing " + options_.path +
                        " failed: " + Win32ErrorText(calls_.GetLastError()) + ".");
    }
    options_.locks.reset();  // the volumes are unlocked only now that the disk's handle is closed
    return closed;
}

bool WindowsDevice::GetVolumeDiskExtents(std::vector<DiskExtent>* extents) {
    return handle_.valid() && QueryVolumeDiskExtents(calls_, handle_.get(), extents);
}

bool WindowsDevice::QueryStorageDeviceProperty(StorageDeviceDescriptor* descriptor) {
    std::optional<DiskIdentity> identity;
    if (!handle_.valid() || !(identity = QueryDiskIdentity(calls_, handle_.get()))) {
        return false;
    }
    return AnswerStorageProperty(identity->property, descriptor);
}

}  // namespace platform::storage
