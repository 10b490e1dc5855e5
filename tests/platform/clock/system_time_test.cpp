// Our own stamp conversions (on Windows they are the system's, and not ours to test).
#include "platform/clock/system_time.h"

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

TEST(SystemTimeTest, KnownStamps) {
    EXPECT_EQ(Stamp(Make(1601, 1, 1)), 0u);
    EXPECT_EQ(Stamp(Make(1970, 1, 1)), 116444736000000000u);
    EXPECT_EQ(Stamp(Make(1601, 1, 2)), 864000000000u);
    EXPECT_EQ(Stamp(Make(2009, 4, 1, 23, 59, 50, 123)) - Stamp(Make(2009, 4, 1)),
              ((23 * 60 + 59) * 60 + 50) * 10'000'000ull + 1'230'000ull);
    EXPECT_EQ(Stamp(Make(2000, 3, 1)) - Stamp(Make(2000, 2, 28)), 2 * 864000000000u)
        << "2000 is a leap year";
    EXPECT_EQ(Stamp(Make(1900, 3, 1)) - Stamp(Make(1900, 2, 28)), 864000000000u);
}

TEST(SystemTimeTest, RejectsFieldsOutOfRange) {
    FILETIME f{7, 7};
    for (const SYSTEMTIME& bad :
         {Make(1600, 12, 31), Make(2023, 2, 29), Make(1900, 2, 29), Make(2024, 13, 1),
          Make(2024, 0, 1), Make(2024, 4, 31), Make(2024, 1, 0), Make(2024, 1, 1, 24),
          Make(2024, 1, 1, 0, 60), Make(2024, 1, 1, 0, 0, 60), Make(2024, 1, 1, 0, 0, 0, 1000)}) {
        EXPECT_FALSE(SystemTimeToFileTime(&bad, &f)) << bad.wYear << "-" << bad.wMonth;
    }
    EXPECT_EQ(f.dwLowDateTime, 7u) << "left unchanged";
    const FILETIME tooLarge = UInt64ToFileTime(1ull << 63);
    SYSTEMTIME t;
    EXPECT_FALSE(FileTimeToSystemTime(&tooLarge, &t));
}

TEST(SystemTimeTest, ConversionBackGivesTheDateAndDayOfWeek) {
    SYSTEMTIME t;
    const FILETIME f = UInt64ToFileTime(Stamp(Make(2009, 4, 1, 23, 59, 50, 123)));
    ASSERT_TRUE(FileTimeToSystemTime(&f, &t));
    EXPECT_EQ(t.wYear, 2009);
    EXPECT_EQ(t.wMonth, 4);
    EXPECT_EQ(t.wDay, 1);
    EXPECT_EQ(t.wDayOfWeek, 3) << "a Wednesday";
    EXPECT_EQ(t.wHour, 23);
    EXPECT_EQ(t.wMinute, 59);
    EXPECT_EQ(t.wSecond, 50);
    EXPECT_EQ(t.wMilliseconds, 123);

    const FILETIME zero{};
    ASSERT_TRUE(FileTimeToSystemTime(&zero, &t));
    EXPECT_EQ(t.wDayOfWeek, 1) << "1601-01-01 was a Monday";
}

TEST(SystemTimeTest, RoundTripAcrossCenturiesAndLeapDays) {
    // Every 997 hours from 1601 to beyond 2400: back and forth gives the same stamp, and the
    // weekday advances with the day count.
    constexpr uint64_t kStep = 997ull * 3600 * 10'000'000 + 12'345'670;
    for (uint64_t s = 0; s < Stamp(Make(2450, 1, 1)); s += kStep) {
        SYSTEMTIME t;
        const FILETIME f = UInt64ToFileTime(s);
        ASSERT_TRUE(FileTimeToSystemTime(&f, &t));
        const uint64_t truncated = s - s % 10'000;  // SYSTEMTIME keeps milliseconds only
        ASSERT_EQ(Stamp(t), truncated) << t.wYear << "-" << t.wMonth << "-" << t.wDay;
        ASSERT_EQ(t.wDayOfWeek, (s / 864000000000u + 1) % 7);
    }
}

}  // namespace
