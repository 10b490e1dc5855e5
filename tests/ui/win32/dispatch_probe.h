#pragma once

#include <chrono>
#include <optional>
#include <vector>

#include "system_defs/windows_h.h"
#include "tests/helpers/machine_stalls.h"

// A thread timer of the shortest period the system gives (10 ms) whose message, like any
// other, waits for the loop to dispatch it; keeps each time between two dispatches: how long
// the window could not have answered.
class DispatchProbe {
    using Clock = std::chrono::steady_clock;
    using TimeSpan = testing_support::TimeSpan;

  public:
    DispatchProbe() {
        Gaps().clear();
        Last().reset();
        id_ = ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &Tick);
    }
    ~DispatchProbe() { Stop(); }
    DispatchProbe(const DispatchProbe&) = delete;
    DispatchProbe& operator=(const DispatchProbe&) = delete;

    void Stop() {
        if (id_ != 0) {
            ::KillTimer(nullptr, id_);
            id_ = 0;
        }
    }
    static std::vector<TimeSpan>& Gaps() {
        static std::vector<TimeSpan> gaps;
        return gaps;
    }

  private:
    static std::optional<Clock::time_point>& Last() {
        static std::optional<Clock::time_point> last;
        return last;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        const Clock::time_point now = Clock::now();
        if (Last()) {
            Gaps().push_back({*Last(), now});
        }
        Last() = now;
    }

    UINT_PTR id_ = 0;
};
