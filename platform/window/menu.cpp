#include "platform/window/menu.h"

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
    if (!(flags & MF_SEPARATOR) && text == nullptr) {
        return FALSE;
    }
    entries_.push_back(Entry{flags, (flags & MF_SEPARATOR) ? 0 : id,
                             (flags & MF_SEPARATOR) ? std::string() : std::string(text)});
    return TRUE;
}

UINT CMenu::GetMenuItemID(int pos) const {
    if (pos < 0 || pos >= GetMenuItemCount()) {
        return static_cast<UINT>(-1);
    }
    return static_cast<UINT>(entries_[static_cast<size_t>(pos)].id);
}

int CMenu::GetMenuItemCount() const {
    return static_cast<int>(entries_.size());
}
