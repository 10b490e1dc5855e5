#include "platform/storage/simulated/simulated_devices.h"

#include <algorithm>
#include <cstring>

#include "platform/storage/device_wait.h"

namespace platform::storage::simulated {

namespace {

// memcpy that accepts empty media (whose data pointer may be null).
void CopyBytes(void* to, const void* from, uint64_t n) {
    if (n > 0) {
        std::memcpy(to, from, n);
    }
}

bool Covers(const std::optional<uint64_t>& offset, uint64_t from, uint64_t length) {
    return offset && *offset >= from && *offset < from + length;
}

// How many of length bytes from position can move before a short-transfer fault or the end.
uint64_t Transferable(const std::optional<uint64_t>& shortAt, uint64_t position, uint64_t length,
                      uint64_t end) {
    uint64_t n = position >= end ? 0 : std::min(length, end - position);
    if (Covers(shortAt, position, n)) {
        n = *shortAt - position;
    }
    return n;
}

bool AllZero(const void* bytes, uint64_t n) {
    const auto* begin = static_cast<const uint8_t*>(bytes);
    return std::all_of(begin, begin + n, [](uint8_t byte) { return byte == 0; });
}

}  // namespace

bool SimulatedDiskDevice::Read(void* buffer, uint32_t size, uint32_t* bytesRead) {
    *bytesRead = 0;
    if (Covers(disk_.faults.readFailsAt, position_, size)) {
        return false;
    }
    const uint64_t n = Transferable(disk_.faults.readShortAt, position_, size, disk_.sizeBytes);
    // Beyond what was planted or written the medium reads as zeros.
    const uint64_t stored =
        position_ >= disk_.bytes.size() ? 0 : std::min<uint64_t>(n, disk_.bytes.size() - position_);
    CopyBytes(buffer, disk_.bytes.data() + position_, stored);
    std::fill_n(static_cast<uint8_t*>(buffer) + stored, n - stored, uint8_t{0});
    position_ += n;
    disk_.bytesRead += n;
    *bytesRead = static_cast<uint32_t>(n);
    return true;
}

bool SimulatedDiskDevice::Write(const void* buffer, uint32_t size, uint32_t* bytesWritten) {
    *bytesWritten = 0;
    PauseForDevice(disk_.writeTime);
    if (Covers(disk_.faults.writeFailsAt, position_, size) || position_ >= disk_.sizeBytes) {
        return false;
    }
    const uint64_t n = Transferable(disk_.faults.writeShortAt, position_, size, disk_.sizeBytes);
    if (Covers(disk_.faults.writeDroppedAt, position_, n)) {
        position_ += n;  // acknowledged, never stored
        *bytesWritten = static_cast<uint32_t>(n);
        return true;
    }
    // Zeros past what the medium holds read as zeros already: a long run of them costs nothing.
    const bool zerosPastTheEnd = position_ >= disk_.bytes.size() && AllZero(buffer, n);
    if (!zerosPastTheEnd && disk_.bytes.size() < position_ + n) {
        disk_.bytes.resize(position_ + n, 0);
    }
    if (!zerosPastTheEnd) {
        CopyBytes(disk_.bytes.data() + position_, buffer, n);
    }
    position_ += n;
    disk_.bytesWritten += n;
    written_ = true;
    *bytesWritten = static_cast<uint32_t>(n);
    return true;
}

bool SimulatedDiskDevice::Close() {
    if (!closed_) {
        closed_ = true;
        ++disk_.closes;
        note_ = written_ ? disk_.closeNote : "";
    }
    return true;
}

bool SimulatedDiskDevice::Seek(uint64_t offset) {
    if (offset > disk_.sizeBytes) {
        return false;
    }
    position_ = offset;
    return true;
}

bool SimulatedDiskDevice::Flush() {
    ++disk_.flushes;
    return !disk_.faults.flushFails;
}

bool SimulatedDiskDevice::GetVolumeDiskExtents(std::vector<DiskExtent>* extents) {
    extents->assign(1, DiskExtent{number_, 0, static_cast<int64_t>(disk_.sizeBytes)});
    return true;
}

bool SimulatedDiskDevice::QueryStorageDeviceProperty(StorageDeviceDescriptor* descriptor) {
    return descriptor->Size >= kStorageDescriptorMinSize;
}

bool SimulatedVolumeDevice::GetVolumeDiskExtents(std::vector<DiskExtent>* extents) {
    extents->clear();
    if (volume_.extentsFail || !volume_.diskNumber) {
        return false;
    }
    extents->push_back(
        DiskExtent{*volume_.diskNumber, 0, static_cast<int64_t>(volume_.totalBytes)});
    for (uint32_t disk : volume_.furtherDisks) {
        extents->push_back(DiskExtent{disk, 0, 0});
    }
    return true;
}

bool SimulatedVolumeDevice::QueryStorageDeviceProperty(StorageDeviceDescriptor* descriptor) {
    if (!forProbe_ || volume_.probeFails || descriptor->Size < kStorageDescriptorMinSize) {
        return false;
    }
    descriptor->BusType = volume_.busType;
    descriptor->RemovableMedia = volume_.driveType == DRIVE_REMOVABLE;
    return true;
}

size_t SimulatedFileStream::Read(void* buffer, size_t size, size_t count) {
    const uint64_t wanted = static_cast<uint64_t>(size) * count;
    if (size == 0 || wanted == 0) {
        return 0;
    }
    uint64_t n = Transferable(file_.faults.readShortAt, position_, wanted, FileSize());
    if (Covers(file_.faults.readFailsAt, position_, wanted)) {
        n = std::min<uint64_t>(n, *file_.faults.readFailsAt - position_);
        error_ = true;
    }
    const uint64_t stored =
        position_ >= file_.bytes.size() ? 0 : std::min<uint64_t>(n, file_.bytes.size() - position_);
    CopyBytes(buffer, file_.bytes.data() + position_, stored);
    std::fill_n(static_cast<uint8_t*>(buffer) + stored, n - stored, uint8_t{0});
    position_ += n;
    return n / size;
}

size_t SimulatedFileStream::Write(const void* buffer, size_t size, size_t count) {
    const uint64_t wanted = static_cast<uint64_t>(size) * count;
    if (size == 0 || wanted == 0) {
        return 0;
    }
    uint64_t n = wanted;
    for (const auto& fault : {file_.faults.writeFailsAt, file_.faults.writeShortAt}) {
        if (Covers(fault, position_, wanted)) {
            n = std::min(n, *fault - position_);
            error_ = true;
        }
    }
    if (file_.bytes.size() < position_ + n) {
        file_.bytes.resize(position_ + n);
    }
    CopyBytes(file_.bytes.data() + position_, buffer, n);
    position_ += n;
    return n / size;
}

bool SimulatedFileStream::Flush() {
    ++file_.flushes;
    return !file_.faults.flushFails && !error_;
}

bool SimulatedFileStream::Close() {
    file_.closed = true;
    return true;
}

}  // namespace platform::storage::simulated
