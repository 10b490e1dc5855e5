#include "tests/helpers/win32/thread_windows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string>

#include "platform/window/win32/window_map.h"

namespace test_helpers {
namespace {

using Clock = std::chrono::steady_clock;

// A check made every 10 ms by a thread timer until it reports that it is done. Thread timers
// reach their procedure through DispatchMessage, which every modal loop calls.
struct Poll {
    std::function<bool()> done;
    std::string awaited;  // the window it waits for; empty for a delayed action
};

std::map<UINT_PTR, std::unique_ptr<Poll>>& Polls() {
    static std::map<UINT_PTR, std::unique_ptr<Poll>> polls;
    return polls;
}

void CALLBACK PollProc(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Polls().find(id);
    if (it == Polls().end() || !it->second->done) {
        return;
    }
    // Taken out before it runs: what it does may run modal loops that dispatch this timer.
    std::function<bool()> check = std::move(it->second->done);
    if (check()) {
        ::KillTimer(nullptr, id);
        Polls().erase(id);
    } else if (auto again = Polls().find(id); again != Polls().end()) {
        again->second->done = std::move(check);
    }
}

void StartPoll(std::function<bool()> done, UINT periodMs = 10, std::string awaited = {}) {
    const UINT_PTR id = ::SetTimer(nullptr, 0, periodMs, &PollProc);
    ASSERT_NE(id, 0u) << "no timer";
    Polls()[id] = std::make_unique<Poll>(Poll{std::move(done), std::move(awaited)});
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> all;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectWindow, reinterpret_cast<LPARAM>(&all));
    std::vector<HWND> visible;
    std::copy_if(all.begin(), all.end(), std::back_inserter(visible),
                 [](HWND hwnd) { return ::IsWindowVisible(hwnd) != FALSE; });
    return visible;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

HWND FindChild(HWND parent, const char* className, const char* text) {
    for (HWND child : ChildWindows(parent)) {
        if (::lstrcmpiA(ClassOf(child).c_str(), className) == 0 &&
            (text == nullptr || TextOf(child) == text)) {
            return child;
        }
    }
    return nullptr;
}

std::string TextOf(HWND hwnd) {
    const int length = ::GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return platform::window::Narrow(text);
}

std::string ClassOf(HWND hwnd) {
    return platform::window::ClassNameOf(hwnd);
}

RECT RectInParent(HWND hwnd) {
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    if (HWND parent = ::GetAncestor(hwnd, GA_PARENT); parent != ::GetDesktopWindow()) {
        ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

void WhenWindowOpens(std::function<bool(HWND)> matches, std::function<void(HWND)> action,
                     int timeoutMs) {
    const std::vector<HWND> before = ThreadWindows();
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    StartPoll(
        [before, deadline, matches, action] {
            for (HWND hwnd : ThreadWindows()) {
                if (std::find(before.begin(), before.end(), hwnd) == before.end() &&
                    matches(hwnd)) {
                    action(hwnd);
                    return true;
                }
            }
            if (Clock::now() > deadline) {
                ADD_FAILURE() << "no such window opened";
                return true;
            }
            return false;
        },
        10, "a window");
}

void RunLater(int delayMs, std::function<void()> action) {
    StartPoll(
        [action] {
            action();
            return true;
        },
        static_cast<UINT>(std::max(delayMs, 1)));
}

void DropWaitingActions() {
    for (auto& [id, poll] : Polls()) {
        ::KillTimer(nullptr, id);
        if (!poll->awaited.empty() && poll->done) {
            ADD_FAILURE() << "the test ended still waiting for " << poll->awaited;
        }
    }
    Polls().clear();
}

void ProcessMessages(int ms) {
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(ms);
    do {
        MSG msg{};
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
            if (root == nullptr || !::IsDialogMessageW(root, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (Clock::now() < until) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    } while (Clock::now() < until);
}

intptr_t RunModal(CDialog& dialog, std::function<void(CDialog&)> inside) {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
    StartPoll([&dialog, inside, deadline] {
        if (dialog.m_hWnd == nullptr || !::IsWindowVisible(dialog.m_hWnd)) {
            if (Clock::now() > deadline) {
                ADD_FAILURE() << "the dialog did not show";
                return true;
            }
            return false;
        }
        inside(dialog);
        // A dialog that was ended is hidden until its loop returns.
        if (dialog.m_hWnd != nullptr && ::IsWindowVisible(dialog.m_hWnd)) {
            dialog.EndDialog(IDCANCEL);
        }
        return true;
    });
    return dialog.DoModal();
}

}  // namespace test_helpers
