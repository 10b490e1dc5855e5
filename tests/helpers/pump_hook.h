#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

#include "platform/window/event_pump.h"
#include "tests/helpers/machine_stalls.h"

namespace testing_support {

// Runs a callback for each round of the event pump, as a dispatched event would, and keeps the
// longest time between two rounds: how long, at most, the thread could not have answered its
// windows. Uninstalls itself when it goes out of scope.
class PumpHook {
  public:
    using Clock = std::chrono::steady_clock;

    explicit PumpHook(std::function<void(int round)> onRound = nullptr) {
        State& state = Current();
        state = State{};
        state.onRound = std::move(onRound);
        state.last = Clock::now();
        platform::window::SetEventPump([] {
            State& now = Current();
            now.Lap();
            if (now.onRound) {
                now.onRound(now.rounds);
            }
            ++now.rounds;
        });
    }
    ~PumpHook() {
        platform::window::SetEventPump(nullptr);
        Current() = State{};
    }
    PumpHook(const PumpHook&) = delete;
    PumpHook& operator=(const PumpHook&) = delete;

    // The longest time between two rounds, counting from the hook's start up to now.
    Clock::duration LongestGap() const {
        Current().Lap();
        return Current().longest;
    }
    int Rounds() const { return Current().rounds; }
    // Every time between two rounds of a millisecond or more, up to now.
    std::vector<TimeSpan> Gaps() const {
        Current().Lap();
        return Current().gaps;
    }

  private:
    struct State {
        std::function<void(int)> onRound;
        int rounds = 0;
        Clock::time_point last;
        Clock::duration longest{};
        std::vector<TimeSpan> gaps;
        void Lap() {
            const Clock::time_point now = Clock::now();
            longest = std::max(longest, now - last);
            // Only the gaps that could matter are kept: a fast transfer makes millions of
            // rounds, and growing a list of them all stalled the thread it measures.
            if (now - last >= std::chrono::milliseconds(1)) {
                gaps.push_back({last, now});
            }
            last = now;
        }
    };
    static State& Current() {
        static State state;
        return state;
    }
};

}  // namespace testing_support
