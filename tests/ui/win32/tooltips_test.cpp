// Tooltips on Windows as the operator sees them: the pointer rests on a log row, on the closed
// target list, on an entry of the open list, and the system's tooltip shows the tip.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/window/win32/window_map.h"
#include "tests/ui/win32/main_window_fixture.h"

namespace {

using test_helpers::RunModal;

class Tooltips : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        platform::storage::DriveDescription stick;
        stick.name = "PHYSICALDRIVE1";
        stick.deviceNode = "/dev/sdb";
        stick.model = "Stick";
        stick.capacityBytes = 2u << 20;
        storage.SetDescription(1, stick);
    }

    // Rests the pointer on the screen point and gives the text of the tooltip that shows then;
    // empty when none shows within two seconds.
    static std::string TipShownAt(POINT screen) {
        test_helpers::MovePointerTo(screen);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < deadline) {
            test_helpers::ProcessMessages(20);
            for (HWND tip : test_helpers::ThreadWindows()) {
                if (test_helpers::ClassOf(tip) != "tooltips_class32") {
                    continue;
                }
                TTTOOLINFOW tool{};
                tool.cbSize = sizeof tool;
                if (!::SendMessageW(tip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
                    continue;
                }
                wchar_t text[2048] = {};
                tool.lpszText = text;
                ::SendMessageW(tip, TTM_GETTEXTW, 2048, reinterpret_cast<LPARAM>(&tool));
                std::string shown = platform::window::Narrow(text);
                std::erase(shown, '\r');
                return shown;
            }
        }
        return {};
    }

    static POINT MiddleOf(HWND hwnd, RECT inClient) {
        POINT p{(inClient.left + inClient.right) / 2, (inClient.top + inClient.bottom) / 2};
        ::ClientToScreen(hwnd, &p);
        return p;
    }

    static POINT RowMiddle(MainDialog& dialog, int row) {
        HWND list = ::GetDlgItem(dialog.m_hWnd, IDC_MESSAGE_LIST);
        RECT r{};
        r.left = LVIR_BOUNDS;
        ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&r));
        return MiddleOf(list, r);
    }
};

TEST_F(Tooltips, ARowShowsItsOwnTipWhereThePointerRests) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        dialog.ReportMessage("first");
        dialog.messageList.SetItemToolTip(0, "What lies behind the first row.");
        dialog.ReportMessage("second");
        dialog.messageList.SetItemToolTip(1, "The second row's cause,\non two lines.");
        dialog.ReportMessage("third, without a tip");
        EXPECT_EQ(TipShownAt(RowMiddle(dialog, 0)), "What lies behind the first row.");
        EXPECT_EQ(TipShownAt(RowMiddle(dialog, 1)), "The second row's cause,\non two lines.");
        EXPECT_EQ(TipShownAt(RowMiddle(dialog, 2)), "");
    });
}

TEST_F(Tooltips, TheTargetListShowsItsChosenDrivesTipAndItsEntriesTheirs) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        const std::string entryTip = dialog.targetDriveCombo.GetItemTip(0);
        ASSERT_NE(entryTip.find("/dev/sdb"), std::string::npos) << entryTip;
        HWND combo = ::GetDlgItem(dialog.m_hWnd, IDC_TARGET_DRIVE);
        RECT box{};
        ::GetClientRect(combo, &box);
        const POINT closed = MiddleOf(combo, box);

        dialog.targetDriveCombo.SetListTip("Left out: the system disk.");
        EXPECT_EQ(TipShownAt(closed), "Left out: the system disk.") << "nothing chosen yet";
        test_helpers::MovePointerTo(POINT{0, 0});

        PickTarget(dialog, 0);
        EXPECT_EQ(TipShownAt(closed), entryTip + "\n\nLeft out: the system disk.");
        test_helpers::MovePointerTo(POINT{0, 0});

        // Over the open list, the entry under the pointer.
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(::GetComboBoxInfo(combo, &info));
        POINT arrow{(info.rcButton.left + info.rcButton.right) / 2,
                    (info.rcButton.top + info.rcButton.bottom) / 2};
        ::ClientToScreen(combo, &arrow);
        test_helpers::ClickAt(arrow);
        ASSERT_TRUE(::IsWindowVisible(info.hwndList));
        RECT entry{};
        ::SendMessageW(info.hwndList, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&entry));
        EXPECT_EQ(TipShownAt(MiddleOf(info.hwndList, entry)), entryTip);
        test_helpers::PressKey(VK_ESCAPE);
    });
}

}  // namespace
