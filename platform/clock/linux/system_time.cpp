#include "platform/clock/system_time.h"

#include "platform/clock/wall_clock.h"

namespace {

constexpr uint64_t kUnitsPerMs = 10'000;
constexpr uint64_t kUnitsPerDay = 86'400'000ull * kUnitsPerMs;

constexpr bool IsLeap(int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

constexpr int DaysInMonth(int64_t y, int m) {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Days from 1601-01-01 to the given date (proleptic Gregorian calendar).
constexpr int64_t DaysFrom1601(int64_t y, int m, int d) {
    // Civil-from-days arithmetic with March-based years, anchored at 0000-03-01.
    y -= m <= 2 ? 1 : 0;
    const int64_t era = y / 400;
    const int64_t yoe = y - era * 400;
    const int64_t mp = (m + 9) % 12;
    const int64_t doy = (153 * mp + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    constexpr int64_t kDaysTo1601 = 584694;  // 0000-03-01 .. 1601-01-01
    return era * 146097 + doe - kDaysTo1601;
}

}  // namespace

void GetLocalTime(SYSTEMTIME* out) {
    if (out != nullptr) {
        *out = platform::clock::CurrentWallClock().Now();
    }
}

bool SystemTimeToFileTime(const SYSTEMTIME* in, FILETIME* out) {
    if (in == nullptr || out == nullptr) {
        return false;
    }
    const SYSTEMTIME& t = *in;
    if (t.wYear < 1601 || t.wYear > 30827 || t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1 ||
        t.wDay > DaysInMonth(t.wYear, t.wMonth) || t.wHour > 23 || t.wMinute > 59 ||
        t.wSecond > 59 || t.wMilliseconds > 999) {
        return false;
    }
    const uint64_t days = static_cast<uint64_t>(DaysFrom1601(t.wYear, t.wMonth, t.wDay));
    const uint64_t ms =
        ((static_cast<uint64_t>(t.wHour) * 60 + t.wMinute) * 60 + t.wSecond) * 1000 +
        t.wMilliseconds;
    *out = UInt64ToFileTime(days * kUnitsPerDay + ms * kUnitsPerMs);
    return true;
}

bool FileTimeToSystemTime(const FILETIME* in, SYSTEMTIME* out) {
    if (in == nullptr || out == nullptr) {
        return false;
    }
    const uint64_t stamp = FileTimeToUInt64(*in);
    if (stamp >= (1ull << 63)) {
        return false;
    }
    const int64_t days = static_cast<int64_t>(stamp / kUnitsPerDay);
    uint64_t ms = (stamp % kUnitsPerDay) / kUnitsPerMs;

    // Days-to-civil, shifted back to 0000-03-01.
    const int64_t z = days + 584694;
    const int64_t era = z / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);

    SYSTEMTIME t;
    t.wYear = static_cast<uint16_t>(y);
    t.wMonth = static_cast<uint16_t>(m);
    t.wDay = static_cast<uint16_t>(d);
    t.wDayOfWeek = static_cast<uint16_t>((days + 1) % 7);  // 1601-01-01 was a Monday
    t.wMilliseconds = static_cast<uint16_t>(ms % 1000);
    ms /= 1000;
    t.wSecond = static_cast<uint16_t>(ms % 60);
    ms /= 60;
    t.wMinute = static_cast<uint16_t>(ms % 60);
    t.wHour = static_cast<uint16_t>(ms / 60);
    *out = t;
    return true;
}
