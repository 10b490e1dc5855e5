// A window's system menu: the system's own, with the framework's object over it.
#include "platform/window/menu.h"

#include <map>
#include <memory>

#include "platform/window/win32/window_map.h"

namespace {

std::map<const CMenu*, HMENU>& Handles() {
    static std::map<const CMenu*, HMENU> handles;
    return handles;
}

HMENU HandleOf(const CMenu* menu) {
    auto it = Handles().find(menu);
    return it != Handles().end() ? it->second : nullptr;
}

}  // namespace

namespace platform::window {

// The object of menu, made when first asked for; it lives as long as the program.
CMenu* MenuObject(HMENU menu) {
    static std::map<HMENU, std::unique_ptr<CMenu>> objects;
    std::unique_ptr<CMenu>& object = objects[menu];
    if (!object) {
        object = std::make_unique<CMenu>();
        Handles()[object.get()] = menu;
    }
    return object.get();
}

}  // namespace platform::window

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
    if (!(flags & MF_SEPARATOR) && text == nullptr) {
        return FALSE;
    }
    const std::wstring wide = platform::window::Widen(text != nullptr ? text : "");
    if (HMENU menu = HandleOf(this);
        menu != nullptr &&
        !::AppendMenuW(menu, flags, id, (flags & MF_SEPARATOR) ? nullptr : wide.c_str())) {
        return FALSE;
    }
    entries_.push_back(Entry{flags, (flags & MF_SEPARATOR) ? 0 : id,
                             (flags & MF_SEPARATOR) ? std::string() : std::string(text)});
    return TRUE;
}

UINT CMenu::GetMenuItemID(int pos) const {
    if (HMENU menu = HandleOf(this)) {
        return ::GetMenuItemID(menu, pos);
    }
    if (pos < 0 || pos >= static_cast<int>(entries_.size())) {
        return static_cast<UINT>(-1);
    }
    return static_cast<UINT>(entries_[static_cast<size_t>(pos)].id);
}

int CMenu::GetMenuItemCount() const {
    if (HMENU menu = HandleOf(this)) {
        return ::GetMenuItemCount(menu);
    }
    return static_cast<int>(entries_.size());
}
