#include "platform/window/dialog_template.h"
#include "platform/window/win32/window_map.h"

namespace platform::window {

// A class the system or the program has registered.
bool IsKnownControlClass(const std::string& name) {
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    const std::wstring wide = Widen(name);
    return ::GetClassInfoExW(nullptr, wide.c_str(), &info) ||
           ::GetClassInfoExW(::GetModuleHandleW(nullptr), wide.c_str(), &info);
}

}  // namespace platform::window
