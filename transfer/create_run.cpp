#include "transfer/create_run.h"

#include "platform/storage/failure_cause.h"
#include "transfer/disk_imager.h"
#include "transfer/report_details.h"
#include "transfer/transfer_units.h"

using namespace platform::storage;
using report_details::StorageCause;

namespace {

std::string ImageFileFailure(const char* doing) {
    return std::string(doing) + " the image file failed: " + ErrnoText(errno) + ".";
}

}  // namespace

CreateRun::CreateRun(DiskImager& engine, std::string devicePath, std::string imagePath,
                     int32_t sizeKB)
    : engine_(engine),
      devicePath_(std::move(devicePath)),
      imagePath_(std::move(imagePath)),
      sizeKB_(sizeKB),
      block_(kBlockSize) {}

TransferEnd CreateRun::Run() {
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
    if (StepEnd end = Save()) {
        return *end;
    }
    engine_.SetProgressPos(kProgressRange);
    return TransferEnd::Silent();
}

StepEnd CreateRun::Check() {
    if (devicePath_.empty() || imagePath_.empty()) {
        return TransferEnd::Failed("Destionation path is invalid", imagePath_.empty()
                                                                       ? "No image file was chosen."
                                                                       : "No drive was chosen.");
    }
    // A Stop from before this creation does not stop it.
    engine_.abortRequested = false;
    if (SizeOutOfRange(sizeKB_)) {
        return TransferEnd::Failed(
            "the size of the destination file is more than 2GB or less than 2KB...",
            report_details::SizeWindow(sizeKB_));
    }
    if (engine_.RestsOnPhysicalDrive(imagePath_, devicePath_)) {
        return TransferEnd::Failed("destination path belongs to source physical drive",
                                   engine_.WhyOnPhysicalDrive(imagePath_, devicePath_));
    }
    return std::nullopt;
}

StepEnd CreateRun::OpenImage() {
    ClearFailureCause();
    image_ = engine_.storage.OpenFile(imagePath_, "w+b");
    if (!image_) {
        return TransferEnd::Failed("Error creating image file",
                                   StorageCause("The image file could not be created."));
    }
    return std::nullopt;
}

void CreateRun::OpenDrive() {
    // Not tested here: a drive that did not open fails the first read, with this cause.
    ClearFailureCause();
    device_ = engine_.storage.CreateFile(devicePath_, GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, kDeviceFlags);
    if (!device_) {
        openCause_ = StorageCause("The drive could not be opened for reading.");
    }
}

StepEnd CreateRun::Copy() {
    const uint32_t sectors = 2u * static_cast<uint32_t>(sizeKB_);
    uint32_t acc = 0;
    for (uint32_t done = 0; done < sectors; done += kSectorsPerBlock) {
        engine_.SetProgressPos(static_cast<int32_t>(acc / sectors));
        engine_.PumpOneMessage();
        if (engine_.abortRequested) {
            return Stop(done);
        }
        if (StepEnd end = CopyBlock()) {
            return end;
        }
        acc += kProgressPerBlock;
    }
    return std::nullopt;
}

StepEnd CreateRun::CopyBlock() {
    ClearFailureCause();
    uint32_t bytesRead = 0;
    if (!ReadFile(device_, block_.data(), kBlockSize, &bytesRead) || bytesRead == 0) {
        return Fail("Read I/O error",
                    device_ ? StorageCause("Reading the drive failed.") : openCause_);
    }
    if (image_->Write(block_.data(), bytesRead, 1) != 1) {
        return Fail("Write I/O error", ImageFileFailure("Writing"));
    }
    return std::nullopt;
}

TransferEnd CreateRun::Stop(uint32_t sectorsDone) {
    if (StepEnd end = Save()) {
        return *end;
    }
    return TransferEnd::Stopped("User aborts creation of image",
                                report_details::Copied(uint64_t{sectorsDone} * 512));
}

StepEnd CreateRun::Save() {
    if (!image_->Flush() || !image_->Close()) {
        return TransferEnd::Failed("Write I/O error", ImageFileFailure("Saving"));
    }
    return std::nullopt;
}

TransferEnd CreateRun::Fail(const char* text, std::string detail) {
    image_->Close();
    return TransferEnd::Failed(text, std::move(detail));
}
