#pragma once

#include <string>

#include "platform/window/wnd.h"
#include "system_defs/windows_h.h"

// Input as a user gives it: mouse and keyboard events through SendInput, which the system
// routes to the window under the pointer or with the focus, as it does a real device's.
namespace test_helpers {

// Moves the pointer to the screen point.
void MovePointerTo(POINT screen);
// Clicks the left button at the screen point, then dispatches the input (and whatever it starts,
// modal loops included, runs before this returns).
void ClickAt(POINT screen);
// Clicks hwnd in its middle.
void ClickWindow(HWND hwnd);
// Clicks control id of parent in its middle.
void ClickControl(CWnd* parent, int id);
// Presses and releases key vk, with Alt held when alt is set. SendKey leaves the input to the
// loop that runs (a menu's); PressKey dispatches it before it returns.
void SendKey(WORD vk, bool alt = false);
void PressKey(WORD vk, bool alt = false);
// Dispatches the input that waits for this thread.
void ProcessInput();

}  // namespace test_helpers
