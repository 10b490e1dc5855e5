#pragma once

#include <cstdint>
#include <string>

#include "platform/storage/aligned_buffer.h"
#include "platform/storage/device.h"
#include "platform/storage/file_stream.h"
#include "transfer/transfer_end.h"

class DiskImager;

// One creation of an image file from the first sizeKB kilobytes of a physical drive: the checks,
// then the copy block by block with one event dispatched per block. It ends exactly once.
class CreateRun {
  public:
    CreateRun(DiskImager& engine, std::string devicePath, std::string imagePath, int32_t sizeKB);

    TransferEnd Run();

  private:
    StepEnd Check();
    StepEnd OpenImage();
    void OpenDrive();
    StepEnd Copy();
    StepEnd CopyBlock();
    // The image keeps what was copied before a Stop, so it must reach the file.
    TransferEnd Stop(uint32_t sectorsDone);
    StepEnd Save();
    TransferEnd Fail(const char* text, std::string detail);

    DiskImager& engine_;
    std::string devicePath_;
    std::string imagePath_;
    int32_t sizeKB_;

    platform::storage::FileHandle image_;
    platform::storage::DeviceHandle device_;
    std::string openCause_;  // why the drive did not open
    platform::storage::AlignedBuffer block_;
};
