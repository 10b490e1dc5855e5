#include "platform/window/dialog_template.h"

#include <map>
#include <set>

#include "platform/window/qt/window_factory.h"
#include "platform/window/wnd_class_registry.h"

namespace platform::window {
namespace {

std::map<unsigned, const DialogTemplate*>& Templates() {
    static std::map<unsigned, const DialogTemplate*> templates;
    return templates;
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
        if (!IsControlClass(item.windowClass) && FindWndClass(item.windowClass) == nullptr) {
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
