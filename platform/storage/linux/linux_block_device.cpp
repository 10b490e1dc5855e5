#include "platform/storage/linux/linux_block_device.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/storage/failure_cause.h"

namespace platform::storage {

namespace {

// Whether the device behind fd has left the system (a stick pulled out).
bool Gone(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISBLK(st.st_mode)) {
        return false;  // a file standing in for a device does not go
    }
    const std::string entry = "/sys/dev/block/" + std::to_string(major(st.st_rdev)) + ":" +
                              std::to_string(minor(st.st_rdev));
    return ::access(entry.c_str(), F_OK) != 0;
}

std::string At(uint64_t offset) {
    return "at byte " + std::to_string(offset);
}

}  // namespace

std::unique_ptr<LinuxBlockDevice> LinuxBlockDevice::Create(UniqueFd fd, Options options) {
    if (!fd.valid()) {
        return nullptr;
    }
    BlockTransfers::Geometry geometry;
    geometry.blockSize = options.blockSize;
    geometry.sizeBytes = options.sizeBytes;
    geometry.transferSize = options.transferSize;
    const IoMode mode = options.ioMode;
    const int raw = fd.get();
    std::unique_ptr<LinuxBlockDevice> device(
        new LinuxBlockDevice(std::move(fd), std::move(options)));
    device->transfers_ = BlockTransfers::Create(
        *device, MakeIoQueue(raw, TransferSlots::kQueueDepth, mode), geometry);
    return device->transfers_ ? std::move(device) : nullptr;
}

LinuxBlockDevice::~LinuxBlockDevice() {
    Close();
}

int64_t LinuxBlockDevice::ReadDirect(unsigned char* into, size_t size, uint64_t offset,
                                     int* error) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pread(fd_.get(), into + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            *error = errno;
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

std::string LinuxBlockDevice::WriteFailure(uint64_t offset, int error) {
    return Gone(fd_.get())
               ? "The drive went away while it was being written (" + At(offset) +
                     "): " + ErrnoText(error) + "."
               : "Writing the drive failed " + At(offset) + ": " + ErrnoText(error) + ".";
}

std::string LinuxBlockDevice::ReadFailure(uint64_t offset, int error) {
    const std::string what = Gone(fd_.get()) ? "The drive went away while it was being read ("
                                             : "Reading the drive failed (";
    return what + At(offset) + "): " + ErrnoText(error) + ".";
}

std::string LinuxBlockDevice::FlushFailure(int error) {
    return "Flushing the drive, to make what was written durable, failed: " + ErrnoText(error) +
           ".";
}

bool LinuxBlockDevice::Write(const void* buffer, uint32_t size, uint32_t* bytesWritten) {
    *bytesWritten = 0;
    return fd_.valid() && options_.writable && transfers_->Write(buffer, size, bytesWritten);
}

bool LinuxBlockDevice::Read(void* buffer, uint32_t size, uint32_t* bytesRead) {
    *bytesRead = 0;
    return fd_.valid() && transfers_->Read(buffer, size, bytesRead);
}

bool LinuxBlockDevice::Seek(uint64_t offset) {
    return fd_.valid() && transfers_->Seek(offset);
}

bool LinuxBlockDevice::Flush() {
    return fd_.valid() && transfers_->Flush();
}

bool LinuxBlockDevice::Close() {
    if (!transfers_) {
        return !fd_.valid() || fd_.Close();  // closed before, or never set up
    }
    const bool written = transfers_->written();
    bool closed = !transfers_->failed();
    // A volume opened for writing but never written (the scan's query) is left as it is.
    if (options_.writable && (written || options_.afterClose)) {
        closed = transfers_->Flush() && closed;
    }
    transfers_.reset();
    closed = fd_.Close() && closed;
    if (options_.afterClose) {
        closed = options_.afterClose(written, &closeNote_) && closed;
    }
    return closed;
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
