// The installed wall clock and the system's clock, on every system.
#include "platform/clock/wall_clock.h"

#include <gtest/gtest.h>

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

uint64_t Stamp(const SYSTEMTIME& t) {
    FILETIME f;
    EXPECT_TRUE(SystemTimeToFileTime(&t, &f));
    return FileTimeToUInt64(f);
}

TEST(WallClockTest, FakeClockMovesOnlyWhenTold) {
    platform::clock::FakeWallClock fake(Make(2026, 12, 31, 23, 59, 59, 900));
    EXPECT_EQ(Stamp(fake.Now()), Stamp(Make(2026, 12, 31, 23, 59, 59, 900)));
    EXPECT_EQ(fake.Now().wDayOfWeek, 4) << "a Thursday";
    fake.AdvanceMilliseconds(150);
    EXPECT_EQ(Stamp(fake.Now()), Stamp(Make(2027, 1, 1, 0, 0, 0, 50)));
    fake.AdvanceMilliseconds(-100);
    EXPECT_EQ(Stamp(fake.Now()), Stamp(Make(2026, 12, 31, 23, 59, 59, 950)));
    fake.Set(Make(2009, 4, 1, 12));
    EXPECT_EQ(fake.Now().wHour, 12);
    {
        platform::clock::ScopedWallClock use(fake);
        EXPECT_EQ(&platform::clock::CurrentWallClock(), &fake);
    }
    EXPECT_NE(&platform::clock::CurrentWallClock(), &fake) << "the system clock is back";
}

TEST(WallClockTest, SystemClockAgreesWithItsOwnStamps) {
    const platform::clock::SystemWallClock clock;
    const SYSTEMTIME a = clock.Now();
    const SYSTEMTIME b = clock.Now();
    EXPECT_LE(Stamp(a), Stamp(b));
    EXPECT_LT(Stamp(b) - Stamp(a), 10'000'000u * 60) << "two readings within a minute";
}

}  // namespace
