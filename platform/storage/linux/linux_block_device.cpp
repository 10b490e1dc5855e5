#include "platform/storage/linux/linux_block_device.h"

#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform::storage {

namespace {

// Memory alignment for O_DIRECT: the block size, but never below a page.
constexpr size_t kMinAlignment = 4096;

bool PwriteAll(int fd, const unsigned char* bytes, size_t size, uint64_t offset) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, bytes, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        bytes += n;
        size -= static_cast<size_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

// Reads up to size bytes; fewer only at the end of the device. -1 on error.
ssize_t PreadUpTo(int fd, unsigned char* bytes, size_t size, uint64_t offset) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, bytes + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

}  // namespace

std::unique_ptr<LinuxBlockDevice> LinuxBlockDevice::Create(UniqueFd fd, Options options) {
    const uint32_t block = options.blockSize;
    if (!fd.valid() || block == 0 || (block & (block - 1)) != 0 || options.transferSize < block ||
        options.transferSize % block != 0) {
        return nullptr;
    }
    const size_t alignment = std::max<size_t>(block, kMinAlignment);
    const size_t transferBytes = (options.transferSize + alignment - 1) / alignment * alignment;
    const size_t sectorBytes = (size_t{block} + alignment - 1) / alignment * alignment;
    Bytes transfer(static_cast<unsigned char*>(std::aligned_alloc(alignment, transferBytes)));
    Bytes sector(static_cast<unsigned char*>(std::aligned_alloc(alignment, sectorBytes)));
    if (!transfer || !sector) {
        return nullptr;
    }
    return std::unique_ptr<LinuxBlockDevice>(new LinuxBlockDevice(
        std::move(fd), std::move(options), std::move(transfer), std::move(sector)));
}

LinuxBlockDevice::LinuxBlockDevice(UniqueFd fd, Options options, Bytes transfer, Bytes sector)
    : fd_(std::move(fd)),
      options_(std::move(options)),
      blockSize_(options_.blockSize),
      transfer_(std::move(transfer)),
      sector_(std::move(sector)) {}

LinuxBlockDevice::~LinuxBlockDevice() {
    Close();
}

bool LinuxBlockDevice::Fail() {
    failed_ = true;
    return false;
}

bool LinuxBlockDevice::ReadBlock(uint64_t offset, unsigned char* into) {
    return PreadUpTo(fd_.get(), into, blockSize_, offset) == static_cast<ssize_t>(blockSize_);
}

bool LinuxBlockDevice::Write(const void* buffer, uint32_t size, uint32_t* bytesWritten) {
    *bytesWritten = 0;
    if (!fd_.valid() || !options_.writable || failed_) {
        return false;
    }
    if (pos_ + size > options_.sizeBytes) {
        errno = ENOSPC;
        return false;
    }
    ahead_ = 0;
    if (gathered_ > 0 && pos_ != gatherStart_ + gathered_ && !WriteGathered()) {
        return false;
    }
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    size_t left = size;
    while (left > 0) {
        if (gathered_ == 0) {
            // A new transfer starts at the block holding pos_; its bytes before pos_ stay.
            gatherStart_ = AlignDown(pos_);
            const size_t head = static_cast<size_t>(pos_ - gatherStart_);
            if (head > 0 && !ReadBlock(gatherStart_, transfer_.get())) {
                return Fail();
            }
            gathered_ = head;
        }
        const size_t n = std::min(left, options_.transferSize - gathered_);
        std::memcpy(transfer_.get() + gathered_, bytes, n);
        gathered_ += n;
        pos_ += n;
        bytes += n;
        left -= n;
        if (gathered_ == options_.transferSize && !WriteGathered()) {
            return false;
        }
    }
    written_ = true;
    *bytesWritten = size;
    return true;
}

bool LinuxBlockDevice::WriteGathered() {
    if (gathered_ == 0) {
        return !failed_;
    }
    const size_t length = static_cast<size_t>(AlignUp(gathered_));
    if (length > gathered_) {
        // The last block is written only in part: keep the rest of it as it is on the device.
        const uint64_t lastBlock = gatherStart_ + length - blockSize_;
        if (!ReadBlock(lastBlock, sector_.get())) {
            gathered_ = 0;
            return Fail();
        }
        const size_t keepFrom = gathered_ - (length - blockSize_);
        std::memcpy(transfer_.get() + gathered_, sector_.get() + keepFrom, blockSize_ - keepFrom);
    }
    const bool written = PwriteAll(fd_.get(), transfer_.get(), length, gatherStart_);
    gathered_ = 0;
    return written ? true : Fail();
}

bool LinuxBlockDevice::FillReadAhead(uint64_t wanted) {
    const uint64_t start = AlignDown(pos_);
    const uint64_t toEnd = AlignUp(options_.sizeBytes - start);
    const uint64_t needed = AlignUp(pos_ - start + wanted);
    size_t length = static_cast<size_t>(std::min<uint64_t>(options_.transferSize, toEnd));
    if (badBlockAhead_) {
        length = static_cast<size_t>(std::min<uint64_t>(length, needed));
    }
    ssize_t n = PreadUpTo(fd_.get(), transfer_.get(), length, start);
    if (n < 0 && length > needed) {
        // A bad block further ahead must not fail a read that does not reach it; from now on
        // only what is asked for is read, so the failing read-ahead is not repeated each time.
        badBlockAhead_ = true;
        length = static_cast<size_t>(needed);
        n = PreadUpTo(fd_.get(), transfer_.get(), length, start);
        if (n < 0) {
            ahead_ = 0;
            return false;
        }
    }
    aheadStart_ = start;
    ahead_ = static_cast<size_t>(n);
    return true;
}

bool LinuxBlockDevice::Read(void* buffer, uint32_t size, uint32_t* bytesRead) {
    *bytesRead = 0;
    if (!fd_.valid() || failed_) {
        return false;
    }
    if (gathered_ > 0 && !WriteGathered()) {
        return false;
    }
    auto* bytes = static_cast<unsigned char*>(buffer);
    uint32_t done = 0;
    while (done < size && pos_ < options_.sizeBytes) {
        const bool inAhead = ahead_ > 0 && pos_ >= aheadStart_ && pos_ < aheadStart_ + ahead_;
        if (!inAhead) {
            if (!FillReadAhead(size - done)) {
                return false;
            }
            if (pos_ >= aheadStart_ + ahead_) {
                break;  // the device ended early
            }
        }
        const uint64_t available = aheadStart_ + ahead_ - pos_;
        const uint64_t n = std::min<uint64_t>({available, size - done, options_.sizeBytes - pos_});
        std::memcpy(bytes + done, transfer_.get() + (pos_ - aheadStart_), static_cast<size_t>(n));
        done += static_cast<uint32_t>(n);
        pos_ += n;
    }
    *bytesRead = done;
    return true;
}

bool LinuxBlockDevice::Flush() {
    if (!fd_.valid()) {
        return false;
    }
    if (!WriteGathered()) {
        return false;
    }
    if (::fsync(fd_.get()) != 0) {
        return Fail();
    }
    return !failed_;
}

bool LinuxBlockDevice::Close() {
    if (!fd_.valid()) {
        return true;
    }
    bool closed = true;
    // A volume opened for writing but never written (the scan's query) is left as it is.
    if (options_.writable && (written_ || options_.afterClose)) {
        closed = WriteGathered() && closed;
        closed = ::fsync(fd_.get()) == 0 && closed;
    }
    closed = fd_.Close() && closed;
    if (options_.afterClose) {
        closed = options_.afterClose() && closed;
    }
    return closed && !failed_;
}

bool LinuxBlockDevice::GetVolumeDiskExtents(std::vector<DiskExtent>* extents) {
    if (!fd_.valid() || !options_.hasExtents) {
        return false;
    }
    *extents = options_.extents;
    return true;
}

bool LinuxBlockDevice::QueryStorageDeviceProperty(StorageDeviceDescriptor* descriptor) {
    return fd_.valid() && options_.hasProperty &&
           AnswerStorageProperty(options_.property, descriptor);
}

}  // namespace platform::storage
