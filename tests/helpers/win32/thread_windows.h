#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/window/dialog.h"
#include "system_defs/windows_h.h"

// Finding and reading the windows of the test's own thread (the dialogs, message boxes, file
// dialogs and menus it opens), and acting on them from inside the modal loops they run.
namespace test_helpers {

// The visible top-level windows of this thread, topmost first.
std::vector<HWND> ThreadWindows();
// The direct children of parent, in z-order (a dialog's: template order).
std::vector<HWND> ChildWindows(HWND parent);
// The first direct child of parent of class className (case-insensitive) whose text is text
// (any text when text is null); null when there is none.
HWND FindChild(HWND parent, const char* className, const char* text = nullptr);
std::string TextOf(HWND hwnd);
std::string ClassOf(HWND hwnd);
// hwnd's rectangle in its parent's client coordinates (a top-level window's: the screen's).
RECT RectInParent(HWND hwnd);

// Runs action once, from the message loop that runs then (the test's, a dialog's, a menu's), on
// the first visible top-level window of this thread that was not open when this was called and
// that matches. Fails the test when none opened within timeoutMs.
void WhenWindowOpens(std::function<bool(HWND)> matches, std::function<void(HWND)> action,
                     int timeoutMs = 5000);
// Runs action once from the message loop after delayMs.
void RunLater(int delayMs, std::function<void()> action);
// Drops the actions still waiting (a test's end); each that waited for a window fails the test.
void DropWaitingActions();
// Dispatches what waits now, and keeps dispatching for ms milliseconds.
void ProcessMessages(int ms = 0);

// Runs dialog.DoModal(); inside its modal loop, once the dialog shows, calls inside and then
// ends the dialog with IDCANCEL unless inside ended it. Returns DoModal's result.
intptr_t RunModal(CDialog& dialog, std::function<void(CDialog&)> inside);

}  // namespace test_helpers
