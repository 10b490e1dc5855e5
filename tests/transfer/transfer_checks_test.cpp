// The checks both operations make before either end is opened.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/transfer/transfer_fixture.h"

using ::testing::ElementsAre;
using testing_support::PatternBytes;

namespace {

constexpr char kSizeText[] =
    "the size of the destination file is more than 2GB or less than 2KB...";

class TransferChecks : public TransferTest {
  protected:
    void ExpectNothingTouched() {
        EXPECT_EQ(storage.fileOpenAttempts, 0);
        EXPECT_EQ(stick->opens, 0);
        EXPECT_TRUE(imager.ranges.empty());
        EXPECT_EQ(imager.ReportCount(), 1);
    }
};

TEST_F(TransferChecks, SizesOutsideTwoKilobytesToTwoGigabytesAreRefused) {
    for (int32_t sizeKB : {0, 1, -4, 2097153}) {
        SCOPED_TRACE(sizeKB);
        imager.errors.clear();
        EXPECT_FALSE(imager.RestoreImage(kImagePath, kStick, sizeKB));
        EXPECT_THAT(imager.errors, ElementsAre(kSizeText));
        imager.errors.clear();
        EXPECT_FALSE(imager.CreateImage(kStick, kImagePath, sizeKB));
        EXPECT_THAT(imager.errors, ElementsAre(kSizeText));
    }
    EXPECT_EQ(storage.fileOpenAttempts, 0);
    EXPECT_EQ(stick->opens, 0);
}

TEST_F(TransferChecks, TheBoundariesAreAccepted) {
    storage.AddFile(kImagePath, PatternBytes(4096));
    EXPECT_TRUE(imager.RestoreImage(kImagePath, kStick, 2));
    EXPECT_TRUE(imager.RestoreImage(kImagePath, kStick, 2097152));  // ends at the image's end
    EXPECT_THAT(imager.messages, ElementsAre("Finished", "Finished"));
    EXPECT_TRUE(imager.CreateImage(kStick, "/home/op/b.img", 2));
    EXPECT_TRUE(imager.errors.empty());
}

TEST_F(TransferChecks, CreateWithAnEmptyPathIsRefusedBeforeTheSize) {
    EXPECT_FALSE(imager.CreateImage(kStick, "", 0));
    EXPECT_FALSE(imager.CreateImage("", kImagePath, 64));
    EXPECT_THAT(imager.errors,
                ElementsAre("Destionation path is invalid", "Destionation path is invalid"));
}

TEST_F(TransferChecks, RestoreRefusesAnImageOnTheTargetDrive) {
    storage.AddFile("/media/stick/a.img", PatternBytes(4096));
    EXPECT_FALSE(imager.RestoreImage("/media/stick/a.img", kStick, 64));
    EXPECT_THAT(imager.errors,
                ElementsAre("source path belongs to the destination  physical drive"));
    EXPECT_EQ(storage.File("/media/stick/a.img")->opens, 0);
    EXPECT_EQ(stick->opens, 0);
    EXPECT_EQ(stick->bytes[0], 0xAA);
}

TEST_F(TransferChecks, CreateRefusesAnImageOnTheSourceDrive) {
    EXPECT_FALSE(imager.CreateImage(kStick, "/media/stick/new.img", 64));
    EXPECT_THAT(imager.errors, ElementsAre("destination path belongs to source physical drive"));
    ExpectNothingTouched();
    EXPECT_EQ(storage.File("/media/stick/new.img"), nullptr);
}

TEST_F(TransferChecks, AnImageOnAVolumeSpanningTheTargetIsRefused) {
    // Volume F lies first on the system disk and further on the stick.
    using namespace platform::storage;  // the drive types (macros on Windows)
    auto& spanned = storage.AddVolume('F', 0, DRIVE_FIXED, 1u << 20);
    spanned.furtherDisks = {1};
    spanned.pathPrefix = "/srv/";
    storage.AddFile("/srv/a.img", PatternBytes(4096));

    EXPECT_FALSE(imager.RestoreImage("/srv/a.img", kStick, 64));
    EXPECT_FALSE(imager.CreateImage(kStick, "/srv/b.img", 64));

    EXPECT_THAT(imager.errors, ElementsAre("source path belongs to the destination  physical drive",
                                           "destination path belongs to source physical drive"));
    EXPECT_EQ(storage.File("/srv/a.img")->opens, 0);
    EXPECT_EQ(stick->opens, 0);
}

TEST_F(TransferChecks, TheImagesVolumeDecidesNotItsFirstCharacter) {
    // "E..." names drive E by its first character, but the file lies on C.
    storage.AddFile("Efile.img", {});
    storage.Volume('C')->pathPrefix = "";
    storage.Volume('E')->pathPrefix = "/media/stick/";
    EXPECT_FALSE(imager.IsOnPhysicalDrive(storage.VolumeLetterOfPath("Efile.img"), kStick));
    EXPECT_TRUE(imager.RestoreImage("Efile.img", kStick, 4));
    EXPECT_THAT(imager.messages, ElementsAre("Finished"));
    EXPECT_TRUE(imager.IsOnPhysicalDrive("E", kStick));
    EXPECT_FALSE(imager.IsOnPhysicalDrive("E", "\\\\.\\physicaldrive1"));
    EXPECT_FALSE(imager.IsOnPhysicalDrive("", kStick));
    EXPECT_FALSE(imager.IsOnPhysicalDrive("C", kStick));
}

}  // namespace
