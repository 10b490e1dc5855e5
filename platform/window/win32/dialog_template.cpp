#include "platform/window/dialog_template.h"

#include <map>
#include <set>

#include "platform/window/win32/window_map.h"

namespace platform::window {
namespace {

std::map<unsigned, const DialogTemplate*>& Templates() {
    static std::map<unsigned, const DialogTemplate*> templates;
    return templates;
}

// A class the system or the program has registered.
bool IsKnownClass(const std::string& name) {
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    const std::wstring wide = Widen(name);
    return ::GetClassInfoExW(nullptr, wide.c_str(), &info) ||
           ::GetClassInfoExW(::GetModuleHandleW(nullptr), wide.c_str(), &info);
}

}  // namespace

void RegisterDialogTemplate(const DialogTemplate& templ) {
    Templates()[templ.id] = &templ;
}

const DialogTemplate* FindDialogTemplate(unsigned id) {
    auto it = Templates().find(id);
    return it != Templates().end() ? it->second : nullptr;
}

std::string CheckDialogTemplate(const DialogTemplate& templ) {
    std::string problems;
    std::set<int> ids;
    for (const DialogItemTemplate& item : templ.items) {
        if (!IsKnownClass(item.windowClass)) {
            problems += "control " + std::to_string(item.id) + ": unknown class \"" +
                        item.windowClass + "\"; ";
        }
        if (item.id != -1 && !ids.insert(item.id).second) {
            problems += "control identifier " + std::to_string(item.id) + " used twice; ";
        }
    }
    return problems;
}

}  // namespace platform::window
