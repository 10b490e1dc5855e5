#include "platform/clock/ctime.h"

#include <gtest/gtest.h>

#include <clocale>
#include <ctime>
#include <string>

#include "platform/clock/wall_clock.h"

namespace {

SYSTEMTIME At(int y, int mo, int d, int h, int mi, int s) {
    SYSTEMTIME t{};
    t.wYear = static_cast<uint16_t>(y);
    t.wMonth = static_cast<uint16_t>(mo);
    t.wDay = static_cast<uint16_t>(d);
    t.wHour = static_cast<uint16_t>(h);
    t.wMinute = static_cast<uint16_t>(mi);
    t.wSecond = static_cast<uint16_t>(s);
    return t;
}

// Switches the process to a German locale for the test and back afterwards.
class GermanLocale : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::setlocale(LC_ALL, nullptr);
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                return;
            }
        }
        GTEST_SKIP() << "no German locale installed (scripts/setup.sh generates one)";
    }
    void TearDown() override { std::setlocale(LC_ALL, previous_.c_str()); }

  private:
    std::string previous_;
};

TEST_F(GermanLocale, MonthAbbreviationsStayEnglish) {
    // The locale really is in effect: the C library names March "Mär" (in its own encoding).
    std::tm march{};
    march.tm_mon = 2;
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%b", &march);
    EXPECT_EQ(std::string(buffer).substr(0, 1), "M");
    EXPECT_NE(std::string(buffer), "Mar");

    platform::clock::FakeWallClock fake(At(2026, 3, 8, 7, 5, 9));
    platform::clock::ScopedWallClock use(fake);
    const CTime now = CTime::GetCurrentTime();
    EXPECT_EQ(now.Format("%d%b%Y_%H%M%S"), "08Mar2026_070509");
    EXPECT_EQ(now.Format("%H:%M:%S "), "07:05:09 ");

    const char* expected[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(CTime(At(2009, m, 1, 0, 0, 0)).Format("%b"), expected[m - 1]);
    }
}

TEST(CTimeTest, OtherConversionsAndLiterals) {
    SYSTEMTIME t = At(2009, 4, 1, 23, 59, 50);
    t.wDayOfWeek = 3;
    const CTime time(t);
    EXPECT_EQ(time.Format("%a %A %B %y %m %j %I%p %%"), "Wed Wednesday April 09 04 091 11PM %");
    EXPECT_EQ(time.Format("100% sure %q"), "100% sure %q");
    EXPECT_EQ(time.Format("ends with %"), "ends with %");
    EXPECT_EQ(time.Format(""), "");
    EXPECT_EQ(CTime(At(2009, 1, 1, 0, 0, 0)).Format("%I%p"), "12AM");
    EXPECT_EQ(time.GetDayOfWeek(), 4) << "1 = Sunday";
}

TEST(CTimeTest, CurrentTimeFollowsTheInstalledClockToTheSecond) {
    SYSTEMTIME start = At(2026, 12, 8, 4, 59, 59);
    start.wMilliseconds = 999;
    platform::clock::FakeWallClock fake(start);
    platform::clock::ScopedWallClock use(fake);
    EXPECT_EQ(CTime::GetCurrentTime().Format("%H:%M:%S "), "04:59:59 ");
    fake.AdvanceMilliseconds(1);
    EXPECT_EQ(CTime::GetCurrentTime().Format("%H:%M:%S "), "05:00:00 ");
}

}  // namespace
