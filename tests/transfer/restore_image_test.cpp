#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/transfer/transfer_fixture.h"

using ::testing::ElementsAre;
using testing_support::PatternBytes;
using testing_support::PumpHook;
using testing_support::RecordingImager;

namespace {

using RestoreImage = TransferTest;

TEST_F(RestoreImage, WritesTheWholeImageIncludingAPartialLastBlock) {
    const auto image = PatternBytes(5000);
    storage.AddFile(kImagePath, image);

    EXPECT_TRUE(imager.RestoreImage(kImagePath, kStick, 1000));

    EXPECT_EQ(StickPrefix(5000), image);
    EXPECT_EQ(stick->bytes[5000], 0xAA);  // beyond the image the drive keeps its content
    EXPECT_EQ(stick->bytesWritten, 5000u);
    EXPECT_GE(stick->flushes, 1);
    EXPECT_TRUE(imager.errors.empty());
    EXPECT_THAT(imager.messages, ElementsAre("Finished"));
    EXPECT_THAT(imager.ranges, ElementsAre(1000, 1000));  // the write, then the read-back
    EXPECT_EQ(imager.positions.back(), 1000);
    EXPECT_EQ(stick->bytesRead, 5000u);  // every byte written was read back
    EXPECT_TRUE(storage.File(kImagePath)->closed);
}

// The size given is the sum of the drive's volumes; the image may be longer, up to the drive's
// capacity, and is then written whole.
TEST_F(RestoreImage, AnImageLongerThanTheVolumesIsWrittenWhole) {
    storage.AddFile(kImagePath, PatternBytes(16384));

    EXPECT_TRUE(imager.RestoreImage(kImagePath, kStick, 3));

    EXPECT_EQ(StickPrefix(16384), PatternBytes(16384));
    EXPECT_EQ(stick->bytes[16384], 0xAA);
    EXPECT_THAT(imager.messages, ElementsAre("Finished"));
}

TEST_F(RestoreImage, AnImageOfTheDrivesSizeFitsAndOneByteMoreIsRefusedUntouched) {
    storage.AddFile(kImagePath, PatternBytes(kStickBytes));
    EXPECT_TRUE(imager.RestoreImage(kImagePath, kStick, 4096));
    EXPECT_EQ(StickPrefix(kStickBytes), PatternBytes(kStickBytes));
    EXPECT_THAT(imager.messages, ElementsAre("Finished"));

    RecordingImager refused(storage);
    stick->bytes.assign(kStickBytes, 0xAA);
    const int opens = stick->opens;
    storage.AddFile(kImagePath, PatternBytes(kStickBytes + 1));
    EXPECT_FALSE(refused.RestoreImage(kImagePath, kStick, 4096));
    EXPECT_THAT(
        refused.errors,
        ElementsAre("the size of the destination file is more than 2GB or less than 2KB..."));
    EXPECT_EQ(stick->opens, opens);  // the drive was never opened, so nothing was unmounted
    EXPECT_EQ(StickPrefix(kStickBytes), std::vector<uint8_t>(kStickBytes, 0xAA));
    EXPECT_TRUE(refused.ranges.empty());
    EXPECT_TRUE(storage.File(kImagePath)->closed);
}

TEST_F(RestoreImage, AnImageOverTwoGigabytesIsRefusedEvenOnALargerDrive) {
    storage.AddDisk(2, uint64_t{4} << 30);
    storage.AddFile(kImagePath, PatternBytes(4096)).claimedLength = (uint64_t{2} << 30) + 1;
    EXPECT_FALSE(imager.RestoreImage(kImagePath, "\\\\.\\PHYSICALDRIVE2", 4096));
    EXPECT_THAT(
        imager.errors,
        ElementsAre("the size of the destination file is more than 2GB or less than 2KB..."));
    EXPECT_EQ(storage.Disk(2)->opens, 0);
}

// A stream whose length is known only at its end (a compressed image) must end on the drive.
TEST_F(RestoreImage, AStreamRunningPastTheDrivesEndIsAWriteError) {
    storage.AddFile(kImagePath, PatternBytes(kStickBytes + 2048)).streamed = true;

    EXPECT_FALSE(imager.RestoreImage(kImagePath, kStick, 4096));

    EXPECT_THAT(imager.errors, ElementsAre("Write I/O error"));
    EXPECT_TRUE(imager.messages.empty());
    EXPECT_EQ(StickPrefix(kStickBytes), PatternBytes(kStickBytes));
}

TEST_F(RestoreImage, AStreamThatEndsOnTheDriveFinishesWithProgressThroughItsFile) {
    storage.AddFile(kImagePath, PatternBytes(8192)).streamed = true;

    EXPECT_TRUE(imager.RestoreImage(kImagePath, kStick, 4096));

    EXPECT_EQ(StickPrefix(8192), PatternBytes(8192));
    EXPECT_THAT(imager.messages, ElementsAre("Finished"));
    EXPECT_THAT(imager.positions,
                ElementsAre(0, 250, 500, 750, 1000, 1000, 0, 250, 500, 750, 1000));
}

// Positions count the image's blocks, whatever the volumes add up to.
TEST_F(RestoreImage, ProgressRunsInThousandthsOfTheImagesSectors) {
    storage.AddFile(kImagePath, PatternBytes(8192));
    imager.RestoreImage(kImagePath, kStick, 1900000);
    // The write, then the read-back of what was written, each from 0 to 1000.
    EXPECT_THAT(imager.positions, ElementsAre(0, 250, 500, 750, 1000, 0, 250, 500, 750, 1000));

    imager.positions.clear();
    storage.AddFile(kImagePath, PatternBytes(2048));
    imager.RestoreImage(kImagePath, kStick, 2);
    EXPECT_THAT(imager.positions, ElementsAre(0, 1000, 0, 1000));

    imager.positions.clear();  // a partial last block is a block of its own
    storage.AddFile(kImagePath, PatternBytes(5000));
    imager.RestoreImage(kImagePath, kStick, 2);
    EXPECT_THAT(imager.positions, ElementsAre(0, 333, 666, 1000, 0, 333, 666, 1000));
}

TEST_F(RestoreImage, StopDuringAPassWritesThatPassThenEnds) {
    storage.AddFile(kImagePath, PatternBytes(8 * 2048));
    PumpHook stopInSecondPass([&](int round) {
        if (round == 1) {
            imager.abortRequested = true;
        }
    });

    EXPECT_TRUE(imager.RestoreImage(kImagePath, kStick, 16));

    EXPECT_EQ(StickPrefix(4096), PatternBytes(4096));
    EXPECT_EQ(stick->bytes[4096], 0xAA);
    EXPECT_THAT(imager.errors, ElementsAre("User aborts restoring"));
    EXPECT_TRUE(imager.messages.empty());
    EXPECT_NE(imager.positions.back(), 1000);
}

TEST_F(RestoreImage, AStaleStopFromBeforeTheStartIsCleared) {
    storage.AddFile(kImagePath, PatternBytes(2048));
    imager.abortRequested = true;
    EXPECT_TRUE(imager.RestoreImage(kImagePath, kStick, 2));
    EXPECT_THAT(imager.messages, ElementsAre("Finished"));
}

TEST_F(RestoreImage, ReadErrorOnTheImageIsReportedNotFinished) {
    storage.AddFile(kImagePath, PatternBytes(8192)).faults.readFailsAt = 5000;

    EXPECT_FALSE(imager.RestoreImage(kImagePath, kStick, 8));

    EXPECT_THAT(imager.errors, ElementsAre("Read I/O error"));
    EXPECT_TRUE(imager.messages.empty());
    EXPECT_EQ(StickPrefix(4096), PatternBytes(4096));
    EXPECT_EQ(stick->bytes[4096], 0xAA);
}

TEST_F(RestoreImage, FailedOrShortDeviceWritesAreWriteErrors) {
    storage.AddFile(kImagePath, PatternBytes(8192));
    stick->faults.writeFailsAt = 2048;
    EXPECT_FALSE(imager.RestoreImage(kImagePath, kStick, 8));
    EXPECT_THAT(imager.errors, ElementsAre("Write I/O error"));
    EXPECT_TRUE(imager.messages.empty());

    imager.errors.clear();
    stick->faults = {};
    stick->faults.writeShortAt = 6000;
    EXPECT_FALSE(imager.RestoreImage(kImagePath, kStick, 8));
    EXPECT_THAT(imager.errors, ElementsAre("Write I/O error"));
    EXPECT_TRUE(imager.messages.empty());
}

TEST_F(RestoreImage, FailedFlushIsAWriteErrorNotFinished) {
    storage.AddFile(kImagePath, PatternBytes(4096));
    stick->faults.flushFails = true;

    EXPECT_FALSE(imager.RestoreImage(kImagePath, kStick, 4));

    EXPECT_THAT(imager.errors, ElementsAre("Write I/O error"));
    EXPECT_TRUE(imager.messages.empty());
}

TEST_F(RestoreImage, DeviceThatCannotBeOpenedFailsTheFirstWrite) {
    storage.AddFile(kImagePath, PatternBytes(4096));
    stick->openFails = true;

    EXPECT_FALSE(imager.RestoreImage(kImagePath, kStick, 4));

    EXPECT_THAT(imager.errors, ElementsAre("Write I/O error"));
    EXPECT_EQ(storage.File(kImagePath)->bytes, PatternBytes(4096));
}

TEST_F(RestoreImage, ImageThatCannotBeOpened) {
    EXPECT_FALSE(imager.RestoreImage("/home/op/missing.img", kStick, 4));
    EXPECT_FALSE(imager.RestoreImage("", kStick, 4));
    storage.AddFile("/home/op/fifo.img", PatternBytes(4096)).regular = false;
    EXPECT_FALSE(imager.RestoreImage("/home/op/fifo.img", kStick, 4));

    EXPECT_THAT(imager.errors, ElementsAre("Error opening image file", "Error opening image file",
                                           "Error opening image file"));
    EXPECT_EQ(stick->opens, 0);
    EXPECT_TRUE(imager.ranges.empty());
}

TEST_F(RestoreImage, AReadOnlyImageIsRestored) {
    storage.AddFile(kImagePath, PatternBytes(4096)).readOnly = true;

    EXPECT_TRUE(imager.RestoreImage(kImagePath, kStick, 4));

    EXPECT_EQ(StickPrefix(4096), PatternBytes(4096));
    EXPECT_THAT(imager.messages, ElementsAre("Finished"));
}

TEST_F(RestoreImage, StopAfterDataWasLostIsAWriteError) {
    storage.AddFile(kImagePath, PatternBytes(8 * 2048));
    PumpHook stopInSecondPass([&](int round) {
        if (round == 1) {
            imager.abortRequested = true;
        }
    });
    stick->faults.flushFails = true;

    EXPECT_FALSE(imager.RestoreImage(kImagePath, kStick, 16));

    EXPECT_THAT(imager.errors, ElementsAre("Write I/O error"));
    EXPECT_TRUE(imager.messages.empty());
}

// A drive that acknowledges writes it never stores, or cannot read back what it stored, has not
// been restored.
TEST_F(RestoreImage, WhatTheDriveDidNotStoreIsAWriteErrorNotFinished) {
    for (const uint64_t dropped : {uint64_t{0}, uint64_t{3 * 2048}, uint64_t{8 * 2048 - 1}}) {
        storage.AddFile(kImagePath, PatternBytes(8 * 2048));
        RecordingImager fresh(storage);
        stick->bytes.assign(kStickBytes, 0xAA);
        stick->faults = {};
        stick->faults.writeDroppedAt = dropped;

        EXPECT_FALSE(fresh.RestoreImage(kImagePath, kStick, 16)) << dropped;

        EXPECT_THAT(fresh.errors, ElementsAre("Write I/O error")) << dropped;
        EXPECT_TRUE(fresh.messages.empty()) << dropped;
        EXPECT_THAT(fresh.ranges, ElementsAre(1000, 1000)) << dropped;
    }
}

TEST_F(RestoreImage, AReadFailingDuringTheReadBackIsAWriteError) {
    storage.AddFile(kImagePath, PatternBytes(8 * 2048));
    stick->faults.readFailsAt = 5 * 2048;

    EXPECT_FALSE(imager.RestoreImage(kImagePath, kStick, 16));

    EXPECT_EQ(StickPrefix(8 * 2048), PatternBytes(8 * 2048));  // written, but not confirmed
    EXPECT_THAT(imager.errors, ElementsAre("Write I/O error"));
    EXPECT_TRUE(imager.messages.empty());
}

TEST_F(RestoreImage, StopDuringTheReadBackEndsWithTheAbortText) {
    storage.AddFile(kImagePath, PatternBytes(8 * 2048));
    PumpHook stopInTheReadBack([&](int round) {
        if (round == 8 + 2) {  // eight rounds of writing, then the read-back's third
            imager.abortRequested = true;
        }
    });

    EXPECT_TRUE(imager.RestoreImage(kImagePath, kStick, 16));

    EXPECT_EQ(StickPrefix(8 * 2048), PatternBytes(8 * 2048));
    EXPECT_THAT(imager.errors, ElementsAre("User aborts restoring"));
    EXPECT_TRUE(imager.messages.empty());
    EXPECT_EQ(stick->bytesRead, 3u * 2048);
}

TEST_F(RestoreImage, EmptyImageFinishesWithoutWriting) {
    storage.AddFile(kImagePath, {});
    EXPECT_TRUE(imager.RestoreImage(kImagePath, kStick, 4));
    EXPECT_EQ(stick->bytesWritten, 0u);
    EXPECT_THAT(imager.messages, ElementsAre("Finished"));
}

}  // namespace
