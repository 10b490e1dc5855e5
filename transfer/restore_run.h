#pragma once

#include <cstdint>
#include <string>

#include "platform/storage/aligned_buffer.h"
#include "platform/storage/device.h"
#include "platform/storage/file_stream.h"
#include "transfer/restore_bound.h"
#include "transfer/transfer_end.h"
#include "transfer/written_digest.h"

class DiskImager;

// One restore of an image file onto a physical drive, step by step: the checks made before the
// drive is touched, the copy block by block with one event dispatched per block, the flush, and
// the read-back that decides whether the drive holds the image. Each step either lets the restore
// go on or ends it; the restore ends exactly once.
class RestoreRun {
  public:
    RestoreRun(DiskImager& engine, std::string imagePath, std::string devicePath, int32_t sizeKB);

    TransferEnd Run();

  private:
    StepEnd Check();
    StepEnd OpenImage();
    void OpenDrive();
    StepEnd Copy();
    // Reads the next block of the image and writes it; *last is set at the image's end.
    StepEnd CopyBlock(bool* last);
    StepEnd WriteBlock(uint32_t size);
    // The room is full: the image must have ended there.
    StepEnd AtTheEndOfTheRoom();
    StepEnd Flush();
    TransferEnd ReadBack();
    TransferEnd Stop();
    TransferEnd StopReadBack();
    // Closes the drive; its note tells what the close left undone.
    bool CloseDrive(std::string* note);
    TransferEnd Fail(const char* text, std::string detail);

    DiskImager& engine_;
    std::string imagePath_;
    std::string devicePath_;
    int32_t sizeKB_;

    platform::storage::FileHandle image_;
    RestoreBound bound_;
    platform::storage::DeviceHandle device_;
    std::string openCause_;  // why the drive did not open
    WrittenDigest written_;
    platform::storage::AlignedBuffer block_;
};
