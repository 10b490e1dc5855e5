#include <gtest/gtest.h>

#include "platform/clock/wall_clock.h"
#include "tests/ui/main_window_fixture.h"

namespace {

using test_helpers::RunModal;

class MessageLog : public MainWindowTest {};

SYSTEMTIME At(int hour, int minute, int second) {
    SYSTEMTIME t{};
    t.wYear = 2009;
    t.wMonth = 3;
    t.wDay = 7;
    t.wDayOfWeek = 6;
    t.wHour = static_cast<uint16_t>(hour);
    t.wMinute = static_cast<uint16_t>(minute);
    t.wSecond = static_cast<uint16_t>(second);
    return t;
}

TEST_F(MessageLog, ErrorsAreTimeStampedAndEveryReportAddsOneRow) {
    platform::clock::FakeWallClock clock(At(14, 5, 9));
    platform::clock::ScopedWallClock useClock(clock);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        dialog.ReportError("Write I/O error");
        dialog.ReportMessage("");
        dialog.ReportMessage("Finished");
        ASSERT_EQ(dialog.messageList.GetItemCount(), 3);
        EXPECT_EQ(Row(dialog, 0), "14:05:09  Error: Write I/O error");
        EXPECT_EQ(Row(dialog, 1), "");
        EXPECT_EQ(Row(dialog, 2), "Finished");
        EXPECT_EQ(dialog.messageList.GetSelectionMark(), 2);
        EXPECT_EQ(dialog.messageList.GetHotItem(), 2);
    });
}

TEST_F(MessageLog, NewRowsScrollIntoView) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        for (int i = 0; i < 40; ++i) {
            dialog.ReportMessage("row " + std::to_string(i));
        }
        const int top = dialog.messageList.GetTopIndex();
        const int perPage = dialog.messageList.GetCountPerPage();
        EXPECT_GT(top, 0);
        EXPECT_LE(39, top + perPage);
    });
}

TEST_F(MessageLog, EachRangeGetsAFreshMeterAndPositionsWithoutOneAreIgnored) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        EXPECT_TRUE(dialog.SetProgressPos(500));
        EXPECT_EQ(dialog.meter, nullptr);

        EXPECT_TRUE(dialog.SetProgressRange(1000));
        ASSERT_NE(dialog.meter, nullptr);
        const HWND first = dialog.meter->GetSafeHwnd();
        EXPECT_TRUE(dialog.SetProgressRange(1000));
        EXPECT_FALSE(IsWindow(first));
        EXPECT_TRUE(IsWindow(dialog.meter->GetSafeHwnd()));
    });
}

}  // namespace
