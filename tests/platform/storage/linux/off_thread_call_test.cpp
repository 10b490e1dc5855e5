#include "platform/storage/linux/off_thread_call.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/storage/device_wait.h"

using namespace platform::storage;
using namespace std::chrono_literals;

namespace {

// Something a call holds, like the open folder of a write-out, that takes a moment to let go.
struct Held {
    std::shared_ptr<std::atomic<bool>> released;
    ~Held() {
        std::this_thread::sleep_for(20ms);
        *released = true;
    }
};

// The waiter unmounts the file system right after a write-out: the folder must be closed by then.
TEST(OffThreadCall, WhatTheCallHoldsIsLetGoBeforeItsEndIsKnown) {
    auto released = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<Held> held(new Held{released});
    const OffThreadCall call([held = std::move(held)] { return 7; });

    const std::optional<CallOutcome> outcome = call.Wait(false);

    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->value, 7);
    EXPECT_TRUE(*released);
}

TEST(OffThreadCall, AStopEndsAStoppableWaitWhileTheCallGoesOnToItsOutcome) {
    bool stop = false;
    int rounds = 0;
    const DeviceWaitHook hook([&] { stop = ++rounds >= 3; }, [&] { return stop; });
    const OffThreadCall call([] {
        std::this_thread::sleep_for(200ms);
        return 0;
    });
    const auto start = std::chrono::steady_clock::now();

    EXPECT_FALSE(call.Wait(true));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 150ms);
    EXPECT_GE(rounds, 3);

    const std::optional<CallOutcome> later = call.Wait(false);  // a Stop does not end this one
    ASSERT_TRUE(later);
    EXPECT_EQ(later->value, 0);
}

}  // namespace
