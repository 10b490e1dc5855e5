#include "platform/clock/wall_clock.h"

#include <ctime>

namespace platform::clock {
namespace {

const SystemWallClock kSystemClock;
const WallClock* installedClock = &kSystemClock;

}  // namespace

SYSTEMTIME SystemWallClock::Now() const {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    SYSTEMTIME t;
    t.wYear = static_cast<uint16_t>(local.tm_year + 1900);
    t.wMonth = static_cast<uint16_t>(local.tm_mon + 1);
    t.wDayOfWeek = static_cast<uint16_t>(local.tm_wday);
    t.wDay = static_cast<uint16_t>(local.tm_mday);
    t.wHour = static_cast<uint16_t>(local.tm_hour);
    t.wMinute = static_cast<uint16_t>(local.tm_min);
    // A leap second reads as the last ordinary one.
    t.wSecond = static_cast<uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
    t.wMilliseconds = static_cast<uint16_t>(now.tv_nsec / 1'000'000);
    return t;
}

FakeWallClock::FakeWallClock(const SYSTEMTIME& start) {
    Set(start);
}

SYSTEMTIME FakeWallClock::Now() const {
    SYSTEMTIME t;
    const FILETIME stamp = UInt64ToFileTime(stamp_);
    FileTimeToSystemTime(&stamp, &t);
    return t;
}

void FakeWallClock::Set(const SYSTEMTIME& time) {
    FILETIME stamp;
    stamp_ = SystemTimeToFileTime(&time, &stamp) ? FileTimeToUInt64(stamp) : 0;
}

void FakeWallClock::AdvanceMilliseconds(int64_t ms) {
    const int64_t units = ms * 10'000;
    if (units < 0 && static_cast<uint64_t>(-units) > stamp_) {
        stamp_ = 0;
    } else {
        stamp_ += static_cast<uint64_t>(units);
    }
}

const WallClock& CurrentWallClock() {
    return *installedClock;
}

ScopedWallClock::ScopedWallClock(const WallClock& clock) : previous_(installedClock) {
    installedClock = &clock;
}

ScopedWallClock::~ScopedWallClock() {
    installedClock = previous_;
}

}  // namespace platform::clock
