#include "platform/window/wnd_class.h"

#include <map>
#include <memory>

#include "platform/window/wnd_class_registry.h"

namespace platform::window {
namespace {

std::map<std::string, std::unique_ptr<WndClassInfo>>& Classes() {
    static std::map<std::string, std::unique_ptr<WndClassInfo>> classes;
    return classes;
}

}  // namespace

const WndClassInfo* FindWndClass(const std::string& name) {
    auto it = Classes().find(name);
    return it != Classes().end() ? it->second.get() : nullptr;
}

}  // namespace platform::window

const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    using platform::window::Classes;
    std::string name = "Afx:" + std::to_string(classStyle) + ":" + std::to_string(cursor.id) + ":" +
                       std::to_string(reinterpret_cast<uintptr_t>(background)) + ":" +
                       std::to_string(reinterpret_cast<uintptr_t>(icon.get()));
    auto& slot = Classes()[name];
    if (!slot) {
        slot = std::make_unique<platform::window::WndClassInfo>(
            platform::window::WndClassInfo{classStyle, cursor, background, icon});
    }
    return Classes().find(name)->first.c_str();
}

HCURSOR LoadCursor(std::nullptr_t, int cursorId) {
    return LoadStandardCursor(cursorId);
}
