// The detail the engine gives beside each report: the cause of a refusal or failure in plain
// words, with the texts themselves unchanged.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/transfer/transfer_fixture.h"

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing_support::PatternBytes;
using testing_support::PumpHook;

namespace {

using ReportDetails = TransferTest;

TEST_F(ReportDetails, RefusalsSayWhatWasWrong) {
    imager.RestoreImage(kImagePath, kStick, 2097153);
    storage.AddFile(kImagePath, PatternBytes(kStickBytes + 1));
    imager.RestoreImage(kImagePath, kStick, 4096);
    imager.RestoreImage("/media/stick/a.img", kStick, 4096);
    imager.RestoreImage("", kStick, 4096);

    ASSERT_EQ(imager.details.size(), 4u);
    EXPECT_THAT(imager.details[0], HasSubstr("2097153 KB, more than 2 GB"));
    EXPECT_THAT(imager.details[1],
                AllOf(HasSubstr("4.2 MB (4194305 bytes)"), HasSubstr("4.2 MB (4194304 bytes)")));
    EXPECT_THAT(imager.details[2], HasSubstr("/media/stick/a.img is on E:\\"));
    EXPECT_THAT(imager.details[3], HasSubstr("No image file was chosen"));
    EXPECT_EQ(imager.errors[1],
              "the size of the destination file is more than 2GB or less than 2KB...");
}

TEST_F(ReportDetails, ADriveThatDidNotKeepTheDataIsNamedWithTheOffset) {
    storage.AddFile(kImagePath, PatternBytes(3 << 20));
    stick->faults.writeDroppedAt = (2u << 20) + 4096;

    imager.RestoreImage(kImagePath, kStick, 4096);

    EXPECT_THAT(imager.errors, ElementsAre("Write I/O error"));
    EXPECT_THAT(imager.details, ElementsAre(AllOf(HasSubstr("from offset 2097152 on differ"),
                                                  HasSubstr("failing or counterfeit"))));
}

TEST_F(ReportDetails, AStreamPastTheDrivesEndAndAStopSayHowFarTheyGot) {
    storage.AddFile(kImagePath, PatternBytes(kStickBytes + 2048)).streamed = true;
    imager.RestoreImage(kImagePath, kStick, 4096);

    storage.AddFile(kImagePath, PatternBytes(8 * 2048));
    PumpHook stopInSecondPass([&](int round) {
        if (round == 1) {
            imager.abortRequested = true;
        }
    });
    imager.RestoreImage(kImagePath, kStick, 16);

    ASSERT_EQ(imager.details.size(), 2u);
    EXPECT_THAT(imager.details[0], HasSubstr("past the end of the drive, which holds 4.2 MB"));
    EXPECT_THAT(imager.details[1],
                HasSubstr("Stopped after 4.1 kB (4096 bytes) of the image were written"));
}

TEST_F(ReportDetails, FinishedSaysTheReadBackMatched) {
    storage.AddFile(kImagePath, PatternBytes(5000));
    imager.RestoreImage(kImagePath, kStick, 4096);
    EXPECT_THAT(imager.details, ElementsAre(HasSubstr("5.0 kB (5000 bytes) of the image were "
                                                      "written, then read back")));
}

}  // namespace
