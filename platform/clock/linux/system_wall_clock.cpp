#include <ctime>

#include "platform/clock/wall_clock.h"

namespace platform::clock {

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

}  // namespace platform::clock
