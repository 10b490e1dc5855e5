#include "platform/window/win32/win32_event_pump.h"

#include "platform/window/event_pump.h"
#include "system_defs/windows_h.h"

namespace platform::window {
namespace {

// One message, if one is waiting: the dialog's keyboard handling first, then its window.
void PumpOneMessage() {
    MSG msg{};
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        return;
    }
    if (msg.message == WM_QUIT) {
        // For the loop that waits for it.
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return;
    }
    HWND dialog = ::GetAncestor(msg.hwnd, GA_ROOT);
    if (dialog != nullptr && ::IsDialogMessageW(dialog, &msg)) {
        return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

}  // namespace

void InstallWin32EventPump() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);
    SetEventPump(&PumpOneMessage);
}

}  // namespace platform::window
