// The dialog templates the program registers, and their check before a dialog is built.
#include "platform/window/dialog_template.h"

#include <algorithm>
#include <map>
#include <set>

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
        if (!IsKnownControlClass(item.windowClass)) {
            problems += "control " + std::to_string(item.id) + ": unknown class \"" +
                        item.windowClass + "\"; ";
        }
        if (item.id != -1 && !ids.insert(item.id).second) {
            problems += "control identifier " + std::to_string(item.id) + " used twice; ";
        }
    }
    auto missing = [&](int id) { return id == -1 || ids.count(id) == 0; };
    auto noLabel = [&](const std::string& caption) {
        return std::none_of(templ.items.begin(), templ.items.end(),
                            [&](const DialogItemTemplate& i) { return i.text == caption; });
    };
    for (const AccessibleItemTemplate& item : templ.accessibility.items) {
        if (missing(item.id) || (item.describedBy != 0 && missing(item.describedBy)) ||
            (!item.label.empty() && noLabel(item.label))) {
            problems += "accessibility of control " + std::to_string(item.id) +
                        ": no such control or label; ";
        }
    }
    for (int id : templ.accessibility.tabOrder) {
        if (missing(id)) {
            problems += "tab order: no control " + std::to_string(id) + "; ";
        }
    }
    return problems;
}

}  // namespace platform::window
