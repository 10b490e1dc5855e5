// The transfer half of DiskImager: block-by-block copies between a physical drive and an image
// file, with one pending event dispatched per block and while the storage waits for the drive;
// every restore is read back from the drive and compared with what was written.
#include "transfer/disk_imager.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/storage/aligned_buffer.h"
#include "platform/storage/device_wait.h"
#include "platform/storage/failure_cause.h"
#include "platform/window/event_pump.h"
#include "transfer/report_details.h"
#include "transfer/written_digest.h"

using namespace platform::storage;

namespace {

constexpr uint32_t kBlockSize = 2048;
constexpr uint32_t kSectorsPerBlock = 4;
constexpr uint32_t kProgressRange = 1000;
constexpr uint32_t kProgressPerBlock = kSectorsPerBlock * kProgressRange;
constexpr uint32_t kDeviceFlags = FILE_FLAG_NO_BUFFERING | FILE_FLAG_RANDOM_ACCESS;

constexpr uint64_t kMaxImageBytes = uint64_t{kMaxImageKB} << 10;
const size_t kPrefixLength = std::strlen(kDevicePathPrefix);

constexpr char kSizeRefused[] =
    "the size of the destination file is more than 2GB or less than 2KB...";

bool SizeOutOfRange(int32_t sizeKB) {
    return sizeKB > kMaxImageKB || sizeKB < 2;
}

}  // namespace

DiskImager::DiskImager(StorageServices& storage) : storage(storage) {}

DiskImager::~DiskImager() {
    abortRequested = true;
    ClearDrives();
}

void DiskImager::ReportError(std::string) {}
void DiskImager::ReportMessage(std::string) {}
bool DiskImager::SetProgressRange(int32_t) {
    return true;
}
bool DiskImager::SetProgressPos(int32_t) {
    return true;
}

void DiskImager::ReportErrorWith(const char* text, std::string detail) {
    reportDetail = std::move(detail);
    ReportError(text);
    reportDetail.clear();
}

void DiskImager::ReportMessageWith(const char* text, std::string detail) {
    reportDetail = std::move(detail);
    ReportMessage(text);
    reportDetail.clear();
}

std::string DiskImager::WhyOnPhysicalDrive(const std::string& path, const std::string& devicePath) {
    const std::string name = devicePath.substr(std::min(devicePath.size(), kPrefixLength));
    const std::string why = storage.ExplainPathOnDrive(path, name);
    return why.empty() ? path + " lies on a volume of the drive itself." : why;
}

void DiskImager::PumpOneMessage() {
    platform::window::PumpOneRound();
}

bool DiskImager::IsOnPhysicalDrive(const std::string& letter, const std::string& devicePath) {
    const std::string name = VolumeToPhysicalDrive(letter);
    return std::string(kDevicePathPrefix) + name == devicePath;
}

bool DiskImager::RestsOnPhysicalDrive(const std::string& path, const std::string& devicePath) {
    if (IsOnPhysicalDrive(storage.VolumeLetterOfPath(path), devicePath)) {
        return true;
    }
    // The file may also rest on the drive through a device stacked on it (a loop device over
    // the disk or over a file on it, a device-mapper or md device, a multi-device file system).
    for (const std::string& name : storage.PhysicalDrivesOfPath(path)) {
        if (std::string(kDevicePathPrefix) + name == devicePath) {
            return true;
        }
    }
    return false;
}

bool DiskImager::CreateImage(std::string devicePath, std::string imagePath, int32_t sizeKB) {
    // While the storage waits for the drive or the system, events are dispatched as the loop
    // does, so a slow drive holds nothing.
    DeviceWaitHook dispatching([this] { PumpOneMessage(); });
    ClearFailureCause();
    if (devicePath.empty() || imagePath.empty()) {
        ReportErrorWith("Destionation path is invalid",
                        imagePath.empty() ? "No image file was chosen." : "No drive was chosen.");
        return false;
    }
    abortRequested = false;
    if (SizeOutOfRange(sizeKB)) {
        ReportErrorWith(kSizeRefused, report_details::SizeWindow(sizeKB));
        return false;
    }
    if (RestsOnPhysicalDrive(imagePath, devicePath)) {
        ReportErrorWith("destination path belongs to source physical drive",
                        WhyOnPhysicalDrive(imagePath, devicePath));
        return false;
    }
    FileHandle image = storage.OpenFile(imagePath, "w+b");
    if (!image) {
        ReportErrorWith("Error creating image file",
                        report_details::StorageCause("The image file could not be created."));
        return false;
    }
    DeviceHandle device = storage.CreateFile(devicePath, GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, kDeviceFlags);
    AlignedBuffer block(kBlockSize);

    SetProgressRange(kProgressRange);
    const uint32_t sectors = 2u * static_cast<uint32_t>(sizeKB);
    uint32_t acc = 0;
    for (uint32_t done = 0; done < sectors; done += kSectorsPerBlock) {
        SetProgressPos(static_cast<int32_t>(acc / sectors));
        PumpOneMessage();
        if (abortRequested) {
            // What was copied before the Stop is kept, so it must reach the file.
            if (!image->Flush() || !image->Close()) {
                ReportErrorWith("Write I/O error", ImageFileFailure("Saving"));
                return false;
            }
            ReportErrorWith("User aborts creation of image",
                            report_details::Copied(uint64_t{done} * 512));
            return true;
        }
        uint32_t bytesRead = 0;
        if (!ReadFile(device, block.data(), kBlockSize, &bytesRead) || bytesRead == 0) {
            image->Close();
            ReportErrorWith("Read I/O error",
                            report_details::StorageCause("Reading the drive failed."));
            return false;
        }
        if (image->Write(block.data(), bytesRead, 1) != 1) {
            const std::string why = ImageFileFailure("Writing");
            image->Close();
            ReportErrorWith("Write I/O error", why);
            return false;
        }
        acc += kProgressPerBlock;
    }
    if (!image->Flush() || !image->Close()) {
        ReportErrorWith("Write I/O error", ImageFileFailure("Saving"));
        return false;
    }
    SetProgressPos(kProgressRange);
    return true;
}

std::string DiskImager::ImageFileFailure(const char* doing) {
    return std::string(doing) + " the image file failed: " + ErrnoText(errno) + ".";
}

bool DiskImager::RestoreImage(std::string imagePath, std::string devicePath, int32_t sizeKB) {
    abortRequested = false;
    DeviceWaitHook dispatching([this] { PumpOneMessage(); });
    ClearFailureCause();
    if (SizeOutOfRange(sizeKB)) {
        ReportErrorWith(kSizeRefused, report_details::SizeWindow(sizeKB));
        return false;
    }
    if (RestsOnPhysicalDrive(imagePath, devicePath)) {
        ReportErrorWith("source path belongs to the destination  physical drive",
                        WhyOnPhysicalDrive(imagePath, devicePath));
        return false;
    }
    FileHandle image = storage.OpenFile(imagePath, "rb");
    if (!image) {
        ReportErrorWith("Error opening image file",
                        imagePath.empty()
                            ? "No image file was chosen: choose one with \"...\"."
                            : report_details::StorageCause("The image file could not be opened."));
        return false;
    }
    // The whole image goes onto the drive, or the restore fails: one that cannot fit, or that is
    // longer than the 2 GB the engine counts exactly, is refused before the drive is touched.
    const RestoreBound bound = BoundOfRestore(*image, devicePath);
    if (bound.length && *bound.length > bound.room) {
        image->Close();
        ReportErrorWith(kSizeRefused,
                        report_details::TooLong(*bound.length, bound.room, bound.roomIsTheDrive));
        return false;
    }
    DeviceHandle device = storage.CreateFile(devicePath, GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, kDeviceFlags);
    AlignedBuffer block(kBlockSize);
    WrittenDigest written;

    SetProgressRange(kProgressRange);
    bool result = false;
    if (!CopyImageToDrive(*image, device, bound, written, block, &result)) {
        return result;
    }
    image->Close();
    if (!FlushFileBuffers(device)) {
        ReportErrorWith("Write I/O error",
                        report_details::StorageCause("Flushing the drive failed."));
        return false;
    }
    SetProgressPos(kProgressRange);
    return ReadBackRestored(device, written, block);
}

DiskImager::RestoreBound DiskImager::BoundOfRestore(const FileStream& image,
                                                    const std::string& devicePath) {
    RestoreBound bound;
    bound.room = kMaxImageBytes;
    uint64_t capacity = 0;
    const std::string name = devicePath.substr(std::min(devicePath.size(), kPrefixLength));
    if (storage.GetPhysicalDriveLength(name, &capacity) && capacity < bound.room) {
        bound.room = capacity;
        bound.roomIsTheDrive = true;
    }
    bound.length = image.Length();
    // Progress counts the blocks that will be written: the image's when its length is known.
    const uint64_t bytes = std::min(bound.length.value_or(bound.room), bound.room);
    bound.sectors = static_cast<uint32_t>((bytes + kBlockSize - 1) / kBlockSize) * kSectorsPerBlock;
    return bound;
}

int32_t DiskImager::RestoreProgress(uint32_t acc, const RestoreBound& bound,
                                    const FileStream& image) {
    if (bound.length) {
        return static_cast<int32_t>(acc / bound.sectors);
    }
    // A stream of unknown length (a compressed image) shows how far through its file it is.
    const uint64_t size = image.FileSize();
    return size == 0 ? 0
                     : static_cast<int32_t>(std::min<uint64_t>(
                           image.FileBytesConsumed() * kProgressRange / size, kProgressRange));
}

bool DiskImager::CopyImageToDrive(FileStream& image, DeviceHandle& device,
                                  const RestoreBound& bound, WrittenDigest& written,
                                  AlignedBuffer& block, bool* result) {
    uint32_t acc = 0;
    for (uint32_t done = 0; done < bound.sectors; done += kSectorsPerBlock) {
        if (abortRequested) {
            image.Close();
            // The blocks written before the Stop must have reached the drive.
            *result = FlushFileBuffers(device) && CloseHandle(device);
            if (*result) {
                ReportErrorWith("User aborts restoring",
                                report_details::Stopped(written.WrittenBytes(), false));
            } else {
                ReportErrorWith("Write I/O error",
                                report_details::StorageCause("Flushing the drive failed."));
            }
            return false;
        }
        SetProgressPos(RestoreProgress(acc, bound, image));
        PumpOneMessage();
        const size_t bytesRead = image.Read(block.data(), 1, kBlockSize);
        if (image.Error()) {
            return EndRestore(image, "Read I/O error",
                              report_details::StorageCause("Reading the image file failed."),
                              result);
        }
        if (bytesRead == 0) {
            return true;
        }
        uint32_t bytesWritten = 0;
        if (!WriteFile(device, block.data(), static_cast<uint32_t>(bytesRead), &bytesWritten) ||
            bytesWritten != bytesRead) {
            return EndRestore(image, "Write I/O error",
                              report_details::StorageCause("Writing the drive failed."), result);
        }
        written.AddWritten(block.data(), bytesRead);
        if (bytesRead < kBlockSize) {
            return true;  // the last, partial block of the image
        }
        acc += kProgressPerBlock;
    }
    // The drive, or what the engine counts, is full: the image must have ended there.
    unsigned char probe = 0;
    if (image.Read(&probe, 1, 1) == 0 && !image.Error()) {
        return true;
    }
    return EndRestore(image, bound.roomIsTheDrive ? "Write I/O error" : kSizeRefused,
                      report_details::PastTheEnd(bound.room, bound.roomIsTheDrive), result);
}

bool DiskImager::EndRestore(FileStream& image, const char* text, std::string detail, bool* result) {
    image.Close();
    ReportErrorWith(text, std::move(detail));
    *result = false;
    return false;
}

bool DiskImager::ReadBackRestored(DeviceHandle& device, WrittenDigest& written,
                                  AlignedBuffer& block) {
    // A drive may acknowledge writes it never stored (failing and counterfeit sticks do): only
    // bytes read back from the medium itself, past every cache, count as restored.
    SetProgressRange(kProgressRange);
    const uint64_t total = written.WrittenBytes();
    const uint32_t sectors =
        static_cast<uint32_t>((total + kBlockSize - 1) / kBlockSize) * kSectorsPerBlock;
    uint32_t acc = 0;
    bool read = SetFilePointer(device, 0);
    bool same = true;
    for (uint64_t at = 0; read && same && at < total; at += kBlockSize) {
        if (abortRequested) {
            if (!CloseHandle(device)) {
                ReportErrorWith("Write I/O error",
                                report_details::StorageCause("Closing the drive failed."));
                return false;
            }
            ReportErrorWith("User aborts restoring", report_details::Stopped(total, true));
            return true;
        }
        SetProgressPos(static_cast<int32_t>(acc / sectors));
        PumpOneMessage();
        const uint32_t wanted = static_cast<uint32_t>(std::min<uint64_t>(kBlockSize, total - at));
        uint32_t bytesRead = 0;
        read = ReadFile(device, block.data(), wanted, &bytesRead) && bytesRead == wanted;
        same = read && written.AddReadBack(block.data(), bytesRead);
        acc += kProgressPerBlock;
    }
    const std::string readFailure = report_details::StorageCause("Reading the drive back failed.");
    same = same && read && written.FinishReadBack();
    if (!CloseHandle(device)) {
        ReportErrorWith("Write I/O error",
                        report_details::StorageCause("Closing the drive failed."));
        return false;
    }
    if (!same) {
        ReportErrorWith("Write I/O error",
                        read ? report_details::NotStored(written.MismatchOffset()) : readFailure);
        return false;
    }
    SetProgressPos(kProgressRange);
    ReportMessageWith("Finished", report_details::Finished(total));
    return true;
}
