#include "platform/window/wnd_class.h"

#include <map>
#include <string>

#include "platform/window/win32/window_map.h"

const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    static std::map<std::string, bool> registered;
    const std::string name = "Afx:" + std::to_string(classStyle) + ":" +
                             std::to_string(reinterpret_cast<uintptr_t>(cursor)) + ":" +
                             std::to_string(reinterpret_cast<uintptr_t>(background)) + ":" +
                             std::to_string(reinterpret_cast<uintptr_t>(icon));
    auto it = registered.find(name);
    if (it == registered.end()) {
        const std::wstring wide = platform::window::Widen(name);
        WNDCLASSEXW cls{};
        cls.cbSize = sizeof cls;
        cls.style = classStyle;
        cls.lpfnWndProc = &::DefWindowProcW;
        cls.hInstance = ::GetModuleHandleW(nullptr);
        cls.hCursor = cursor;
        cls.hbrBackground = background;
        cls.hIcon = icon;
        cls.lpszClassName = wide.c_str();
        ::RegisterClassExW(&cls);
        it = registered.emplace(name, true).first;
    }
    return it->first.c_str();
}
