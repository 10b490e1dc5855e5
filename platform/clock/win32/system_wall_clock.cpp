#include "platform/clock/wall_clock.h"

namespace platform::clock {

SYSTEMTIME SystemWallClock::Now() const {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    return t;
}

}  // namespace platform::clock
