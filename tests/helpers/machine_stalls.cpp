#include "tests/helpers/machine_stalls.h"

#include <algorithm>
#include <cstdio>

namespace testing_support {

namespace {

using namespace std::chrono_literals;

constexpr auto kNap = 2ms;
// A wake this much later than asked for counts as a stall; less is ordinary timer slack.
constexpr auto kLate = 5ms;

}  // namespace

MachineStalls::MachineStalls() : watcher_([this] { Watch(); }) {}

MachineStalls::~MachineStalls() {
    stop_ = true;
    watcher_.join();
}

void MachineStalls::Watch() {
    while (!stop_) {
        const StallClock::time_point due = StallClock::now() + kNap;
        std::this_thread::sleep_until(due);
        const StallClock::time_point woke = StallClock::now();
        const std::lock_guard<std::mutex> lock(mutex_);
        if (woke - due > kLate) {
            stalls_.push_back({due, woke});
        }
        lastWake_ = woke;
        woke_.notify_all();
    }
}

StallClock::duration MachineStalls::WithheldDuring(const TimeSpan& span) const {
    std::unique_lock<std::mutex> lock(mutex_);
    woke_.wait(lock, [&] { return lastWake_ >= span.end; });
    StallClock::duration withheld{};
    for (const TimeSpan& stall : stalls_) {
        const auto start = std::max(stall.start, span.start);
        const auto end = std::min(stall.end, span.end);
        if (end > start) {
            withheld += end - start;
        }
    }
    return withheld;
}

std::vector<TimeSpan> GapsOfTheThread(const std::vector<TimeSpan>& gaps, StallClock::duration limit,
                                      const MachineStalls& machine) {
    std::vector<TimeSpan> own;
    for (const TimeSpan& gap : gaps) {
        if (gap.Length() > limit && gap.Length() - machine.WithheldDuring(gap) > limit) {
            own.push_back(gap);
        }
    }
    return own;
}

std::string DescribeGaps(const std::vector<TimeSpan>& gaps, StallClock::duration limit,
                         const MachineStalls& machine) {
    std::string text;
    for (const TimeSpan& gap : gaps) {
        if (gap.Length() > limit) {
            char part[80];
            std::snprintf(part, sizeof part, "%s%.1f ms (machine %.1f ms)",
                          text.empty() ? "" : ", ", Milliseconds(gap.Length()),
                          Milliseconds(machine.WithheldDuring(gap)));
            text += part;
        }
    }
    return text.empty() ? "none" : text;
}

}  // namespace testing_support
