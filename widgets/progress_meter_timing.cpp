#include "widgets/progress_meter_timing.h"

#include <cstdio>

#include "widgets/progress_meter_geometry.h"

namespace meter {
namespace {

template <typename... Args>
void AppendFormatted(std::string& out, const char* format, Args... args) {
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, format, args...);
    if (n > 0) {
        out.append(buffer, static_cast<size_t>(n) < sizeof buffer ? n : sizeof buffer - 1);
    }
}

bool SameDay(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

// "YYYY/MM/DD/W " with the day of the week counted 1 = Sunday to 7 = Saturday.
void AppendDate(std::string& out, const SYSTEMTIME& t) {
    AppendFormatted(out, "%04d/%02d/%02d/%02d ", t.wYear, t.wMonth, t.wDay, t.wDayOfWeek + 1);
}

}  // namespace

std::string FormatDuration(uint64_t units) {
    std::string out;
    const uint64_t days = units / kUnitsPerDay;
    const uint64_t seconds = (units % kUnitsPerDay) / 10000000ull;
    if (days > 0) {
        AppendFormatted(out, "%d:", static_cast<int>(days));
    }
    AppendFormatted(out, "%02d:%02d:%02d - ", static_cast<int>(seconds / 3600),
                    static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return out;
}

std::string FormatTimingText(const TimingState& state, const SYSTEMTIME& now, uint64_t nowStamp) {
    std::string out = " ";
    if (state.textMode > 0) {
        out += "(";
    }
    if (!SameDay(state.startTime, now)) {
        AppendDate(out, state.startTime);
    }
    AppendFormatted(out, "%02d:%02d:%02d - ", state.startTime.wHour, state.startTime.wMinute,
                    state.startTime.wSecond);

    // A clock set back before the start would give a huge unsigned difference.
    const uint64_t elapsed = nowStamp > state.startStamp ? nowStamp - state.startStamp : 0;
    out += FormatDuration(elapsed);

    const int64_t frac =
        ScaleBySpan(int64_t{state.pos} - state.startPos, 25600, int64_t{state.upper} - state.lower);
    const int done = static_cast<int>(frac / 256);
    AppendFormatted(out, "%d%% / ", done);
    AppendFormatted(out, "%d%% - ", 100 - done);

    uint64_t total = 0;
    uint64_t remaining = 0;
    if (frac > 0) {
        total = elapsed * 25600 / static_cast<uint64_t>(frac);
        remaining = total > elapsed ? total - elapsed : 0;
    }
    out += FormatDuration(remaining);

    SYSTEMTIME end = now;
    if (frac > 0) {
        const FILETIME endStamp = UInt64ToFileTime(state.startStamp + total);
        FileTimeToSystemTime(&endStamp, &end);
    }
    if (!SameDay(end, now)) {
        AppendDate(out, end);
    }
    AppendFormatted(out, "%02d:%02d:%02d", end.wHour, end.wMinute, end.wSecond);

    if (state.textMode > 0) {
        out += ")";
    }
    return out;
}

}  // namespace meter
