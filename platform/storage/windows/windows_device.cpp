#include "platform/storage/windows/windows_device.h"

#include <algorithm>
#include <cstring>

#include "platform/storage/device_wait.h"
#include "platform/storage/failure_cause.h"
#include "platform/storage/windows/device_queries.h"
#include "platform/storage/windows/win32_error.h"

namespace platform::storage {

namespace {

std::string At(uint64_t offset) {
    return "at byte " + std::to_string(offset);
}

}  // namespace

std::unique_ptr<WindowsDevice> WindowsDevice::Create(Win32Calls& calls, Win32Handle handle,
                                                     Options options) {
    const uint32_t sector = options.sectorSize;
    if (!handle.valid() || sector == 0 || (sector & (sector - 1)) != 0 ||
        sector > AlignedBuffer::kAlignment) {
        return nullptr;
    }
    std::unique_ptr<WindowsDevice> device(
        new WindowsDevice(calls, std::move(handle), std::move(options)));
    return device->bounce_.valid() ? std::move(device) : nullptr;
}

WindowsDevice::WindowsDevice(Win32Calls& calls, Win32Handle handle, Options options)
    : calls_(calls),
      handle_(std::move(handle)),
      options_(std::move(options)),
      sectorSize_(options_.sectorSize),
      bounce_(kMaxTransfer) {}

WindowsDevice::~WindowsDevice() {
    Close();
}

bool WindowsDevice::Fail(const std::string& what, uint64_t offset, uint32_t error) {
    failed_ = true;
    SetFailureCause(what + " " + options_.path + " failed " + At(offset) + ": " +
                    Win32ErrorText(error) + ".");
    return false;
}

bool WindowsDevice::Transfer(bool write, uint64_t offset, uint32_t length, uint32_t* done) {
    *done = 0;
    Win32Handle event(calls_, calls_.CreateEventA(TRUE, FALSE));
    if (!event.valid()) {
        return Fail(write ? "Writing" : "Reading", offset, calls_.GetLastError());
    }
    OVERLAPPED overlapped{};
    overlapped.Offset = static_cast<DWORD>(offset);
    overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
    overlapped.hEvent = event.get();
    const BOOL started = write
                             ? calls_.WriteFile(handle_.get(), bounce_.data(), length, &overlapped)
                             : calls_.ReadFile(handle_.get(), bounce_.data(), length, &overlapped);
    if (!started) {
        const DWORD error = calls_.GetLastError();
        if (!write && error == ERROR_HANDLE_EOF) {
            return true;
        }
        if (error != ERROR_IO_PENDING) {
            return Fail(write ? "Writing" : "Reading", offset, error);
        }
    }
    // The transfer is in flight: wait for it in slices, letting the windows answer in between.
    for (;;) {
        const DWORD waited =
            calls_.WaitForSingleObject(event.get(), static_cast<DWORD>(kDeviceWaitSlice.count()));
        if (waited == WAIT_OBJECT_0) {
            break;
        }
        if (waited != WAIT_TIMEOUT) {
            const DWORD error = calls_.GetLastError();
            calls_.CancelIo(handle_.get());
            DWORD ignored = 0;
            calls_.GetOverlappedResult(handle_.get(), &overlapped, &ignored, TRUE);
            return Fail(write ? "Waiting for a write to" : "Waiting for a read from", offset,
                        error);
        }
        WhileDeviceWaits();
    }
    DWORD transferred = 0;
    if (!calls_.GetOverlappedResult(handle_.get(), &overlapped, &transferred, FALSE)) {
        const DWORD error = calls_.GetLastError();
        if (!write && error == ERROR_HANDLE_EOF) {
            return true;
        }
        return Fail(write ? "Writing" : "Reading", offset, error);
    }
    *done = transferred;
    return true;
}

bool WindowsDevice::ReadSector(uint64_t offset, unsigned char* into) {
    uint32_t done = 0;
    if (!Transfer(false, offset, sectorSize_, &done)) {
        return false;
    }
    if (done != sectorSize_) {
        return Fail("Reading", offset, ERROR_HANDLE_EOF);
    }
    std::memcpy(into, bounce_.data(), sectorSize_);
    return true;
}

bool WindowsDevice::WriteSpan(const unsigned char* bytes, uint32_t size) {
    const uint64_t start = AlignDown(pos_);
    const uint64_t end = pos_ + size;
    const uint32_t length = static_cast<uint32_t>(AlignUp(end) - start);
    // The sectors written only in part keep the rest of their content: read them first.
    std::vector<unsigned char> head;
    std::vector<unsigned char> tail;
    if (pos_ != start) {
        head.resize(sectorSize_);
        if (!ReadSector(start, head.data())) {
            return false;
        }
    }
    if (end % sectorSize_ != 0) {
        const uint64_t last = AlignDown(end);
        if (last == start && !head.empty()) {
            tail = head;
        } else {
            tail.resize(sectorSize_);
            if (!ReadSector(last, tail.data())) {
                return false;
            }
        }
    }
    if (!head.empty()) {
        std::memcpy(bounce_.data(), head.data(), sectorSize_);
    }
    if (!tail.empty()) {
        std::memcpy(bounce_.data() + length - sectorSize_, tail.data(), sectorSize_);
    }
    std::memcpy(bounce_.data() + (pos_ - start), bytes, size);
    uint32_t done = 0;
    if (!Transfer(true, start, length, &done)) {
        return false;
    }
    if (done != length) {
        failed_ = true;
        SetFailureCause("Writing " + options_.path + " stopped short " + At(start + done) +
                        ": the drive took " + std::to_string(done) + " of " +
                        std::to_string(length) + " bytes.");
        return false;
    }
    pos_ = end;
    return true;
}

bool WindowsDevice::Write(const void* buffer, uint32_t size, uint32_t* bytesWritten) {
    *bytesWritten = 0;
    if (!handle_.valid() || !options_.writable || failed_) {
        return false;
    }
    if (options_.sizeBytes && pos_ + size > *options_.sizeBytes) {
        SetFailureCause("The drive ends at byte " + std::to_string(*options_.sizeBytes) +
                        ": what is written goes on past its end.");
        return false;
    }
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    uint32_t left = size;
    while (left > 0) {
        // Each piece ends at most one transfer past the sector it starts in.
        const uint32_t room = kMaxTransfer - static_cast<uint32_t>(pos_ - AlignDown(pos_));
        const uint32_t n = std::min(left, room);
        if (!WriteSpan(bytes, n)) {
            return false;
        }
        written_ = true;
        bytes += n;
        left -= n;
        *bytesWritten += n;
    }
    return true;
}

bool WindowsDevice::Read(void* buffer, uint32_t size, uint32_t* bytesRead) {
    *bytesRead = 0;
    if (!handle_.valid() || failed_) {
        return false;
    }
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (*bytesRead < size) {
        uint64_t wanted = size - *bytesRead;
        if (options_.sizeBytes) {
            if (pos_ >= *options_.sizeBytes) {
                break;
            }
            wanted = std::min(wanted, *options_.sizeBytes - pos_);
        }
        const uint64_t start = AlignDown(pos_);
        const uint32_t length =
            static_cast<uint32_t>(std::min<uint64_t>(AlignUp(pos_ + wanted) - start, kMaxTransfer));
        uint32_t done = 0;
        if (!Transfer(false, start, length, &done)) {
            return false;
        }
        if (start + done <= pos_) {
            break;  // the device ended
        }
        const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(start + done - pos_, wanted));
        std::memcpy(bytes + *bytesRead, bounce_.data() + (pos_ - start), n);
        *bytesRead += n;
        pos_ += n;
    }
    return true;
}

bool WindowsDevice::Seek(uint64_t offset) {
    if (!handle_.valid() || (options_.sizeBytes && offset > *options_.sizeBytes)) {
        return false;
    }
    pos_ = offset;
    return true;
}

bool WindowsDevice::Flush() {
    if (!handle_.valid() || failed_) {
        return false;
    }
    if (!calls_.FlushFileBuffers(handle_.get())) {
        return Fail("Flushing", pos_, calls_.GetLastError());
    }
    return true;
}

bool WindowsDevice::Close() {
    if (!handle_.valid()) {
        return true;
    }
    bool closed = !failed_;
    if (options_.writable && written_) {
        closed = Flush() && closed;
        DWORD returned = 0;
        if (!calls_.DeviceIoControl(handle_.get(), IOCTL_DISK_UPDATE_PROPERTIES, nullptr, 0,
                                    nullptr, 0, &returned)) {
            closeNote_ = "The system could not re-read the partition table of " + options_.path +
                         " (" + Win32ErrorText(calls_.GetLastError()) +
                         "), so the volumes of the image show only after the drive is plugged "
                         "in again.";
        }
    }
    if (!handle_.Close() && closed) {
        closed = Fail("Closing", pos_, calls_.GetLastError());
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
