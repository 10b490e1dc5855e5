// The list of every disk on real devices, and why the scan leaves a disk out (root only).
#include <gtest/gtest.h>

#include "tests/platform/storage/linux/loop_device_fixture.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

using LoopDiskListTest = LoopDeviceTest;

std::optional<DriveDescription> ListedDisk(LinuxStorage& storage, const std::string& device) {
    for (DriveDescription& disk : storage.DescribeDisks()) {
        if (disk.deviceNode == device) {
            return disk;
        }
    }
    return std::nullopt;
}

// Disks listed with a reason and disks the scan filed, where the two disagree.
std::string Disagreements(const RecordingImager& imager,
                          const std::vector<DriveDescription>& disks) {
    std::string text;
    for (const DriveDescription& disk : disks) {
        const bool filed = imager.FindPhysicalDrive(disk.name) != nullptr;
        if (filed != disk.whyNotOffered.empty()) {
            text += disk.deviceNode + (filed ? " filed, yet: " : " not filed, yet no reason") +
                    disk.whyNotOffered + "; ";
        }
    }
    return text;
}

TEST_P(LoopDiskListTest, AMountedVolumeMakesTheDiskOfferedAndItsUnmountingSaysWhyNot) {
    imager_->ScanDrives();
    std::optional<DriveDescription> listed = ListedDisk(*storage_, loop_->device());
    ASSERT_TRUE(listed.has_value());
    EXPECT_EQ(listed->name, drive_);
    EXPECT_EQ(listed->whyNotOffered, "");
    EXPECT_EQ(listed->volumes.size(), 1u);

    ASSERT_TRUE(loop_->Unmount());
    imager_->ScanDrives();
    listed = ListedDisk(*storage_, loop_->device());
    ASSERT_TRUE(listed.has_value());
    EXPECT_EQ(listed->name, storage_->PhysicalDriveNameOf(loop_->device()));
    EXPECT_EQ(listed->whyNotOffered, "it has no mounted volume");
    EXPECT_TRUE(listed->volumes.empty());
}

TEST_P(LoopDiskListTest, ReasonsAgreeWithTheScanAndOnlyDisksWithAMediumAreListed) {
    // Other users' loop devices may come and go between the scan and the list; look again then.
    std::vector<DriveDescription> disks;
    for (int attempt = 0; attempt < 5; ++attempt) {
        imager_->ScanDrives();
        disks = storage_->DescribeDisks();
        if (Disagreements(*imager_, disks).empty()) {
            break;
        }
    }
    EXPECT_EQ(Disagreements(*imager_, disks), "");
    for (const DriveDescription& disk : disks) {
        EXPECT_GT(disk.capacityBytes, 0u) << disk.deviceNode;
        EXPECT_NE(disk.deviceNode.rfind("/dev/zram", 0), 0u) << disk.deviceNode;
    }
}

INSTANTIATE_TEST_SUITE_P(SectorSizes, LoopDiskListTest, testing::Values(512u));

}  // namespace
