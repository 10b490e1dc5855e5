#include "transfer/restore_run.h"

#include <algorithm>

#include "platform/storage/failure_cause.h"
#include "transfer/disk_imager.h"
#include "transfer/report_details.h"
#include "transfer/transfer_units.h"

using namespace platform::storage;
using report_details::StorageCause;

namespace {

constexpr char kSizeRefused[] =
    "the size of the destination file is more than 2GB or less than 2KB...";
constexpr char kStopped[] = "User aborts restoring";
constexpr char kWriteError[] = "Write I/O error";

}  // namespace

RestoreRun::RestoreRun(DiskImager& engine, std::string imagePath, std::string devicePath,
                       int32_t sizeKB)
    : engine_(engine),
      imagePath_(std::move(imagePath)),
      devicePath_(std::move(devicePath)),
      sizeKB_(sizeKB),
      block_(kBlockSize) {}

TransferEnd RestoreRun::Run() {
    if (StepEnd end = Check()) {
        return *end;
    }
    if (StepEnd end = OpenImage()) {
        return *end;
    }
    OpenDrive();
    engine_.SetProgressRange(kProgressRange);
    if (StepEnd end = Copy()) {
        return *end;
    }
    if (StepEnd end = Flush()) {
        return *end;
    }
    return ReadBack();
}

StepEnd RestoreRun::Check() {
    if (SizeOutOfRange(sizeKB_)) {
        return TransferEnd::Failed(kSizeRefused, report_details::SizeWindow(sizeKB_));
    }
    if (engine_.RestsOnPhysicalDrive(imagePath_, devicePath_)) {
        return TransferEnd::Failed("source path belongs to the destination  physical drive",
                                   engine_.WhyOnPhysicalDrive(imagePath_, devicePath_));
    }
    return std::nullopt;
}

StepEnd RestoreRun::OpenImage() {
    ClearFailureCause();
    image_ = engine_.storage.OpenFile(imagePath_, "rb");
    if (!image_) {
        return TransferEnd::Failed("Error opening image file",
                                   imagePath_.empty()
                                       ? "No image file was chosen: choose one with \"...\"."
                                       : StorageCause("The image file could not be opened."));
    }
    // The whole image goes onto the drive, or the restore fails: one that cannot fit, or that is
    // longer than the 2 GB the engine counts exactly, is refused before the drive is touched.
    bound_ = RestoreBound::Of(*image_, engine_.storage, DriveNameOf(devicePath_));
    if (bound_.TooLong()) {
        image_->Close();
        return TransferEnd::Failed(
            kSizeRefused,
            report_details::TooLong(*bound_.length, bound_.room, bound_.roomIsTheDrive));
    }
    return std::nullopt;
}

void RestoreRun::OpenDrive() {
    // Not tested here: a drive that did not open fails the first write, with this cause.
    ClearFailureCause();
    device_ = engine_.storage.CreateFile(devicePath_, GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, kDeviceFlags);
    if (!device_) {
        openCause_ = StorageCause("The drive could not be opened for writing.");
    }
}

StepEnd RestoreRun::Copy() {
    uint32_t acc = 0;
    for (uint32_t done = 0; done < bound_.sectors; done += kSectorsPerBlock) {
        if (engine_.abortRequested) {
            return Stop();
        }
        engine_.SetProgressPos(bound_.Progress(acc, *image_));
        engine_.PumpOneMessage();
        bool last = false;
        if (StepEnd end = CopyBlock(&last)) {
            return end;
        }
        if (last) {
            return std::nullopt;
        }
        acc += kProgressPerBlock;
    }
    return AtTheEndOfTheRoom();
}

StepEnd RestoreRun::CopyBlock(bool* last) {
    ClearFailureCause();
    const size_t bytesRead = image_->Read(block_.data(), 1, kBlockSize);
    if (image_->Error()) {
        return Fail("Read I/O error", StorageCause("Reading the image file failed."));
    }
    if (bytesRead == 0) {
        *last = true;
        return std::nullopt;
    }
    if (StepEnd end = WriteBlock(static_cast<uint32_t>(bytesRead))) {
        return end;
    }
    *last = bytesRead < kBlockSize;  // the last, partial block of the image
    return std::nullopt;
}

StepEnd RestoreRun::WriteBlock(uint32_t size) {
    if (!device_) {
        return Fail(kWriteError, openCause_);
    }
    const uint64_t offset = written_.WrittenBytes();
    ClearFailureCause();
    uint32_t bytesWritten = 0;
    if (!WriteFile(device_, block_.data(), size, &bytesWritten)) {
        return Fail(kWriteError, StorageCause("Writing the drive failed."));
    }
    if (bytesWritten != size) {
        return Fail(kWriteError, report_details::ShortWrite(offset, bytesWritten, size));
    }
    written_.AddWritten(block_.data(), size);
    return std::nullopt;
}

StepEnd RestoreRun::AtTheEndOfTheRoom() {
    unsigned char probe = 0;
    ClearFailureCause();
    const bool more = image_->Read(&probe, 1, 1) != 0;
    if (image_->Error()) {
        return Fail("Read I/O error", StorageCause("Reading the image file failed."));
    }
    if (!more) {
        return std::nullopt;
    }
    // An image that told its length and gives more is damaged; only a stream of unknown length
    // learns this late that it is too long: part of it is on the drive now.
    if (bound_.length) {
        return Fail("Read I/O error", report_details::LongerThanTold(*bound_.length));
    }
    return Fail(kWriteError, report_details::PastTheEnd(bound_.room, bound_.roomIsTheDrive));
}

StepEnd RestoreRun::Flush() {
    image_->Close();
    if (!device_) {
        return Fail(kWriteError, openCause_);
    }
    ClearFailureCause();
    if (!FlushFileBuffers(device_)) {
        return Fail(kWriteError, StorageCause("Flushing the drive failed."));
    }
    engine_.SetProgressPos(kProgressRange);
    return std::nullopt;
}

TransferEnd RestoreRun::Stop() {
    image_->Close();
    const uint64_t written = written_.WrittenBytes();
    if (!device_) {
        // The Stop came while the drive was being opened: the open gave up and undid itself.
        return TransferEnd::Stopped(kStopped, report_details::StoppedBeforeWriting(openCause_));
    }
    if (written == 0) {
        // Closing a drive that was never written gives its volumes back.
        std::string note;
        const bool closed = CloseDrive(&note);
        return TransferEnd::Stopped(
            kStopped, report_details::StoppedBeforeWriting(closed ? note : FailureCause()));
    }
    ClearFailureCause();
    // The blocks written before the Stop must have reached the drive.
    if (!FlushFileBuffers(device_) || !CloseHandle(device_)) {
        return TransferEnd::Failed(kWriteError, StorageCause("Flushing the drive failed."));
    }
    return TransferEnd::Stopped(kStopped, report_details::Stopped(written, false));
}

TransferEnd RestoreRun::ReadBack() {
    // A drive may acknowledge writes it never stored (failing and counterfeit sticks do): only
    // bytes read back from the medium itself, past every cache, count as restored.
    engine_.SetProgressRange(kProgressRange);
    const uint64_t total = written_.WrittenBytes();
    const uint32_t sectors =
        static_cast<uint32_t>((total + kBlockSize - 1) / kBlockSize) * kSectorsPerBlock;
    uint32_t acc = 0;
    ClearFailureCause();
    bool read = SetFilePointer(device_, 0);
    std::string readCause = read ? "" : StorageCause("Reading the drive back failed.");
    bool same = true;
    for (uint64_t at = 0; read && same && at < total; at += kBlockSize) {
        if (engine_.abortRequested) {
            return StopReadBack();
        }
        engine_.SetProgressPos(static_cast<int32_t>(acc / sectors));
        engine_.PumpOneMessage();
        const uint32_t wanted = static_cast<uint32_t>(std::min<uint64_t>(kBlockSize, total - at));
        uint32_t bytesRead = 0;
        ClearFailureCause();
        read = ReadFile(device_, block_.data(), wanted, &bytesRead) && bytesRead == wanted;
        if (!read) {
            readCause = StorageCause("Reading the drive back failed.");
        }
        same = read && written_.AddReadBack(block_.data(), bytesRead);
        acc += kProgressPerBlock;
    }
    same = same && read && written_.FinishReadBack();
    std::string note;
    if (!CloseDrive(&note)) {
        return TransferEnd::Failed(kWriteError, StorageCause("Closing the drive failed."));
    }
    if (!same) {
        return TransferEnd::Failed(
            kWriteError, read ? report_details::NotStored(written_.MismatchOffset()) : readCause);
    }
    engine_.SetProgressPos(kProgressRange);
    return TransferEnd::Done(
        "Finished", report_details::Finished(total, image_->DecodedWithoutChecksum(), note));
}

TransferEnd RestoreRun::StopReadBack() {
    std::string note;
    if (!CloseDrive(&note)) {
        return TransferEnd::Failed(kWriteError, StorageCause("Closing the drive failed."));
    }
    return TransferEnd::Stopped(kStopped, report_details::Stopped(written_.WrittenBytes(), true));
}

bool RestoreRun::CloseDrive(std::string* note) {
    ClearFailureCause();
    const bool closed = device_->Close();
    *note = device_->CloseNote();
    device_.reset();
    return closed;
}

TransferEnd RestoreRun::Fail(const char* text, std::string detail) {
    image_->Close();
    return TransferEnd::Failed(text, std::move(detail));
}
