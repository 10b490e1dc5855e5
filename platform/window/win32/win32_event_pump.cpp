#include "platform/window/win32/win32_event_pump.h"

#include <chrono>

#include "platform/window/event_pump.h"
#include "system_defs/windows_h.h"

namespace platform::window {
namespace {

// A round at most this often: PeekMessage costs a call into the system (under Wine, into its
// server), and the transfer engine pumps once per 2 KB block, which on a fast drive follow each
// other within microseconds. Messages still get their turn within 10 ms.
constexpr std::chrono::milliseconds kMinimumRoundGap{10};
// Messages one round dispatches at most.
constexpr int kMessagesPerRound = 8;

// One message, if one is waiting: the dialog's keyboard handling first, then its window. False
// when none was waiting.
bool DispatchOne() {
    MSG msg{};
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    if (msg.message == WM_QUIT) {
        // For the loop that waits for it.
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    HWND dialog = ::GetAncestor(msg.hwnd, GA_ROOT);
    if (dialog == nullptr || !::IsDialogMessageW(dialog, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return true;
}

// The messages waiting, in the system's order (sent and posted messages, input, repaints, then
// timers), a few at most. With one message a round, a transfer that repaints the meter at every
// block would keep the timers (the meter's own among them) waiting for as long as it runs.
void PumpRound() {
    static std::chrono::steady_clock::time_point lastRound;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastRound < kMinimumRoundGap) {
        return;
    }
    lastRound = now;
    for (int i = 0; i < kMessagesPerRound && DispatchOne(); ++i) {
    }
}

}  // namespace

void InstallWin32EventPump() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);
    SetEventPump(&PumpRound);
}

}  // namespace platform::window
