// The transfer half of DiskImager: block-by-block copies between a physical drive and an image
// file, with one pending event dispatched per block and while the storage waits for the drive;
// every restore is read back from the drive and compared with what was written.
#include "transfer/disk_imager.h"

#include "platform/storage/device_wait.h"
#include "platform/window/event_pump.h"
#include "transfer/create_run.h"
#include "transfer/restore_run.h"

using namespace platform::storage;

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

bool DiskImager::Report(const TransferEnd& end) {
    reportDetail = end.detail;
    switch (end.report) {
        case TransferEnd::Report::kError:
            ReportError(end.text);
            break;
        case TransferEnd::Report::kMessage:
            ReportMessage(end.text);
            break;
        case TransferEnd::Report::kNone:
            break;
    }
    reportDetail.clear();
    return end.result;
}

std::string DiskImager::WhyOnPhysicalDrive(const std::string& path, const std::string& devicePath) {
    const std::string why = storage.ExplainPathOnDrive(path, DriveNameOf(devicePath));
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
    // While the storage waits for the drive or the system, events are dispatched as the copy
    // does, so a slow drive holds nothing; a Stop then ends the wait where it can be given up.
    DeviceWaitHook dispatching([this] { PumpOneMessage(); }, [this] { return abortRequested; });
    return Report(CreateRun(*this, std::move(devicePath), std::move(imagePath), sizeKB).Run());
}

bool DiskImager::RestoreImage(std::string imagePath, std::string devicePath, int32_t sizeKB) {
    abortRequested = false;
    DeviceWaitHook dispatching([this] { PumpOneMessage(); }, [this] { return abortRequested; });
    return Report(RestoreRun(*this, std::move(imagePath), std::move(devicePath), sizeKB).Run());
}
