#pragma once

#include <string>
#include <vector>

#include "platform/window/win_types.h"
#include "system_defs/window_constants.h"

// A menu as a list of entries (the system menu of a window).
class CMenu {
  public:
    struct Entry {
        UINT flags = MF_STRING;
        UINT_PTR id = 0;
        std::string text;  // "&" marks the mnemonic, "\t" starts the shortcut text
    };

    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int pos) const;
    const std::vector<Entry>& Entries() const { return entries_; }
    void Clear() { entries_.clear(); }

  private:
    std::vector<Entry> entries_;
};
