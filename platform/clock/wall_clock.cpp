#include "platform/clock/wall_clock.h"

namespace platform::clock {
namespace {

const SystemWallClock kSystemClock;
const WallClock* installedClock = &kSystemClock;

}  // namespace

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
