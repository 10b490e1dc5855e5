// The window-test fixture on Windows: common controls and the Win32 pump.
#include "platform/window/event_pump.h"
#include "platform/window/win32/win32_event_pump.h"
#include "tests/helpers/win32/thread_windows.h"
#include "tests/helpers/window_test.h"

namespace test_helpers {

void EnsureWindowServices() {
    platform::window::InstallWin32EventPump();
}

void WindowTest::SetUp() {
    EnsureWindowServices();
}

void WindowTest::TearDown() {
    DropWaitingActions();
    for (HWND hwnd : ThreadWindows()) {
        ::DestroyWindow(hwnd);
    }
    ProcessMessages();
}

}  // namespace test_helpers
