// Restores bounded by what the drive holds, not by the sum of its volumes, on a 64 MiB loop device
// whose one ext4 volume is 16 MiB (root only; skipped with the reason otherwise).
#include <gtest/gtest.h>

#include <optional>

#include "tests/platform/storage/linux/loop_device_fixture.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

constexpr uint64_t kMiB = 1u << 20;
constexpr uint64_t kDeviceBytes = 64 * kMiB;

class DriveCapacityTest : public testing::Test {
  protected:
    void SetUp() override {
        LoopDevice::Options options;
        options.sizeBytes = kDeviceBytes;
        options.fileSystemBytes = 16 * kMiB;
        loop_.emplace(options);
        if (!loop_->ok()) {
            GTEST_SKIP() << loop_->failure();
        }
        drive_ = storage_.PhysicalDriveNameOf(loop_->device());
        ASSERT_FALSE(drive_.empty());
        ASSERT_EQ(storage_.DeviceNodeOf(drive_), loop_->device());
        imager_.ScanDrives();
        const PhysicalDriveEntry* entry = imager_.FindPhysicalDrive(drive_);
        ASSERT_NE(entry, nullptr);
        totalKB_ = entry->totalKB;
        ASSERT_LT(totalKB_, 17 * 1024);  // the volume's size, as the window passes it
    }

    bool Restore(const Bytes& image) {
        const std::string path = loop_->folder() + "/image.img";
        return WriteWholeFile(path, image) &&
               imager_.RestoreImage(path, "\\\\.\\" + drive_, totalKB_);
    }

    std::optional<LoopDevice> loop_;
    LinuxStorage storage_;
    RecordingImager imager_{storage_};
    std::string drive_;
    int32_t totalKB_ = 0;
};

TEST_F(DriveCapacityTest, AnImageLongerThanTheVolumeIsWrittenWhole) {
    const Bytes image = RandomBytes(40 * kMiB, 1);
    EXPECT_TRUE(Restore(image));
    EXPECT_EQ(imager_.messages, std::vector<std::string>{"Finished"});
    EXPECT_TRUE(ReadDevice(loop_->device(), image.size()) == image);
}

TEST_F(DriveCapacityTest, AnImageOfTheDrivesSizeIsWrittenWhole) {
    const Bytes image = RandomBytes(kDeviceBytes, 2);
    EXPECT_TRUE(Restore(image));
    EXPECT_EQ(imager_.messages, std::vector<std::string>{"Finished"});
    EXPECT_TRUE(ReadDevice(loop_->device(), image.size()) == image);
}

TEST_F(DriveCapacityTest, AnImageLongerThanTheDriveIsRefusedWithNothingUnmountedOrWritten) {
    SyncFileSystem(loop_->mountPoint());
    const Bytes before = ReadDevice(loop_->device(), kDeviceBytes);
    EXPECT_FALSE(Restore(RandomBytes(kDeviceBytes + 512, 3)));
    EXPECT_EQ(imager_.errors,
              std::vector<std::string>{
                  "the size of the destination file is more than 2GB or less than 2KB..."});
    EXPECT_TRUE(IsMountPoint(loop_->mountPoint()));
    EXPECT_TRUE(ReadDevice(loop_->device(), kDeviceBytes) == before);
}

}  // namespace
