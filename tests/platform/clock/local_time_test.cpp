// GetLocalTime follows the installed wall clock (on Windows GetLocalTime is the system's own).
#include <gtest/gtest.h>

#include "platform/clock/system_time.h"
#include "platform/clock/wall_clock.h"

namespace {

SYSTEMTIME Make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    SYSTEMTIME t{};
    t.wYear = static_cast<uint16_t>(y);
    t.wMonth = static_cast<uint16_t>(mo);
    t.wDay = static_cast<uint16_t>(d);
    t.wHour = static_cast<uint16_t>(h);
    t.wMinute = static_cast<uint16_t>(mi);
    t.wSecond = static_cast<uint16_t>(s);
    t.wMilliseconds = static_cast<uint16_t>(ms);
    return t;
}

TEST(WallClockTest, FakeClockDrivesLocalTimeWhileInstalled) {
    platform::clock::FakeWallClock fake(Make(2026, 12, 31, 23, 59, 59, 900));
    {
        platform::clock::ScopedWallClock use(fake);
        SYSTEMTIME t;
        GetLocalTime(&t);
        EXPECT_EQ(t.wYear, 2026);
        EXPECT_EQ(t.wMilliseconds, 900);
        EXPECT_EQ(t.wDayOfWeek, 4) << "a Thursday";
        fake.AdvanceMilliseconds(150);
        GetLocalTime(&t);
        EXPECT_EQ(t.wYear, 2027);
        EXPECT_EQ(t.wMonth, 1);
        EXPECT_EQ(t.wDay, 1);
        EXPECT_EQ(t.wHour, 0);
        EXPECT_EQ(t.wMilliseconds, 50);
        fake.AdvanceMilliseconds(-100);
        GetLocalTime(&t);
        EXPECT_EQ(t.wYear, 2026);
        EXPECT_EQ(t.wMilliseconds, 950);
    }
    SYSTEMTIME real;
    GetLocalTime(&real);
    EXPECT_GE(real.wYear, 2024) << "the system clock is back";
}

}  // namespace
