// A stick whose volume holds files not yet written out: unmounting it must first write them at
// the stick's own speed, the kernel's writeback included (root and /dev/fuse; skipped with the
// reason otherwise). The window's thread keeps answering meanwhile, and a Stop ends the restore
// with the volume mounted as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>

#include "platform/storage/linux/mount_table.h"
#include "tests/helpers/faulty_loop_device.h"
#include "tests/helpers/machine_stalls.h"
#include "tests/platform/storage/linux/loop_device_fixture.h"

using namespace platform::storage;
using namespace testing_support;
using namespace std::chrono_literals;

namespace {

constexpr uint64_t kMiB = 1u << 20;
constexpr uint64_t kStickSpeed = 2 * kMiB;  // bytes per second, for every writer
constexpr auto kLongestWait = 50ms;
constexpr auto kStopTakes = 300ms;

// The mount ID of the volume at target; 0 when nothing is mounted there.
int MountIdAt(const std::string& target) {
    const auto table = MountTable::Load("/proc/self/mountinfo");
    for (const MountEntry& entry : table ? table->entries() : std::vector<MountEntry>{}) {
        if (entry.target == target) {
            return entry.mountId;
        }
    }
    return 0;
}

class SlowUnmountTest : public testing::Test {
  protected:
    void SetUp() override {
        FaultyLoopDevice::Options options;
        options.sizeBytes = 32 * kMiB;
        options.withFileSystem = true;
        stick_.emplace(options);
        if (!stick_->ok()) {
            GTEST_SKIP() << stick_->failure();
        }
        drive_ = storage_.PhysicalDriveNameOf(stick_->device());
        ASSERT_FALSE(drive_.empty());
        ASSERT_EQ(storage_.DeviceNodeOf(drive_), stick_->device());
        image_ = std::filesystem::path(stick_->mountPoint()).parent_path() / "image.img";
        imageBytes_ = RandomBytes(kMiB, 21);
        ASSERT_TRUE(WriteWholeFile(image_, imageBytes_));
        // Files copied onto the stick a moment ago: in memory, not yet on the stick.
        ASSERT_TRUE(WriteWholeFile(stick_->volume() + "/copied.bin", RandomBytes(6 * kMiB, 22)));
        ASSERT_TRUE(stick_->SlowWrites(kStickSpeed));
        mountId_ = MountIdAt(stick_->volume());
        ASSERT_NE(mountId_, 0);
    }

    void TearDown() override {
        if (stick_ && stick_->ok()) {
            stick_->SlowWrites(0);  // the rest is written out at full speed
        }
    }

    std::string DevicePath() const { return "\\\\.\\" + drive_; }

    std::optional<FaultyLoopDevice> stick_;
    LinuxStorage storage_;
    RecordingImager imager_{storage_};
    MachineStalls machine_;
    std::string drive_;
    std::string image_;
    Bytes imageBytes_;
    int mountId_ = 0;
};

TEST_F(SlowUnmountTest, WritingOutTheVolumeHoldsTheThreadNoLongerThanAWrite) {
    PumpHook pump;

    EXPECT_TRUE(imager_.RestoreImage(image_, DevicePath(), 32 * 1024));

    const std::vector<TimeSpan> gaps = pump.Gaps();
    EXPECT_EQ(imager_.messages, std::vector<std::string>{"Finished"})
        << testing::PrintToString(imager_.details);
    EXPECT_TRUE(ReadDevice(stick_->device(), imageBytes_.size()) == imageBytes_);
    EXPECT_TRUE(GapsOfTheThread(gaps, kLongestWait, machine_).empty())
        << "gaps: " << DescribeGaps(gaps, kLongestWait, machine_);
}

TEST_F(SlowUnmountTest, AStopWhileTheVolumeIsWrittenOutLeavesItMounted) {
    std::optional<StallClock::time_point> stopped;
    const auto start = StallClock::now();
    PumpHook stop([&](int) {
        if (!stopped && StallClock::now() - start > 500ms) {
            imager_.abortRequested = true;
            stopped = StallClock::now();
        }
    });

    EXPECT_TRUE(imager_.RestoreImage(image_, DevicePath(), 32 * 1024));

    ASSERT_TRUE(stopped);
    const TimeSpan took{*stopped, StallClock::now()};
    EXPECT_LT(took.Length() - machine_.WithheldDuring(took), kStopTakes)
        << Milliseconds(took.Length()) << " ms";
    EXPECT_EQ(imager_.errors, std::vector<std::string>{"User aborts restoring"});
    EXPECT_EQ(imager_.details,
              std::vector<std::string>{"Stopped before anything was written: the drive is as it "
                                       "was. Its volumes stayed mounted."});
    EXPECT_EQ(MountIdAt(stick_->volume()), mountId_);  // never unmounted
    EXPECT_FALSE(ReadDevice(stick_->device(), imageBytes_.size()) == imageBytes_);
}

// The write-out a Stop left running holds the volume busy for a while: a restore started right
// after waits for it, instead of calling the volume busy because of the program itself.
TEST_F(SlowUnmountTest, ARestoreRightAfterAStoppedWriteOutWaitsForIt) {
    const auto start = StallClock::now();
    {
        PumpHook stop([&](int) {
            if (StallClock::now() - start > 300ms) {
                imager_.abortRequested = true;
            }
        });
        EXPECT_TRUE(imager_.RestoreImage(image_, DevicePath(), 32 * 1024));
        ASSERT_EQ(imager_.errors, std::vector<std::string>{"User aborts restoring"});
    }
    RecordingImager again(storage_);

    EXPECT_TRUE(again.RestoreImage(image_, DevicePath(), 32 * 1024));

    EXPECT_EQ(again.messages, std::vector<std::string>{"Finished"})
        << testing::PrintToString(again.errors) << testing::PrintToString(again.details);
    EXPECT_TRUE(ReadDevice(stick_->device(), imageBytes_.size()) == imageBytes_);
}

}  // namespace
