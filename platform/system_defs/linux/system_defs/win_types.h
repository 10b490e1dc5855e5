#pragma once

#include <cstdint>

// The basic value types of the window services.

using UINT = unsigned int;
using DWORD = uint32_t;
using WORD = uint16_t;
using BOOL = int;
using UINT_PTR = uintptr_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using LPCTSTR = const char*;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

namespace platform::window {
class NativeWindow;
}
// A window: the backend's object behind one window (platform/window/qt/native_window.h),
// shared by every CWnd attached to it.
using HWND = platform::window::NativeWindow*;

constexpr WORD LOWORD(uintptr_t v) {
    return static_cast<WORD>(v & 0xFFFF);
}
constexpr WORD HIWORD(uintptr_t v) {
    return static_cast<WORD>((v >> 16) & 0xFFFF);
}
constexpr WPARAM MAKEWPARAM(unsigned low, unsigned high) {
    return static_cast<WPARAM>((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}

// One message as the dispatcher hands it to a window.
struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
