// The description of a real disk: a loop device with a mounted ext4 volume (root only).
#include <gtest/gtest.h>

#include "tests/platform/storage/linux/loop_device_fixture.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

using LoopDescriberTest = LoopDeviceTest;

TEST_P(LoopDescriberTest, DescribesTheDiskAndItsMountedVolume) {
    // Letters follow the mounted volumes; ask again if a volume of someone else came or went.
    std::string letter;
    std::optional<DriveDescription> description;
    for (int attempt = 0; attempt < 5; ++attempt) {
        letter = storage_->VolumeLetterOfPath(loop_->mountPoint());
        description = storage_->DescribePhysicalDrive(drive_);
        if (storage_->VolumeLetterOfPath(loop_->mountPoint()) == letter) {
            break;
        }
    }
    ASSERT_TRUE(description.has_value());
    EXPECT_EQ(description->deviceNode, loop_->device());
    EXPECT_EQ(description->transport, "virtual");
    EXPECT_EQ(description->capacityBytes, kDeviceBytes);
    ASSERT_EQ(description->volumes.size(), 1u);
    EXPECT_EQ(description->volumes[0].letter, letter);
    EXPECT_EQ(description->volumes[0].mountPoint, loop_->mountPoint());
    EXPECT_EQ(description->volumes[0].fileSystem, "ext4");
}

INSTANTIATE_TEST_SUITE_P(SectorSizes, LoopDescriberTest, testing::Values(512u));

}  // namespace
