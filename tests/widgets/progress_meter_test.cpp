// The meter's model, text and lifecycle in an offscreen window, time driven by a fake clock.
#include <gtest/gtest.h>

#include "tests/helpers/window_probe.h"
#include "tests/widgets/meter_window_fixture.h"
#include "tests/widgets/progress_meter_probe.h"

namespace {

using ProgressMeterTest = MeterWindowFixture;

TEST_F(ProgressMeterTest, NewMeterStartsAtZeroAndShowsTheTiming) {
    auto meter = MakeMeter();
    ProgressMeterProbe probe(*meter);
    EXPECT_EQ(probe.TileWidth(), 10);
    EXPECT_EQ(probe.TileHeight(), 16);
    EXPECT_FALSE(probe.Vertical());
    meter->UpdateGeometry(nullptr);
    EXPECT_EQ(probe.StartPx(), 0);
    EXPECT_EQ(probe.PosPx(), 10);
    EXPECT_EQ(probe.TrackEnd(), 290);
    EXPECT_EQ(Caption(), "(12:03:05 - 00:00:00 - 0% / 100% - 00:00:00 - 12:03:05)");
}

TEST_F(ProgressMeterTest, TextFollowsPositionAndClock) {
    auto meter = MakeMeter();
    clock.AdvanceMilliseconds(70'000);
    EXPECT_EQ(meter->SetPos(450, true), 0);
    EXPECT_EQ(Caption(), "(12:03:05 - 00:01:10 - 45% / 55% - 00:01:25 - 12:05:40)");
    // The meter's own timer refreshes the times without a new position.
    clock.AdvanceMilliseconds(5'000);
    ProgressMeterProbe probe(*meter);
    ASSERT_TRUE(test_helpers::DeliverTimer(meter.get(), probe.Identity()));
    EXPECT_EQ(Caption(), "(12:03:05 - 00:01:15 - 45% / 55% - 00:01:31 - 12:05:51)");
    // Another timer's tick leaves the text alone.
    clock.AdvanceMilliseconds(5'000);
    meter->SendMessage(WM_TIMER, probe.Identity() + 1);
    EXPECT_FALSE(test_helpers::HasTimer(meter.get(), probe.Identity() + 1));
    EXPECT_EQ(Caption(), "(12:03:05 - 00:01:15 - 45% / 55% - 00:01:31 - 12:05:51)");
}

TEST_F(ProgressMeterTest, PositionIsClampedToTheRange) {
    auto meter = MakeMeter();
    ProgressMeterProbe probe(*meter);
    EXPECT_EQ(meter->SetPos(2000, true), 0);
    EXPECT_EQ(probe.Pos(), 1000);
    EXPECT_NE(Caption().find("100% / 0%"), std::string::npos) << Caption();
    meter->UpdateGeometry(nullptr);
    EXPECT_EQ(probe.PosPx(), 290);
    EXPECT_EQ(meter->SetPos(-5, true), 1000);
    EXPECT_EQ(probe.Pos(), 0);
    // Stop moves back to 0 while the elapsed time keeps running.
    clock.AdvanceMilliseconds(3'000);
    meter->SetPos(600, false);
    meter->SetPos(0, true);
    EXPECT_EQ(Caption(), "(12:03:05 - 00:00:03 - 0% / 100% - 00:00:00 - 12:03:08)");
}

TEST_F(ProgressMeterTest, RescalingRangeMovesThePosition) {
    auto meter = MakeMeter();
    ProgressMeterProbe probe(*meter);
    meter->SetPos(500, false);
    EXPECT_TRUE(meter->SetRange(0, 100, true, true));
    EXPECT_EQ(probe.Pos(), 50);
    EXPECT_NE(Caption().find("50% / 50%"), std::string::npos);
}

TEST_F(ProgressMeterTest, PercentModesWithAndWithoutPrefix) {
    auto withParens = MakeMeter(1000, 1, "Copy");
    withParens->SetPos(450, true);
    EXPECT_EQ(Caption(), "Copy (45%)");
    withParens.reset();
    auto plain = MakeMeter(1000, -1, "Copy");
    plain->SetPos(450, true);
    EXPECT_EQ(Caption(), "Copy 45%");
    plain.reset();
    auto noPrefix = MakeMeter(1000, 1);
    noPrefix->SetPos(450, true);
    EXPECT_EQ(Caption(), "(45%)");
    noPrefix.reset();
    auto prefixOnly = MakeMeter(1000, 0, "  Copying");
    EXPECT_EQ(Caption(), "Copying");
}

TEST_F(ProgressMeterTest, ModeThreeFallsBackToPercentWhenThePrefixCrowdsTheTime) {
    auto fits = MakeMeter(1000, 3, "Copy");
    clock.AdvanceMilliseconds(70'000);
    fits->SetPos(450, true);
    EXPECT_EQ(Caption(), "Copy (12:03:05 - 00:01:10 - 45% / 55% - 00:01:25 - 12:05:40)");
    fits.reset();

    const std::string longPrefix(200, 'W');
    auto crowded = MakeMeter(1000, 3, longPrefix.c_str());
    crowded->SetPos(450, true);
    const std::string caption = Caption();
    // The prefix, cut with "...", then the percentage with "..." appended.
    EXPECT_TRUE(caption.starts_with("WWW")) << caption;
    EXPECT_TRUE(caption.ends_with("... (45%)...")) << caption;
    EXPECT_LT(caption.size(), longPrefix.size());
    EXPECT_EQ(caption.find(':'), std::string::npos);
}

TEST_F(ProgressMeterTest, TextWindowIsWrittenOnlyWhenTheTextChanges) {
    auto meter = MakeMeter();
    meter->SetPos(100, true);
    const std::string composed = Caption();
    // Someone else writes the line; a refresh composing the same text leaves it alone.
    text->SetWindowText("untouched");
    EXPECT_TRUE(meter->Refresh());
    meter->SendMessage(WM_TIMER, ProgressMeterProbe(*meter).Identity());
    EXPECT_EQ(Caption(), "untouched");
    clock.AdvanceMilliseconds(1'000);
    EXPECT_TRUE(meter->Refresh());
    EXPECT_NE(Caption(), "untouched");
    EXPECT_NE(Caption(), composed);
}

TEST_F(ProgressMeterTest, DestructionGivesTheCaptionBackAndRemovesTheWindow) {
    auto meter = MakeMeter();
    const HWND window = meter->GetSafeHwnd();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_NE(Caption(), "Idle");
    meter.reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Caption(), "Idle");
}

TEST_F(ProgressMeterTest, HiddenTextWindowGetsOneBlank) {
    text->ShowWindow(SW_HIDE);
    auto meter = MakeMeter();
    EXPECT_EQ(Caption(), " ");
}

TEST_F(ProgressMeterTest, WithoutTextWindowTheBarStillMoves) {
    MakeAnchor(300, 16);
    ProgressMeter meter(anchor, 1000, nullptr, false, nullptr, nullptr, 2);
    ProgressMeterProbe probe(meter);
    meter.SetPos(1000, true);
    EXPECT_TRUE(meter.UpdateGeometry(nullptr));
    EXPECT_EQ(probe.PosPx(), 290);
    EXPECT_EQ(Caption(), "Idle");
}

TEST_F(ProgressMeterTest, EmptyRangeShowsZeroPercentAndNoEstimate) {
    auto meter = MakeMeter(0);
    clock.AdvanceMilliseconds(10'000);
    EXPECT_EQ(meter->SetPos(5, true), 0);
    EXPECT_EQ(Caption(), "(12:03:05 - 00:00:10 - 0% / 100% - 00:00:00 - 12:03:15)");
    ProgressMeterProbe probe(*meter);
    meter->UpdateGeometry(nullptr);
    EXPECT_EQ(probe.PosPx(), 10);
    Paint(*meter);
}

TEST_F(ProgressMeterTest, ClockSetBackShowsNoElapsedTime) {
    auto meter = MakeMeter();
    meter->SetPos(300, false);
    clock.AdvanceMilliseconds(-3'600'000);
    meter->Refresh();
    EXPECT_EQ(Caption(), "(12:03:05 - 00:00:00 - 30% / 70% - 00:00:00 - 12:03:05)");
}

TEST_F(ProgressMeterTest, StartOnAnEarlierDayShowsItsDate) {
    SYSTEMTIME start = StartTime();
    start.wDay = 1;  // Tuesday 2026-12-01, 23:59:50
    start.wHour = 23;
    start.wMinute = 59;
    start.wSecond = 50;
    clock.Set(start);
    auto meter = MakeMeter();
    clock.AdvanceMilliseconds(20'000);
    meter->SetPos(500, true);
    EXPECT_EQ(Caption(), "(2026/12/01/03 23:59:50 - 00:00:20 - 50% / 50% - 00:00:20 - 00:00:30)");
}

TEST_F(ProgressMeterTest, WithoutAnchorWindowEveryOperationDoesNothing) {
    CWnd noWindow;
    ProgressMeter meter(&noWindow, 1000, nullptr, false, text, nullptr, 2);
    EXPECT_EQ(meter.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(meter.SetRange(0, 10, false, true));
    EXPECT_EQ(meter.SetPos(5, true), 0);
    EXPECT_FALSE(meter.Refresh());
    EXPECT_EQ(Caption(), "Idle");
}

}  // namespace
