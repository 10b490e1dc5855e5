#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window/win_app.h"
#include "platform/window/wnd.h"
#include "platform/window/wnd_class.h"
#include "tests/helpers/qt_test_app.h"

namespace {

std::vector<std::string> calls;

// A base window with handlers of its own and a derived one that overrides some of them.
class BaseWindow : public CWnd {
  public:
    void OnTimer(UINT_PTR id) { calls.push_back("base timer " + std::to_string(id)); }
    void OnSysCommand(UINT id, LPARAM) {
        calls.push_back("base syscommand " + std::to_string(id));
        Default();
    }
    void OnFirst() { calls.push_back("base 10"); }
    void OnSecond() { calls.push_back("base 11"); }
    LRESULT OnUser(WPARAM w, LPARAM l) { return static_cast<LRESULT>(w + static_cast<WPARAM>(l)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWindow, CWnd)
ON_WM_TIMER()
ON_WM_SYSCOMMAND()
ON_BN_CLICKED(10, OnFirst)
ON_BN_CLICKED(11, OnSecond)
ON_MESSAGE(WM_USER + 1, OnUser)
END_MESSAGE_MAP()

class DerivedWindow : public BaseWindow {
  public:
    void OnTimer(UINT_PTR id) {
        calls.push_back("derived timer " + std::to_string(id));
        BaseWindow::OnTimer(id);
    }
    void OnOther() { calls.push_back("derived 10"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWindow, BaseWindow)
ON_WM_TIMER()
ON_BN_CLICKED(10, OnOther)
END_MESSAGE_MAP()

class MessageMapTest : public test_helpers::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        calls.clear();
        ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), "map", WS_POPUP | WS_VISIBLE,
                                    CRect(0, 0, 100, 50), nullptr, 0));
    }
    DerivedWindow window;
};

TEST_F(MessageMapTest, DerivedEntriesComeFirstAndBaseEntriesStayReachable) {
    window.SendMessage(WM_TIMER, 7, 0);
    window.SendMessage(WM_COMMAND, MAKEWPARAM(10, BN_CLICKED), 0);
    window.SendMessage(WM_COMMAND, MAKEWPARAM(11, BN_CLICKED), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"derived timer 7", "base timer 7", "derived 10",
                                               "base 11"}));
    EXPECT_EQ(window.SendMessage(WM_USER + 1, 40, 2), 42);
}

TEST_F(MessageMapTest, CommandsMatchTheirNotificationCodeAndIdentifier) {
    window.SendMessage(WM_COMMAND, MAKEWPARAM(10, 5), 0);  // another notification
    window.SendMessage(WM_COMMAND, MAKEWPARAM(12, BN_CLICKED), 0);
    EXPECT_TRUE(calls.empty());
}

TEST_F(MessageMapTest, DefaultFromAHandlerRunsTheClassProcessing) {
    // SC_MINIMIZE's default processing minimises the window.
    window.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"base syscommand " + std::to_string(SC_MINIMIZE)}));
    EXPECT_TRUE(window.IsIconic());
}

TEST_F(MessageMapTest, ButtonClickOnAChildReachesTheParentsMap) {
    CWnd button;
    ASSERT_TRUE(button.CreateEx(0, "Button", "Go", WS_CHILD | WS_VISIBLE, CRect(5, 5, 60, 25),
                                &window, 11));
    button.SendMessage(WM_NULL);  // a message without handler does nothing
    ASSERT_TRUE(window.GetDlgItem(11) == &button);
    EXPECT_EQ(button.GetDlgCtrlID(), 11);
    EXPECT_TRUE(button.GetParent() == &window);
}

class App : public CWinApp {
  public:
    App() : CWinApp("map test") {}
    void OnHelpCommand() { calls.push_back("app help"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(App, CWinApp)
ON_COMMAND(ID_HELP, OnHelpCommand)
END_MESSAGE_MAP()

TEST_F(MessageMapTest, CommandsNoWindowHandlesGoToTheApplication) {
    App app;
    window.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"app help"}));
    EXPECT_EQ(AfxGetAppName(), "map test");
}

TEST(ApplicationName, IsTheExecutablesNameWithoutExtensionByDefault) {
    CWinApp app;
    EXPECT_EQ(AfxGetAppName(), "platform_window_tests");
    EXPECT_TRUE(AfxGetApp() == &app);
}

}  // namespace
