// The engine over the real backend on a device that fails chosen transfers (root and FUSE;
// skipped with the reason otherwise): every lost byte is reported, and what was done before the
// failure is kept.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/helpers/faulty_loop_device.h"
#include "tests/helpers/recording_imager.h"
#include "tests/platform/storage/linux/loop_device_fixture.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

constexpr uint64_t kMiB = 1u << 20;
constexpr uint64_t kDeviceBytes = 16 * kMiB;
constexpr int32_t kImageKB = 8 * 1024;

class FailingDeviceTest : public testing::Test {
  protected:
    void SetUp() override {
        FaultyLoopDevice::Options options;
        options.sizeBytes = kDeviceBytes;
        device_ = std::make_unique<FaultyLoopDevice>(options);
        if (!device_->ok()) {
            GTEST_SKIP() << device_->failure();
        }
        storage_ = std::make_unique<LinuxStorage>();
        imager_ = std::make_unique<RecordingImager>(*storage_);
        drive_ = storage_->PhysicalDriveNameOf(device_->device());
        // Never aim at anything but the loop device this test created.
        ASSERT_FALSE(drive_.empty());
        ASSERT_EQ(storage_->DeviceNodeOf(drive_), device_->device());
        folder_ = std::filesystem::path(device_->backingFile()).parent_path().string();
        image_ = folder_ + "/image.img";
        imageBytes_ = RandomBytes(8 * kMiB, 21);
        ASSERT_TRUE(WriteWholeFile(image_, imageBytes_));
    }

    std::string DevicePath() const { return "\\\\.\\" + drive_; }

    // The first size bytes that reached the medium.
    Bytes OnMedium(size_t size) const {
        Bytes bytes = ReadWholeFile(device_->backingFile());
        bytes.resize(std::min(bytes.size(), size));
        return bytes;
    }
    Bytes ImagePrefix(size_t size) const {
        return Bytes(imageBytes_.begin(), imageBytes_.begin() + static_cast<std::ptrdiff_t>(size));
    }

    std::unique_ptr<FaultyLoopDevice> device_;
    std::unique_ptr<LinuxStorage> storage_;
    std::unique_ptr<RecordingImager> imager_;
    std::string drive_;
    std::string folder_;
    std::string image_;
    Bytes imageBytes_;
};

TEST_F(FailingDeviceTest, AWriteFailingMidwayIsAWriteErrorAndKeepsWhatCameBefore) {
    ASSERT_TRUE(device_->FailWrites(5 * kMiB, 4096));

    EXPECT_FALSE(imager_->RestoreImage(image_, DevicePath(), kImageKB));

    EXPECT_EQ(imager_->errors, std::vector<std::string>{"Write I/O error"});
    EXPECT_TRUE(imager_->messages.empty());
    // Everything up to the transfer that failed reached the drive.
    EXPECT_TRUE(OnMedium(4 * kMiB) == ImagePrefix(4 * kMiB));
}

TEST_F(FailingDeviceTest, AFailingFlushIsAWriteError) {
    ASSERT_TRUE(device_->FailFsync(true));

    EXPECT_FALSE(imager_->RestoreImage(image_, DevicePath(), kImageKB));

    EXPECT_EQ(imager_->errors, std::vector<std::string>{"Write I/O error"});
    EXPECT_TRUE(imager_->messages.empty());
}

TEST_F(FailingDeviceTest, AStopAfterAFailedWriteIsAWriteError) {
    // The failed transfer may still be in flight when the Stop arrives: it surfaces at the latest
    // when the Stop makes the drive write out what it holds.
    ASSERT_TRUE(device_->FailWrites(4 * kMiB, 4096));
    const int stopRound = static_cast<int>(5 * kMiB / 2048);
    PumpHook stop([&](int round) {
        if (round == stopRound) {
            imager_->abortRequested = true;
        }
    });

    EXPECT_FALSE(imager_->RestoreImage(image_, DevicePath(), kImageKB));

    EXPECT_EQ(imager_->errors, std::vector<std::string>{"Write I/O error"});
    EXPECT_TRUE(OnMedium(4 * kMiB) == ImagePrefix(4 * kMiB));
}

TEST_F(FailingDeviceTest, AHealthyDeviceFinishes) {
    EXPECT_TRUE(imager_->RestoreImage(image_, DevicePath(), kImageKB));

    EXPECT_EQ(imager_->messages, std::vector<std::string>{"Finished"});
    EXPECT_TRUE(imager_->errors.empty());
    EXPECT_TRUE(OnMedium(imageBytes_.size()) == imageBytes_);
}

// The device acknowledges every write, but some never reach the medium: in the first transfer,
// in the middle, in the last one. Only the read-back can tell.
TEST_F(FailingDeviceTest, WritesTheDeviceDroppedAreAWriteError) {
    for (const uint64_t dropped : {uint64_t{0}, 3 * kMiB + 4096, imageBytes_.size() - 4096}) {
        RecordingImager imager(*storage_);
        ASSERT_TRUE(device_->Clear());
        ASSERT_TRUE(device_->DropWrites(dropped, 4096));

        EXPECT_FALSE(imager.RestoreImage(image_, DevicePath(), kImageKB)) << dropped;

        EXPECT_EQ(imager.errors, std::vector<std::string>{"Write I/O error"}) << dropped;
        EXPECT_TRUE(imager.messages.empty()) << dropped;
        ASSERT_TRUE(WriteWholeFile(device_->backingFile(), Bytes(kDeviceBytes, 0)));
    }
}

TEST_F(FailingDeviceTest, AReadFailingDuringTheReadBackIsAWriteError) {
    ASSERT_TRUE(device_->FailReads(3 * kMiB, 512));

    EXPECT_FALSE(imager_->RestoreImage(image_, DevicePath(), kImageKB));

    EXPECT_EQ(imager_->errors, std::vector<std::string>{"Write I/O error"});
    EXPECT_TRUE(imager_->messages.empty());
    EXPECT_TRUE(OnMedium(imageBytes_.size()) == imageBytes_);  // written, never confirmed
}

TEST_F(FailingDeviceTest, AReadFailingDuringCreationKeepsWhatWasReadBefore) {
    ASSERT_TRUE(WriteWholeFile(device_->backingFile(), imageBytes_));
    ASSERT_TRUE(device_->FailReads(3 * kMiB, 512));
    const std::string copy = folder_ + "/copy.img";

    EXPECT_FALSE(imager_->CreateImage(DevicePath(), copy, kImageKB));

    EXPECT_EQ(imager_->errors, std::vector<std::string>{"Read I/O error"});
    EXPECT_TRUE(ReadWholeFile(copy) == ImagePrefix(3 * kMiB));
}

}  // namespace
