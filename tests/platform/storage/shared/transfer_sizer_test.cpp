#include "platform/storage/transfer_sizer.h"

#include <gtest/gtest.h>

using namespace platform::storage;
using namespace std::chrono_literals;

namespace {

constexpr size_t kGranule = 4096;
constexpr size_t kLargest = size_t{4} << 20;
using Clock = TransferSizer::Clock;

// Feeds back-to-back transfers of the sizer's own size completing at bytesPerSecond, for the
// given device time.
void RunAt(TransferSizer& sizer, double bytesPerSecond, std::chrono::milliseconds span,
           Clock::time_point* now) {
    const Clock::time_point end = *now + span;
    while (*now < end) {
        const size_t bytes = sizer.TransferSize();
        const Clock::time_point submitted = *now;
        *now += std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(static_cast<double>(bytes) / bytesPerSecond));
        sizer.Completed(bytes, submitted, *now);
    }
}

bool PowerOfTwo(size_t n) {
    return n != 0 && (n & (n - 1)) == 0;
}

TEST(TransferSizer, StartsWithOneSmallTransfer) {
    TransferSizer sizer(kGranule, kLargest);
    EXPECT_EQ(sizer.TransferSize(), TransferSizer::kFirstTransfer);
    EXPECT_EQ(sizer.InFlightBudget(), TransferSizer::kFirstTransfer);
    EXPECT_EQ(TransferSizer(kGranule, 8192).TransferSize(), 8192u);  // never above the largest
}

// Whatever the speed, a transfer takes about 10 ms and all in flight together about 40 ms, within
// the granule and the largest transfer.
TEST(TransferSizer, SizesFollowTheSpeed) {
    for (const double speed : {0.5e6, 2e6, 8e6, 32e6, 1e9}) {
        TransferSizer sizer(kGranule, kLargest);
        Clock::time_point now{};
        RunAt(sizer, speed, 1000ms, &now);
        const double transferMs = static_cast<double>(sizer.TransferSize()) / speed * 1e3;
        const double queueMs = static_cast<double>(sizer.InFlightBudget()) / speed * 1e3;
        EXPECT_TRUE(PowerOfTwo(sizer.TransferSize())) << speed;
        EXPECT_NEAR(sizer.BytesPerSecond(), speed, speed * 0.05) << speed;
        if (sizer.TransferSize() > kGranule && sizer.TransferSize() < kLargest) {
            EXPECT_GE(transferMs, 5) << speed;
            EXPECT_LE(transferMs, 10) << speed;
        }
        EXPECT_LE(queueMs, 45) << speed;
    }
}

TEST(TransferSizer, GrowsAtMostTwofoldPerCompletion) {
    TransferSizer sizer(kGranule, kLargest);
    const Clock::time_point start{};
    sizer.Completed(TransferSizer::kFirstTransfer, start, start + 10us);  // an instant burst
    EXPECT_EQ(sizer.TransferSize(), 2 * TransferSizer::kFirstTransfer);
    EXPECT_LE(sizer.InFlightBudget(), 4 * TransferSizer::kFirstTransfer);
}

TEST(TransferSizer, FollowsASlowdownWithinAFractionOfASecond) {
    TransferSizer sizer(kGranule, kLargest);
    Clock::time_point now{};
    RunAt(sizer, 40e6, 1000ms, &now);  // a write cache ...
    RunAt(sizer, 2e6, 500ms, &now);    // ... then the flash behind it
    EXPECT_LT(sizer.BytesPerSecond(), 3e6);
    EXPECT_LE(static_cast<double>(sizer.InFlightBudget()) / 2e6, 0.06);
}

// With several transfers in flight, the device's time for one runs from the completion before
// it, not from its submission.
TEST(TransferSizer, ServiceTimeOfQueuedTransfersStartsAtThePreviousCompletion) {
    TransferSizer sizer(kGranule, kLargest);
    const Clock::time_point t0{};
    for (int i = 1; i <= 20; ++i) {
        sizer.Completed(64 << 10, t0, t0 + i * 10ms);  // all submitted at t0
    }
    EXPECT_NEAR(sizer.BytesPerSecond(), (64 << 10) / 0.01, 1e5);
}

}  // namespace
