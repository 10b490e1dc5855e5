// The application's message box on Windows: a dialog of the program's own, answered by keyboard
// and mouse as a user does, with its details section and the application's dialog colours.
#include "platform/window/message_box.h"

#include <gtest/gtest.h>

#include "platform/window/win_app.h"
#include "tests/helpers/win32/system_boxes.h"
#include "tests/helpers/win32/thread_windows.h"
#include "tests/helpers/win32/user_input.h"
#include "tests/helpers/window_test.h"

namespace {

using test_helpers::IsDialogBox;
using test_helpers::WhenWindowOpens;

CWinApp theApp("Boxes");

class MessageBoxTest : public test_helpers::WindowTest {};

RECT WindowRect(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return r;
}

TEST_F(MessageBoxTest, EnterAnswersWithTheDefaultButton) {
    std::string title;
    WhenWindowOpens(IsDialogBox, [&](HWND box) {
        title = test_helpers::TextOf(box);
        test_helpers::PressKey(VK_RETURN);
    });
    EXPECT_EQ(AfxMessageBox("Go on?", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(title, "Boxes");
    WhenWindowOpens(IsDialogBox, [](HWND) { test_helpers::PressKey(VK_RETURN); });
    EXPECT_EQ(AfxMessageBox("Go on?", MB_YESNO), IDYES);
}

TEST_F(MessageBoxTest, OnlyItsButtonsAnswerAYesNoBox) {
    bool openAfterEscape = false;
    UINT closeCommand = 0;
    WhenWindowOpens(IsDialogBox, [&](HWND box) {
        test_helpers::PressKey(VK_ESCAPE);
        openAfterEscape = ::IsWindowVisible(box) != FALSE;
        closeCommand = ::GetMenuState(::GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND);
        test_helpers::ClickWindow(::GetDlgItem(box, IDYES));
    });
    EXPECT_EQ(AfxMessageBox("Go on?", MB_YESNO | MB_ICONEXCLAMATION), IDYES);
    EXPECT_TRUE(openAfterEscape);
    EXPECT_TRUE(closeCommand & MF_GRAYED);
}

TEST_F(MessageBoxTest, EscapeAnswersCancelOrTheOnlyOk) {
    WhenWindowOpens(IsDialogBox, [](HWND) { test_helpers::PressKey(VK_ESCAPE); });
    EXPECT_EQ(AfxMessageBox("Copy?", MB_OKCANCEL), IDCANCEL);
    WhenWindowOpens(IsDialogBox, [](HWND) { test_helpers::PressKey(VK_ESCAPE); });
    EXPECT_EQ(AfxMessageBox("Done.", MB_OK), IDOK);
}

// The section under the text folds away with the button beside the answers, and opens again.
TEST_F(MessageBoxTest, TheDetailsFoldAwayAndOpenAgain) {
    struct State {
        bool detailsShown = false;
        std::string toggle;
        RECT box{};
        RECT yes{};
    };
    std::vector<State> states;
    std::string details;
    WhenWindowOpens(IsDialogBox, [&](HWND box) {
        HWND edit = test_helpers::FindChild(box, "Edit");
        HWND toggle = test_helpers::FindChild(box, "Button", "Hide Details...");
        ASSERT_NE(edit, nullptr);
        ASSERT_NE(toggle, nullptr);
        details = test_helpers::TextOf(edit);
        auto record = [&] {
            states.push_back({::IsWindowVisible(edit) != FALSE, test_helpers::TextOf(toggle),
                              WindowRect(box), WindowRect(::GetDlgItem(box, IDYES))});
        };
        record();
        test_helpers::ClickWindow(toggle);
        record();
        test_helpers::ClickWindow(toggle);
        record();
        test_helpers::ClickWindow(::GetDlgItem(box, IDNO));
    });
    EXPECT_EQ(AfxMessageBox("Erase?", MB_YESNO, 0, "Device /dev/sdb\nModel STICK"), IDNO);
    EXPECT_EQ(details, "Device /dev/sdb\r\nModel STICK");
    ASSERT_EQ(states.size(), 3u);
    EXPECT_TRUE(states[0].detailsShown);
    EXPECT_FALSE(states[1].detailsShown);
    EXPECT_EQ(states[1].toggle, "Show Details...");
    const int folded = states[0].box.bottom - states[1].box.bottom;
    EXPECT_GT(folded, 20);
    EXPECT_EQ(states[0].yes.top - states[1].yes.top, folded) << "the buttons move up with it";
    EXPECT_TRUE(states[2].detailsShown);
    EXPECT_EQ(states[2].toggle, "Hide Details...");
    EXPECT_TRUE(::EqualRect(&states[2].box, &states[0].box));
}

// A long text wraps inside the box; the box is painted in the application's dialog colours.
TEST_F(MessageBoxTest, TheTextFitsAndTheBoxTakesTheDialogColours) {
    theApp.SetDialogBkColor(RGB(218, 215, 180), RGB(0, 0, 0));
    const std::string text(60, 'x');
    const std::string longText = text + " " + text + " " + text + " " + text + "\nlast line";
    RECT textRect{};
    RECT needed{};
    auto seen = test_helpers::AnswerNextMessageBox(IDOK, [&] {
        HWND box = ::GetActiveWindow();
        HWND label = ::GetDlgItem(box, 0xFFFF);
        ASSERT_NE(label, nullptr);
        ::GetClientRect(label, &textRect);
        HDC dc = ::GetDC(label);
        HGDIOBJ old =
            ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
        needed = RECT{0, 0, textRect.right, 0};
        const std::wstring wide(longText.begin(), longText.end());
        ::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &needed,
                    DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        ::SelectObject(dc, old);
        ::ReleaseDC(label, dc);
    });
    EXPECT_EQ(AfxMessageBox(longText.c_str(), MB_OK | MB_ICONHAND), IDOK);
    ASSERT_TRUE(seen->shown);
    EXPECT_EQ(seen->text, longText);
    EXPECT_EQ(seen->icon, ::LoadIconA(nullptr, IDI_HAND));
    EXPECT_EQ(seen->buttons, std::vector<std::string>{"OK"});
    EXPECT_LE(needed.right, textRect.right);
    EXPECT_LE(needed.bottom, textRect.bottom) << "every line shows";
    EXPECT_GE(needed.bottom, 5 * 13) << "wrapped";
    EXPECT_EQ(seen->background, RGB(218, 215, 180));
    EXPECT_EQ(seen->textBackground, RGB(218, 215, 180));
    EXPECT_EQ(seen->textColour, RGB(0, 0, 0));
}

}  // namespace
