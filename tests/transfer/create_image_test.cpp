#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/transfer/transfer_fixture.h"

using ::testing::ElementsAre;
using testing_support::PatternBytes;
using testing_support::PumpHook;

namespace {

class CreateImage : public TransferTest {
  protected:
    CreateImage() {
        const auto pattern = PatternBytes(kStickBytes, 7);
        stick->bytes.assign(pattern.begin(), pattern.end());
    }
    const std::vector<uint8_t>& Image() { return storage.File(kImagePath)->bytes; }
};

TEST_F(CreateImage, CopiesTheFirstKilobytesWithoutAMessage) {
    EXPECT_TRUE(imager.CreateImage(kStick, kImagePath, 64));

    EXPECT_EQ(Image(), StickPrefix(64 * 1024));
    EXPECT_TRUE(imager.errors.empty());
    EXPECT_TRUE(imager.messages.empty());
    EXPECT_THAT(imager.ranges, ElementsAre(1000));
    EXPECT_EQ(imager.positions.back(), 1000);
    EXPECT_GE(storage.File(kImagePath)->flushes, 1);
    EXPECT_EQ(stick->writeOpens, 0);
}

TEST_F(CreateImage, OddSizeRoundsUpToAWholeBlock) {
    EXPECT_TRUE(imager.CreateImage(kStick, kImagePath, 3));
    EXPECT_EQ(Image(), StickPrefix(4096));
    EXPECT_THAT(imager.positions, ElementsAre(0, 666, 1000));
}

TEST_F(CreateImage, ShortDeviceReadPutsOnlyTheBytesRead) {
    stick->faults.readShortAt = 3000;

    EXPECT_TRUE(imager.CreateImage(kStick, kImagePath, 4));

    EXPECT_EQ(Image(), StickPrefix(3000));
}

TEST_F(CreateImage, StopPreventsThatPassesRead) {
    PumpHook stopInThirdPass([&](int round) {
        if (round == 2) {
            imager.abortRequested = true;
        }
    });

    EXPECT_TRUE(imager.CreateImage(kStick, kImagePath, 64));

    EXPECT_EQ(Image(), StickPrefix(4096));
    EXPECT_THAT(imager.errors, ElementsAre("User aborts creation of image"));
    EXPECT_TRUE(storage.File(kImagePath)->closed);
}

TEST_F(CreateImage, ReadErrorsAndAMissingDevice) {
    stick->faults.readFailsAt = 4096;
    EXPECT_FALSE(imager.CreateImage(kStick, kImagePath, 64));
    EXPECT_EQ(Image(), StickPrefix(4096));

    EXPECT_FALSE(imager.CreateImage("\\\\.\\PHYSICALDRIVE7", kImagePath, 64));
    EXPECT_TRUE(Image().empty());  // created (truncated) before the device was opened

    EXPECT_THAT(imager.errors, ElementsAre("Read I/O error", "Read I/O error"));
}

TEST_F(CreateImage, WriteAndFlushErrorsOnTheImage) {
    storage.AddFile(kImagePath, {}).faults.writeFailsAt = 5000;
    EXPECT_FALSE(imager.CreateImage(kStick, kImagePath, 64));

    storage.File(kImagePath)->faults = {};
    storage.File(kImagePath)->faults.flushFails = true;
    EXPECT_FALSE(imager.CreateImage(kStick, kImagePath, 64));

    EXPECT_THAT(imager.errors, ElementsAre("Write I/O error", "Write I/O error"));
    EXPECT_NE(imager.positions.back(), 1000);
}

TEST_F(CreateImage, ImageThatCannotBeCreated) {
    storage.AddFile(kImagePath, {1, 2, 3}).readOnly = true;
    storage.AddFile("/home/op/fifo", {4, 5}).regular = false;

    EXPECT_FALSE(imager.CreateImage(kStick, kImagePath, 64));
    EXPECT_FALSE(imager.CreateImage(kStick, "/home/op/fifo", 64));

    EXPECT_THAT(imager.errors,
                ElementsAre("Error creating image file", "Error creating image file"));
    EXPECT_EQ(stick->opens, 0);
    EXPECT_EQ(storage.File("/home/op/fifo")->bytes, (std::vector<uint8_t>{4, 5}));
}

TEST_F(CreateImage, StopWhoseCopyCannotBeSavedIsAWriteError) {
    storage.AddFile(kImagePath, {}).faults.flushFails = true;
    PumpHook stopInThirdPass([&](int round) {
        if (round == 2) {
            imager.abortRequested = true;
        }
    });

    EXPECT_FALSE(imager.CreateImage(kStick, kImagePath, 64));

    EXPECT_THAT(imager.errors, ElementsAre("Write I/O error"));
    EXPECT_TRUE(storage.File(kImagePath)->closed);
}

}  // namespace

namespace {

TEST(SimulatedDisk, ALargeDiskCostsOnlyWhatIsWrittenAndReadsZerosElsewhere) {
    platform::storage::simulated::SimulatedStorage storage;
    platform::storage::simulated::SimulatedDisk& disk = storage.AddDisk(3, 1ull << 30);
    testing_support::RecordingImager imager(storage);
    storage.AddFile("/home/op/a.img", PatternBytes(4096));

    EXPECT_TRUE(imager.RestoreImage("/home/op/a.img", "\\\\.\\PHYSICALDRIVE3", 2048));
    EXPECT_EQ(disk.bytes, PatternBytes(4096));
    EXPECT_TRUE(imager.CreateImage("\\\\.\\PHYSICALDRIVE3", "/home/op/b.img", 8));

    std::vector<uint8_t> expected = PatternBytes(4096);
    expected.resize(8192, 0);
    EXPECT_EQ(storage.File("/home/op/b.img")->bytes, expected);
}

}  // namespace
