#pragma once

#include <cstdint>
#include <string>

#include "platform/clock/system_time.h"

// The progress meter's time text: start, elapsed, percent done and left, remaining, end.
namespace meter {

// One day in 100-ns units.
inline constexpr uint64_t kUnitsPerDay = 864000000000ull;

// A duration as "[days:]HH:MM:SS - ", whole days only when there is at least one.
std::string FormatDuration(uint64_t units);

// Where the current timing began and how far the bar has come since.
struct TimingState {
    SYSTEMTIME startTime;
    uint64_t startStamp = 0;
    int startPos = 0;
    int pos = 0;
    int lower = 0;
    int upper = 0;
    int textMode = 0;
};

// Composes the time text at local time now (nowStamp the same instant in 100-ns units). Dates
// are shown only for a start or end on another day than now. A clock set back before the start
// counts as no time elapsed; an empty range counts as nothing done.
std::string FormatTimingText(const TimingState& state, const SYSTEMTIME& now, uint64_t nowStamp);

}  // namespace meter
