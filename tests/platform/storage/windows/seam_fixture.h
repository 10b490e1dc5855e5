#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "seam_calls.h"

namespace storage_test {

// A temporary folder of plain files standing in for disks and volumes, and the seam over them.
class SeamFixture : public ::testing::Test {
  protected:
    SeamFixture();
    ~SeamFixture() override;

    // A file of size bytes, each byte fill, as the disk number; returns its path.
    std::string AddDisk(uint32_t number, uint64_t size, uint8_t fill = 0xEE);
    // A volume on disk number at the start of it.
    SeamVolume& AddVolume(char letter, uint32_t number, UINT type, uint64_t totalBytes);
    std::vector<uint8_t> FileBytes(const std::string& path) const;
    bool EventsInclude(const std::string& event) const;

    std::filesystem::path folder;
    SeamCalls calls;
};

}  // namespace storage_test
