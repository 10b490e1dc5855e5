// The message log on Windows: the rows of the real list view and their time stamps.
#include <gtest/gtest.h>

#include "platform/clock/wall_clock.h"
#include "platform/window/win32/window_map.h"
#include "tests/ui/win32/main_window_fixture.h"

namespace {

using test_helpers::RunModal;

class MessageLog : public MainWindowTest {
  protected:
    // Row row of the list as the control holds it.
    static std::string ListRow(MainDialog& dialog, int row) {
        HWND list = ::GetDlgItem(dialog.m_hWnd, IDC_MESSAGE_LIST);
        wchar_t text[256] = {};
        LVITEMW item{};
        item.pszText = text;
        item.cchTextMax = 256;
        ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&item));
        return platform::window::Narrow(text);
    }
};

SYSTEMTIME At(int hour, int minute, int second) {
    SYSTEMTIME t{};
    t.wYear = 2009;
    t.wMonth = 3;
    t.wDay = 7;
    t.wDayOfWeek = 6;
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    return t;
}

int SecondOfDay(const SYSTEMTIME& t) {
    return (t.wHour * 60 + t.wMinute) * 60 + t.wSecond;
}

TEST_F(MessageLog, ErrorsAreTimeStampedAndEveryReportAddsOneRow) {
    platform::clock::FakeWallClock clock(At(14, 5, 9));
    platform::clock::ScopedWallClock useClock(clock);
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        dialog.ReportError("Write I/O error");
        dialog.ReportMessage("");
        dialog.ReportMessage("Finished");
        HWND list = ::GetDlgItem(dialog.m_hWnd, IDC_MESSAGE_LIST);
        ASSERT_EQ(ListView_GetItemCount(list), 3);
        EXPECT_EQ(ListRow(dialog, 0), "14:05:09  Error: Write I/O error");
        EXPECT_EQ(ListRow(dialog, 1), "");
        EXPECT_EQ(ListRow(dialog, 2), "Finished");
        EXPECT_EQ(ListView_GetSelectionMark(list), 2);
        EXPECT_EQ(ListView_GetHotItem(list), 2);
    });
}

// Without a test clock the stamp is the system's local time.
TEST_F(MessageLog, StampsTakeTheLocalTimeOfTheSystem) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        SYSTEMTIME before{};
        ::GetLocalTime(&before);
        dialog.ReportError("Read I/O error");
        SYSTEMTIME after{};
        ::GetLocalTime(&after);
        const std::string row = ListRow(dialog, 0);
        ASSERT_EQ(row.substr(8), "  Error: Read I/O error");
        SYSTEMTIME stamp{};
        ASSERT_EQ(std::sscanf(row.c_str(), "%2hu:%2hu:%2hu", &stamp.wHour, &stamp.wMinute,
                              &stamp.wSecond),
                  3)
            << row;
        EXPECT_GE(SecondOfDay(stamp), SecondOfDay(before)) << row;
        EXPECT_LE(SecondOfDay(stamp), SecondOfDay(after)) << row;
    });
}

// Each new row is scrolled into view, at least partly (a row already partly visible is left
// where it is).
TEST_F(MessageLog, NewRowsScrollIntoView) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        HWND list = ::GetDlgItem(dialog.m_hWnd, IDC_MESSAGE_LIST);
        RECT header{};
        ::GetWindowRect(ListView_GetHeader(list), &header);
        const int rowsTop = header.bottom - header.top;
        for (int i = 0; i < 40; ++i) {
            dialog.ReportMessage("row " + std::to_string(i));
            test_helpers::ProcessMessages();
            RECT row{};
            row.left = LVIR_BOUNDS;
            ASSERT_TRUE(::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(i),
                                       reinterpret_cast<LPARAM>(&row)));
            RECT client{};
            ::GetClientRect(list, &client);
            EXPECT_TRUE(row.bottom > rowsTop && row.top < client.bottom)
                << "row " << i << " at y " << row.top << ".." << row.bottom << ", rows shown "
                << rowsTop << ".." << client.bottom;
        }
        EXPECT_GT(ListView_GetTopIndex(list), 30);
    });
}

TEST_F(MessageLog, EachRangeGetsAFreshMeterOverTheProgressControl) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        EXPECT_TRUE(dialog.SetProgressPos(500));
        EXPECT_EQ(dialog.meter, nullptr);

        EXPECT_TRUE(dialog.SetProgressRange(1000));
        ASSERT_NE(dialog.meter, nullptr);
        HWND first = dialog.meter->GetSafeHwnd();
        EXPECT_TRUE(::IsWindowVisible(first));
        RECT meter{};
        ::GetWindowRect(first, &meter);
        RECT anchor{};
        ::GetWindowRect(::GetDlgItem(dialog.m_hWnd, IDC_PROGRESS), &anchor);
        EXPECT_TRUE(::EqualRect(&meter, &anchor)) << "laid over the progress control";
        EXPECT_TRUE(dialog.SetProgressRange(1000));
        EXPECT_FALSE(::IsWindow(first) && first != dialog.meter->GetSafeHwnd());
        EXPECT_TRUE(::IsWindow(dialog.meter->GetSafeHwnd()));
    });
}

}  // namespace
