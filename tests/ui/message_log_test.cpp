#include <gtest/gtest.h>

#include <QPointer>
#include <QTableView>

#include "platform/clock/wall_clock.h"
#include "platform/window/qt/native_window.h"
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

// Where row lies in the list's visible area (the viewport, above and beside any scroll bar) once
// the list has laid itself out, as the user sees it.
struct RowPlace {
    QRect row;
    QRect visible;
};
RowPlace PlaceOf(CListCtrl& list, int row) {
    QApplication::processEvents();
    auto* view = qobject_cast<QTableView*>(platform::window::WidgetOf(list.m_hWnd));
    if (view == nullptr) {
        ADD_FAILURE() << "the list is no table view";
        return {};
    }
    return {view->visualRect(view->model()->index(row, 0)), view->viewport()->rect()};
}

TEST_F(MessageLog, NewRowsScrollIntoView) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        for (int i = 0; i < 40; ++i) {
            dialog.ReportMessage("row " + std::to_string(i));
            const RowPlace place = PlaceOf(dialog.messageList, i);
            EXPECT_TRUE(place.row.top() >= place.visible.top() &&
                        place.row.bottom() <= place.visible.bottom())
                << "row " << i << " at y " << place.row.top() << ".." << place.row.bottom()
                << ", visible 0.." << place.visible.bottom();
        }
        EXPECT_GT(dialog.messageList.GetTopIndex(), 0);
    });
}

TEST_F(MessageLog, EachRangeGetsAFreshMeterAndPositionsWithoutOneAreIgnored) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        EXPECT_TRUE(dialog.SetProgressPos(500));
        EXPECT_EQ(dialog.meter, nullptr);

        EXPECT_TRUE(dialog.SetProgressRange(1000));
        ASSERT_NE(dialog.meter, nullptr);
        // Followed by its widget: the next meter's window may take the freed address.
        const QPointer<QWidget> first = platform::window::WidgetOf(dialog.meter->GetSafeHwnd());
        EXPECT_TRUE(dialog.SetProgressRange(1000));
        EXPECT_TRUE(first.isNull());
        EXPECT_TRUE(IsWindow(dialog.meter->GetSafeHwnd()));
    });
}

}  // namespace
