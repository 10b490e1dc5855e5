#pragma once

#include <string>
#include <string_view>

#include "platform/window/wnd.h"

namespace platform::window {

// Routes a system window's messages to the CWnd attached to it: attaching subclasses the window
// with the layer's window procedure, which calls the object's WindowProc; the window's own
// procedure stays its DefWindowProc. Detaching (or the window's end) undoes it.
void AttachWindow(CWnd& object, HWND hwnd);
void DetachWindow(HWND hwnd);
CWnd* AttachedObject(HWND hwnd);
// The window's own procedure with the message (its class's processing).
LRESULT CallOriginalProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// UTF-8 to UTF-16 and back.
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

// The window's class name, as registered.
std::string ClassNameOf(HWND hwnd);

}  // namespace platform::window
