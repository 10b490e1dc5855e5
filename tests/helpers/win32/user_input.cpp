#include "tests/helpers/win32/user_input.h"

#include <chrono>
#include <vector>

#include "tests/helpers/win32/thread_windows.h"

namespace test_helpers {
namespace {

void Send(std::vector<INPUT> inputs) {
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT Mouse(DWORD flags, LONG x = 0, LONG y = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = x;
    input.mi.dy = y;
    input.mi.dwFlags = flags;
    return input;
}

INPUT Key(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

}  // namespace

void MovePointerTo(POINT screen) {
    // Absolute coordinates run from 0 to 65535 across the screen.
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    Send({Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                static_cast<LONG>((screen.x * 65536LL + width / 2) / width),
                static_cast<LONG>((screen.y * 65536LL + height / 2) / height))});
}

void ClickAt(POINT screen) {
    MovePointerTo(screen);
    ProcessInput();
    Send({Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP)});
    ProcessInput();
}

void ClickWindow(HWND hwnd) {
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    ClickAt(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

void ClickControl(CWnd* parent, int id) {
    ClickWindow(::GetDlgItem(parent->m_hWnd, id));
}

void SendKey(WORD vk, bool alt) {
    std::vector<INPUT> inputs;
    if (alt) {
        inputs.push_back(Key(VK_MENU, false));
    }
    inputs.push_back(Key(vk, false));
    inputs.push_back(Key(vk, true));
    if (alt) {
        inputs.push_back(Key(VK_MENU, true));
    }
    Send(inputs);
}

void PressKey(WORD vk, bool alt) {
    SendKey(vk, alt);
    ProcessInput();
}

void ProcessInput() {
    // The events reach the thread's queue through the system; what they start is dispatched
    // within, so the queue is empty of input once they were handled.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    do {
        ProcessMessages();
    } while (HIWORD(::GetQueueStatus(QS_INPUT)) != 0 &&
             std::chrono::steady_clock::now() < deadline);
}

}  // namespace test_helpers
