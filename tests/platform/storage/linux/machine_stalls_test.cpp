// The slow-device tests take out of a wait the time the machine withheld from every thread; this
// checks that the thread's own waits still count and the machine's do not.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <thread>

#include "tests/helpers/machine_stalls.h"

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

TimeSpan Timed(const std::function<void()>& body) {
    const StallClock::time_point start = StallClock::now();
    body();
    return {start, StallClock::now()};
}

TEST(MachineStalls, AWaitOfTheThreadAloneIsItsOwnAndAStoppedProcessIsTheMachines) {
    const MachineStalls machine;
    const TimeSpan own = Timed([] { std::this_thread::sleep_for(120ms); });
    const TimeSpan stopped = Timed([] {
        const pid_t parent = ::getpid();
        const pid_t child = ::fork();
        if (child == 0) {
            ::kill(parent, SIGSTOP);
            ::usleep(150'000);
            ::kill(parent, SIGCONT);
            ::_exit(0);
        }
        ::waitpid(child, nullptr, 0);
    });

    EXPECT_LT(machine.WithheldDuring(own), 20ms);
    EXPECT_GT(stopped.Length(), 150ms);
    EXPECT_GT(machine.WithheldDuring(stopped), 100ms);
    const std::vector<TimeSpan> gaps = GapsOfTheThread({own, stopped}, 50ms, machine);
    ASSERT_EQ(gaps.size(), 1u) << DescribeGaps({own, stopped}, 50ms, machine);
    EXPECT_EQ(gaps[0].start, own.start);
}

}  // namespace
