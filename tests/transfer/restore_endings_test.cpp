// How a restore ends when it does not simply run through: a Stop before anything was written,
// a cause that must be the failure's own, a short write, a stream too long for 2 GB, what closing
// the drive tells, and differences only the read-back's last check can see.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/storage/failure_cause.h"
#include "tests/transfer/transfer_fixture.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using testing_support::PatternBytes;
using testing_support::PumpHook;
using testing_support::RecordingImager;

namespace {

using RestoreEndings = TransferTest;

// Stops as soon as the drive's range is set: after the drive was opened, before the first block.
class StopAtTheStart : public RecordingImager {
  public:
    using RecordingImager::RecordingImager;
    bool SetProgressRange(int32_t upper) override {
        abortRequested = true;
        return RecordingImager::SetProgressRange(upper);
    }
};

TEST_F(RestoreEndings, AStopWhileTheDriveIsOpenedWritesNothingAndSaysSo) {
    storage.AddFile(kImagePath, PatternBytes(8 * 2048));
    stick->openWaitRounds = 5;
    PumpHook stopWhileOpening([&](int round) {
        if (round == 2) {
            imager.abortRequested = true;
        }
    });

    EXPECT_TRUE(imager.RestoreImage(kImagePath, kStick, 16));

    EXPECT_THAT(imager.errors, ElementsAre("User aborts restoring"));
    ASSERT_EQ(imager.details.size(), 1u);
    EXPECT_THAT(imager.details[0],
                StartsWith("Stopped before anything was written: the drive is as it was."));
    EXPECT_THAT(imager.details[0], HasSubstr("Its volumes stayed mounted."));
    EXPECT_EQ(stick->bytesWritten, 0u);
    EXPECT_EQ(StickPrefix(8 * 2048), std::vector<uint8_t>(8 * 2048, 0xAA));
    EXPECT_TRUE(storage.File(kImagePath)->closed);
}

TEST_F(RestoreEndings, AStopAfterTheDriveOpenedClosesItUnwritten) {
    storage.AddFile(kImagePath, PatternBytes(8 * 2048));
    stick->closeNote = "a note only a written drive gives";
    StopAtTheStart stopping(storage);

    EXPECT_TRUE(stopping.RestoreImage(kImagePath, kStick, 16));

    EXPECT_THAT(stopping.errors, ElementsAre("User aborts restoring"));
    EXPECT_THAT(stopping.details,
                ElementsAre("Stopped before anything was written: the drive is as it was."));
    EXPECT_EQ(stick->bytesWritten, 0u);
    EXPECT_EQ(stick->flushes, 0);  // nothing to make durable
    EXPECT_EQ(stick->closes, 1);   // closing gives the drive back
}

// A step that fails harmlessly (the capacity is not known, so 2 GB bounds the restore) must not
// lend its cause to a later failure that has none of its own.
TEST_F(RestoreEndings, AFailuresCauseIsItsOwn) {
    storage.AddFile(kImagePath, PatternBytes(8 * 2048));
    stick->lengthFails = true;
    stick->faults.writeFailsAt = 3 * 2048;
    platform::storage::SetFailureCause("a cause from before the restore");

    EXPECT_FALSE(imager.RestoreImage(kImagePath, kStick, 16));

    EXPECT_THAT(imager.errors, ElementsAre("Write I/O error"));
    EXPECT_THAT(imager.details, ElementsAre("Writing the drive failed."));
}

// Two failures share the headline: the detail tells a write the drive took only in part from
// data the drive took and did not keep.
TEST_F(RestoreEndings, AShortWriteIsNamedAsOneNotAsLostData) {
    storage.AddFile(kImagePath, PatternBytes(8 * 2048));
    stick->faults.writeShortAt = 3 * 2048 + 512;

    EXPECT_FALSE(imager.RestoreImage(kImagePath, kStick, 16));

    EXPECT_THAT(imager.errors, ElementsAre("Write I/O error"));
    EXPECT_THAT(imager.details, ElementsAre("Writing the drive failed at byte 6144: it took only "
                                            "512 of the 2048 bytes written."));
    EXPECT_THAT(imager.ranges, ElementsAre(1000));  // no read-back of a failed write
}

// Found too long only after 2 GB were written: that is a failed write, not a refused size,
// whose text would say nothing was written.
TEST_F(RestoreEndings, AStreamGoingPastTwoGigabytesOnALargerDriveIsAWriteError) {
    storage.AddDisk(2, uint64_t{3} << 30);
    auto& image = storage.AddFile(kImagePath, PatternBytes(2048));
    image.streamed = true;
    image.zeroTail = (uint64_t{2} << 30);  // the stream ends 2048 bytes past 2 GB

    EXPECT_FALSE(imager.RestoreImage(kImagePath, "\\\\.\\PHYSICALDRIVE2", 4096));

    EXPECT_THAT(imager.errors, ElementsAre("Write I/O error"));
    EXPECT_THAT(imager.details, ElementsAre(HasSubstr("goes on past 2 GB")));
    EXPECT_EQ(storage.Disk(2)->bytesWritten, uint64_t{2} << 30);
}

// An image that recorded its length (a zip entry) and gives more, or fails right at that
// length, is damaged: a read error, not a drive too small.
TEST_F(RestoreEndings, AnImageGivingMoreThanItsRecordedLengthIsAReadError) {
    auto& image = storage.AddFile(kImagePath, PatternBytes(8192));
    image.claimedLength = 6144;

    EXPECT_FALSE(imager.RestoreImage(kImagePath, kStick, 16));

    EXPECT_THAT(imager.errors, ElementsAre("Read I/O error"));
    EXPECT_THAT(imager.details, ElementsAre("The image gives more than the 6.1 kB (6144 bytes) its "
                                            "file records: it is damaged. The drive holds its "
                                            "first 6.1 kB (6144 bytes)."));
    EXPECT_EQ(StickPrefix(6144), PatternBytes(6144));

    RecordingImager again(storage);
    image.faults.readFailsAt = 6144;
    EXPECT_FALSE(again.RestoreImage(kImagePath, kStick, 16));
    EXPECT_THAT(again.errors, ElementsAre("Read I/O error"));
    EXPECT_THAT(again.details, ElementsAre("Reading the image file failed."));
}

TEST_F(RestoreEndings, FinishedSaysWhenTheImageCarriedNoChecksum) {
    storage.AddFile(kImagePath, PatternBytes(8 * 2048)).withoutChecksum = true;

    EXPECT_TRUE(imager.RestoreImage(kImagePath, kStick, 16));

    EXPECT_THAT(imager.messages, ElementsAre("Finished"));
    EXPECT_THAT(imager.details,
                ElementsAre(HasSubstr("they match. The image carried no checksum of its own, so "
                                      "damage in it could not be detected.")));
}

TEST_F(RestoreEndings, WhatClosingTheWrittenDriveTellsFollowsFinished) {
    storage.AddFile(kImagePath, PatternBytes(8 * 2048));
    stick->closeNote = "The volumes show after the drive is plugged in again.";

    EXPECT_TRUE(imager.RestoreImage(kImagePath, kStick, 16));

    EXPECT_THAT(imager.messages, ElementsAre("Finished"));
    EXPECT_THAT(imager.details,
                ElementsAre(AllOf(StartsWith("All 16.4 kB (16384 bytes) of the image were written"),
                                  HasSubstr("they match. The volumes show after the drive is "
                                            "plugged in again."))));
}

// Whole mebibytes are compared as they are read back; what follows the last whole one only by
// the read-back's last check.
TEST_F(RestoreEndings, TheReadBacksLastCheckFindsDifferencesAfterTheLastWholeMebibyte) {
    constexpr uint64_t kMiB = uint64_t{1} << 20;
    for (const uint64_t dropped : {kMiB, kMiB + 300 * 1024, uint64_t{2095200}}) {
        storage.AddFile(kImagePath, PatternBytes(2 * kMiB - 1024));
        stick->bytes.assign(kStickBytes, 0xAA);
        stick->faults = {};
        stick->faults.writeDroppedAt = dropped;
        RecordingImager fresh(storage);

        EXPECT_FALSE(fresh.RestoreImage(kImagePath, kStick, 2048)) << dropped;

        EXPECT_THAT(fresh.errors, ElementsAre("Write I/O error")) << dropped;
        EXPECT_THAT(fresh.details, ElementsAre(HasSubstr("from offset 1048576 on differ")))
            << dropped;
    }
}

TEST_F(RestoreEndings, ADriveReadingBackFewerBytesThanWrittenIsNotRestored) {
    storage.AddFile(kImagePath, PatternBytes(5000));
    stick->faults.readShortAt = 4096;

    EXPECT_FALSE(imager.RestoreImage(kImagePath, kStick, 8));

    EXPECT_THAT(imager.errors, ElementsAre("Write I/O error"));
    EXPECT_TRUE(imager.messages.empty());
}

}  // namespace
