#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

using StallClock = std::chrono::steady_clock;

struct TimeSpan {
    StallClock::time_point start;
    StallClock::time_point end;
    StallClock::duration Length() const { return end - start; }
};

inline double Milliseconds(StallClock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// A thread of its own that sleeps a few milliseconds at a time and keeps each span in which it
// woke late: the time the machine itself withheld from every thread (a busy host, a paused
// virtual machine), measured beside the thread under test.
class MachineStalls {
  public:
    MachineStalls();
    ~MachineStalls();
    MachineStalls(const MachineStalls&) = delete;
    MachineStalls& operator=(const MachineStalls&) = delete;

    // How much of span the machine withheld; waits for the watcher to have woken after its end.
    StallClock::duration WithheldDuring(const TimeSpan& span) const;

  private:
    void Watch();

    mutable std::mutex mutex_;
    mutable std::condition_variable woke_;
    StallClock::time_point lastWake_;
    std::vector<TimeSpan> stalls_;
    std::atomic<bool> stop_{false};
    std::thread watcher_;
};

// The gaps longer than limit that stay longer than limit once the machine's own stalls within
// them are taken out: the waits that the thread under test caused.
std::vector<TimeSpan> GapsOfTheThread(const std::vector<TimeSpan>& gaps, StallClock::duration limit,
                                      const MachineStalls& machine);

// "83.2 ms (machine 40.1 ms), ..." for each gap longer than limit, for a failure message.
std::string DescribeGaps(const std::vector<TimeSpan>& gaps, StallClock::duration limit,
                         const MachineStalls& machine);

}  // namespace testing_support
