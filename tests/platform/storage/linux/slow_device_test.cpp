// The engine over the real backend on a loop device throttled to a stick's speed (root and the
// cgroup v1 blkio controller; skipped with the reason otherwise): the thread is never held long
// by the device, a Stop ends the restore promptly, and the bytes arrive exactly.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "tests/helpers/blkio_throttle.h"
#include "tests/helpers/machine_stalls.h"
#include "tests/platform/storage/linux/loop_device_fixture.h"

using namespace platform::storage;
using namespace testing_support;
using namespace std::chrono_literals;

namespace {

constexpr uint64_t kMiB = 1u << 20;
constexpr uint64_t kDeviceBytes = 16 * kMiB;
// How long the thread may go without dispatching an event, at any device speed, once the time
// the machine itself withheld from every thread is taken out: a busy host keeps a sleeping thread
// waiting now and then (a 10 ms sleep was seen to last 33 ms, and on a loaded machine 100 ms).
constexpr auto kLongestWait = 50ms;
constexpr auto kStopTakes = 300ms;

struct Speed {
    uint64_t writeBytesPerSecond;
    uint64_t imageBytes;
};

class SlowDeviceTest : public testing::TestWithParam<Speed> {
  protected:
    void SetUp() override {
        LoopDevice::Options options;
        options.sizeBytes = kDeviceBytes;
        options.withFileSystem = false;
        loop_.emplace(options);
        if (!loop_->ok()) {
            GTEST_SKIP() << loop_->failure();
        }
        const uint64_t speed = GetParam().writeBytesPerSecond;
        throttle_.emplace(loop_->device(), speed, 2 * speed);  // sticks read faster than they write
        if (!throttle_->ok()) {
            GTEST_SKIP() << throttle_->failure();
        }
        drive_ = storage_.PhysicalDriveNameOf(loop_->device());
        ASSERT_FALSE(drive_.empty());
        ASSERT_EQ(storage_.DeviceNodeOf(drive_), loop_->device());
        image_ = loop_->folder() + "/image.img";
        imageBytes_ = RandomBytes(GetParam().imageBytes, 5);
        ASSERT_TRUE(WriteWholeFile(image_, imageBytes_));
    }

    std::string DevicePath() const { return "\\\\.\\" + drive_; }
    static int32_t KB(uint64_t bytes) { return static_cast<int32_t>(bytes >> 10); }

    std::optional<LoopDevice> loop_;
    std::optional<BlkioThrottle> throttle_;
    LinuxStorage storage_;
    RecordingImager imager_{storage_};
    MachineStalls machine_;
    std::string drive_;
    std::string image_;
    Bytes imageBytes_;
};

TEST_P(SlowDeviceTest, ARestoreArrivesWholeWithoutHoldingTheThread) {
    const auto start = std::chrono::steady_clock::now();
    PumpHook pump;

    EXPECT_TRUE(imager_.RestoreImage(image_, DevicePath(), KB(kDeviceBytes)));

    const auto took = std::chrono::steady_clock::now() - start;
    const std::vector<TimeSpan> gaps = pump.Gaps();
    EXPECT_EQ(imager_.messages, std::vector<std::string>{"Finished"});
    EXPECT_TRUE(imager_.errors.empty());
    EXPECT_TRUE(ReadDevice(loop_->device(), imageBytes_.size()) == imageBytes_);
    EXPECT_TRUE(GapsOfTheThread(gaps, kLongestWait, machine_).empty())
        << "gaps: " << DescribeGaps(gaps, kLongestWait, machine_);
    // The throttle held: writing alone takes imageBytes / speed.
    EXPECT_GT(took, 1s * imageBytes_.size() / GetParam().writeBytesPerSecond * 9 / 10);
}

TEST_P(SlowDeviceTest, AStopEndsTheRestorePromptly) {
    // Halfway through the image; events are also dispatched while the device is waited for.
    const size_t stopBlock = imageBytes_.size() / 2 / 2048;
    size_t blocksAtStop = 0;
    std::optional<std::chrono::steady_clock::time_point> stopped;
    PumpHook stop([&](int) {
        if (!stopped && imager_.positions.size() == stopBlock) {
            imager_.abortRequested = true;
            stopped = std::chrono::steady_clock::now();
            blocksAtStop = imager_.positions.size();  // the block of this pass is still written
        }
    });

    EXPECT_TRUE(imager_.RestoreImage(image_, DevicePath(), KB(kDeviceBytes)));

    ASSERT_TRUE(stopped);
    const TimeSpan took{*stopped, std::chrono::steady_clock::now()};
    const auto withheld = machine_.WithheldDuring(took);
    EXPECT_LT(took.Length() - withheld, kStopTakes)
        << Milliseconds(took.Length()) << " ms, of which the machine's " << Milliseconds(withheld);
    EXPECT_EQ(imager_.errors, std::vector<std::string>{"User aborts restoring"});
    EXPECT_TRUE(imager_.messages.empty());
    const size_t written = blocksAtStop * 2048;
    EXPECT_TRUE(ReadDevice(loop_->device(), written) ==
                Bytes(imageBytes_.begin(), imageBytes_.begin() + written));
}

INSTANTIATE_TEST_SUITE_P(StickSpeeds, SlowDeviceTest,
                         testing::Values(Speed{512u << 10, 1 * kMiB}, Speed{2u << 20, 4 * kMiB}),
                         [](const testing::TestParamInfo<Speed>& info) {
                             return std::to_string(info.param.writeBytesPerSecond >> 10) + "KiBps";
                         });

}  // namespace
