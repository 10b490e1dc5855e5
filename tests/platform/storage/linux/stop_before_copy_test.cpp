// A Stop that comes before the first byte is written, while the drive is being claimed or right
// after it was opened, ends the restore with the drive and its mounts as they were (root and loop
// devices; skipped with the reason otherwise).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/platform/storage/linux/write_safety_fixture.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

constexpr char kStopped[] = "User aborts restoring";
constexpr char kNothingWritten[] = "Stopped before anything was written: the drive is as it was.";

// Stops once the drive's range is set: the drive was opened, no block is written yet.
class StopAtTheStart : public RecordingImager {
  public:
    using RecordingImager::RecordingImager;
    bool SetProgressRange(int32_t upper) override {
        abortRequested = true;
        return RecordingImager::SetProgressRange(upper);
    }
};

class StopBeforeCopyTest : public WriteSafetyTest {
  protected:
    void SetUp() override { Attach(true); }

    // The restore must end stopped with the detail given, no byte of the image on the device and
    // its volume mounted where and how it was. (Mounting again updates the file system's own
    // records, so the device's bytes are not compared whole.)
    void ExpectStopped(RecordingImager& imager, const std::string& detail) {
        const State before = Now();
        EXPECT_TRUE(imager.RestoreImage(image_, DevicePath(), 8192));
        EXPECT_EQ(imager.errors, std::vector<std::string>{kStopped});
        EXPECT_EQ(imager.details, std::vector<std::string>{detail});
        EXPECT_TRUE(imager.messages.empty());
        const State after = Now();
        EXPECT_EQ(after.mounts, before.mounts);
        const Bytes image = ReadWholeFile(image_);
        EXPECT_FALSE(std::equal(image.begin(), image.begin() + 4096, after.bytes.begin()));
    }
};

TEST_F(StopBeforeCopyTest, AStopAtTheFirstLookUnmountsNothing) {
    const std::vector<uint64_t> ids = MountIdsIn(loop_->folder());
    PumpHook stopAtOnce([&](int) { imager_->abortRequested = true; });

    ExpectStopped(*imager_, std::string(kNothingWritten) + " Its volumes stayed mounted.");

    EXPECT_EQ(MountIdsIn(loop_->folder()), ids);  // the very same mount, never unmounted
}

TEST_F(StopBeforeCopyTest, AStopOnceTheVolumeIsUnmountedMountsItAgain) {
    const std::string volume = loop_->mountPoint();
    bool sawUnmounted = false;
    PumpHook stopWhenUnmounted([&](int) {
        if (!IsMountPoint(volume)) {
            sawUnmounted = true;
            imager_->abortRequested = true;
        }
    });

    ExpectStopped(*imager_, std::string(kNothingWritten) +
                                " Its volumes, unmounted meanwhile, are mounted again.");

    EXPECT_TRUE(sawUnmounted);
}

TEST_F(StopBeforeCopyTest, AStopAfterTheDriveOpenedClosesItAndMountsItsVolumeAgain) {
    StopAtTheStart stopping(*storage_);

    ExpectStopped(stopping, std::string(kNothingWritten) +
                                " Its volumes, unmounted meanwhile, are mounted again.");
}

}  // namespace
