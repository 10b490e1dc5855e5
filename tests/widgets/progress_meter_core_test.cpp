// Range arithmetic, bar geometry, text fitting, time text and the built-in strip.
#include <gtest/gtest.h>

#include <string>

#include "widgets/progress_meter_fit.h"
#include "widgets/progress_meter_geometry.h"
#include "widgets/progress_meter_strip.h"
#include "widgets/progress_meter_timing.h"

namespace {

using meter::BarPixels;
using meter::ComputeBarPixels;

TEST(MeterGeometry, HorizontalBarOf300PixelsWithTenPixelTiles) {
    // Position 0: start cap at 0, end cap one tile further.
    EXPECT_EQ(ComputeBarPixels(300, 10, 0, 1000, 0, 0, false), (BarPixels{0, 10, 290}));
    // 45 %: 10 + 450 * 280 / 1000.
    EXPECT_EQ(ComputeBarPixels(300, 10, 0, 1000, 0, 450, false), (BarPixels{0, 136, 290}));
    // The upper bound puts the end cap on the last tile.
    EXPECT_EQ(ComputeBarPixels(300, 10, 0, 1000, 0, 1000, false), (BarPixels{0, 290, 290}));
    // A start later in the range moves the start cap; it never comes closer than one tile.
    EXPECT_EQ(ComputeBarPixels(300, 10, 0, 1000, 500, 700, false), (BarPixels{140, 206, 290}));
    EXPECT_EQ(ComputeBarPixels(300, 10, 0, 1000, 500, 500, false), (BarPixels{140, 150, 290}));
}

TEST(MeterGeometry, ReversedBarGrowsFromTheFarEnd) {
    EXPECT_EQ(ComputeBarPixels(300, 10, 0, 1000, 0, 0, true), (BarPixels{280, 290, 290}));
    EXPECT_EQ(ComputeBarPixels(300, 10, 0, 1000, 0, 1000, true), (BarPixels{0, 290, 290}));
}

TEST(MeterGeometry, EmptyRangeShowsNothingDone) {
    EXPECT_EQ(meter::PercentDone(5, 5, 5), 0);
    EXPECT_EQ(ComputeBarPixels(300, 10, 5, 5, 5, 5, false), (BarPixels{0, 10, 290}));
    EXPECT_EQ(meter::ScaleBySpan(7, 1000, 0), 0);
}

TEST(MeterGeometry, PercentTruncatesIn64Bits) {
    EXPECT_EQ(meter::PercentDone(999, 0, 1000), 99);
    EXPECT_EQ(meter::PercentDone(2'000'000'000, 0, 2'100'000'000), 95);
    EXPECT_EQ(meter::PercentDone(-50, -100, 100), 25);
}

// Every character is 6 pixels wide.
class FixedWidthMeasure : public meter::TextMeasure {
  public:
    int TextWidth(std::string_view text) const override {
        return 6 * static_cast<int>(text.size());
    }
};

TEST(MeterFitText, KeepsAFittingTextAndDropsATrailingEllipsis) {
    const FixedWidthMeasure measure;
    std::string text = "Copy";
    EXPECT_EQ(meter::FitTextToWidth(text, measure, 100, 10), 0);
    EXPECT_EQ(text, "Copy");
    text = "Copy...";
    EXPECT_EQ(meter::FitTextToWidth(text, measure, 100, 10), 0);
    EXPECT_EQ(text, "Copy");
    text = "";
    EXPECT_EQ(meter::FitTextToWidth(text, measure, 0, 50), 0);
}

TEST(MeterFitText, ShortTextThatDoesNotFitStaysUnchanged) {
    const FixedWidthMeasure measure;
    std::string one = "X";
    EXPECT_EQ(meter::FitTextToWidth(one, measure, 5, 0), -1);
    EXPECT_EQ(one, "X");
    // Four characters are no wider than "..." plus the first character.
    std::string four = "abcd...";
    EXPECT_EQ(meter::FitTextToWidth(four, measure, 10, 0), -4);
    EXPECT_EQ(four, "abcd");
}

TEST(MeterFitText, CutsCharactersAndTrailingBlanksThenAppendsEllipsis) {
    const FixedWidthMeasure measure;
    // Available 60, reserved 12 + 9 (half the ellipsis): at most 6 characters stay.
    std::string text = "Writing image";
    EXPECT_EQ(meter::FitTextToWidth(text, measure, 60, 12), 6);
    EXPECT_EQ(text, "Writin...");
    // Cutting "ab cdefgh" to "ab " trims the blank as well, so one cut removes two characters.
    text = "ab cdefgh";
    EXPECT_EQ(meter::FitTextToWidth(text, measure, 30, 0), 6);
    EXPECT_EQ(text, "ab...");
}

SYSTEMTIME Time(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME t;
    t.wYear = static_cast<uint16_t>(year);
    t.wMonth = static_cast<uint16_t>(month);
    t.wDay = static_cast<uint16_t>(day);
    t.wHour = static_cast<uint16_t>(hour);
    t.wMinute = static_cast<uint16_t>(minute);
    t.wSecond = static_cast<uint16_t>(second);
    FILETIME stamp;
    SystemTimeToFileTime(&t, &stamp);
    FileTimeToSystemTime(&stamp, &t);  // fills in the day of the week
    return t;
}

uint64_t Stamp(const SYSTEMTIME& t) {
    FILETIME stamp;
    SystemTimeToFileTime(&t, &stamp);
    return FileTimeToUInt64(stamp);
}

std::string Timing(const SYSTEMTIME& start, const SYSTEMTIME& now, int pos, int mode) {
    meter::TimingState state;
    state.startTime = start;
    state.startStamp = Stamp(start);
    state.pos = pos;
    state.upper = 1000;
    state.textMode = mode;
    return meter::FormatTimingText(state, now, Stamp(now));
}

TEST(MeterTiming, EstimatesRemainingAndEndTime) {
    const SYSTEMTIME start = Time(2026, 12, 8, 12, 3, 5);
    EXPECT_EQ(Timing(start, Time(2026, 12, 8, 12, 4, 15), 450, 2),
              " (12:03:05 - 00:01:10 - 45% / 55% - 00:01:25 - 12:05:40)");
    EXPECT_EQ(Timing(start, Time(2026, 12, 8, 12, 4, 15), 450, -2),
              " 12:03:05 - 00:01:10 - 45% / 55% - 00:01:25 - 12:05:40");
    // Nothing done yet: no estimate, the end is now.
    EXPECT_EQ(Timing(start, start, 0, 2),
              " (12:03:05 - 00:00:00 - 0% / 100% - 00:00:00 - 12:03:05)");
}

TEST(MeterTiming, DatesForStartAndEndOnOtherDays) {
    // Wednesday 2009-04-01 is day 4; the estimated end falls on today, so it has no date.
    const SYSTEMTIME start = Time(2009, 4, 1, 23, 59, 50);
    EXPECT_EQ(Timing(start, Time(2009, 4, 2, 0, 0, 0), 500, -2),
              " 2009/04/01/04 23:59:50 - 00:00:10 - 50% / 50% - 00:00:10 - 00:00:10");
    // A start today and an end estimated on Saturday 2009-04-04 (day 7).
    const SYSTEMTIME morning = Time(2009, 4, 2, 0, 0, 0);
    EXPECT_EQ(Timing(morning, Time(2009, 4, 2, 12, 0, 0), 250, -2),
              " 00:00:00 - 12:00:00 - 25% / 75% - 1:12:00:00 - 2009/04/04/07 00:00:00");
}

TEST(MeterTiming, DurationsOverADayAndClockSetBack) {
    const uint64_t second = 10'000'000;
    EXPECT_EQ(meter::FormatDuration(((26 * 60 + 3) * 60 + 4) * second), "1:02:03:04 - ");
    EXPECT_EQ(meter::FormatDuration(meter::kUnitsPerDay - 1), "23:59:59 - ");
    EXPECT_EQ(meter::FormatDuration(5 * second + 9'999'999), "00:00:05 - ");
    // The clock went back an hour after the start: no garbage durations.
    const SYSTEMTIME start = Time(2026, 12, 8, 12, 0, 0);
    EXPECT_EQ(Timing(start, Time(2026, 12, 8, 11, 0, 0), 300, -2),
              " 12:00:00 - 00:00:00 - 30% / 70% - 00:00:00 - 12:00:00");
}

TEST(MeterTiming, EmptyRangeGivesNoEstimate) {
    meter::TimingState state;
    state.startTime = Time(2026, 12, 8, 12, 0, 0);
    state.startStamp = Stamp(state.startTime);
    const SYSTEMTIME now = Time(2026, 12, 8, 12, 0, 30);
    EXPECT_EQ(meter::FormatTimingText(state, now, Stamp(now)),
              " 12:00:00 - 00:00:30 - 0% / 100% - 00:00:00 - 12:00:30");
}

// The rows of the groove and body tiles, top to bottom, as the strip's table gives them.
constexpr uint32_t kGrooveRows[16] = {0xBDBDBD, 0xBDBDBD, 0xC3C3C3, 0xCDCDCD, 0xCDCDCD, 0xD5D5D5,
                                      0xD5D5D5, 0xDDDDDD, 0xDDDDDD, 0xE4E4E4, 0xEDEDED, 0xEDEDED,
                                      0xF2F2F2, 0xEDEDED, 0xEDEDED, 0xE4E4E4};
constexpr uint32_t kBodyRows[16] = {0xBDBDBD, 0x0033B1, 0x75A2DD, 0x95BDE9, 0x95BDE9, 0x88B6E9,
                                    0x4D94E5, 0x4D94E5, 0x61A6F2, 0x74B5FE, 0x84C7FF, 0x97DEFF,
                                    0x9FE6FF, 0x97DEFF, 0x5C5C5C, 0xACACAC};

TEST(MeterStrip, BuiltInStripFollowsTheRowTable) {
    const auto& bits = meter::BuiltInStripBits();
    ASSERT_EQ(bits.size(), 5760u);
    auto pixel = [&](int x, int y) {
        const int at = y * meter::kStripBytesPerRow + x * 4;
        EXPECT_EQ(bits[at + 3], 0xFF);
        return static_cast<uint32_t>(bits[at + 2] << 16 | bits[at + 1] << 8 | bits[at]);
    };
    for (int y = 0; y < 16; ++y) {
        EXPECT_EQ(meter::StripGrooveRow(y), kGrooveRows[y]) << y;
        EXPECT_EQ(meter::StripBodyRow(y), kBodyRows[y]) << y;
        for (int tile : {0, 1, 6, 7, 8}) {
            for (int x = 0; x < 10; ++x) {
                ASSERT_EQ(pixel(tile * 10 + x, y), kGrooveRows[y]) << tile << "," << y;
            }
        }
        for (int x = 30; x < 50; ++x) {
            ASSERT_EQ(pixel(x, y), kBodyRows[y]) << x << "," << y;
        }
    }
    // Start cap: the blue band starts at column 3, 2 and 1; the end cap ends at 5, 6 and 7.
    EXPECT_EQ(pixel(22, 1), kGrooveRows[1]);
    EXPECT_EQ(pixel(23, 1), kBodyRows[1]);
    EXPECT_EQ(pixel(21, 2), kGrooveRows[2]);
    EXPECT_EQ(pixel(22, 2), kBodyRows[2]);
    EXPECT_EQ(pixel(20, 7), kGrooveRows[7]);
    EXPECT_EQ(pixel(21, 7), kBodyRows[7]);
    EXPECT_EQ(pixel(55, 1), kBodyRows[1]);
    EXPECT_NE(pixel(56, 1), kBodyRows[1]);
    EXPECT_EQ(pixel(57, 7), kBodyRows[7]);
    EXPECT_NE(pixel(58, 7), kBodyRows[7]);
}

}  // namespace
