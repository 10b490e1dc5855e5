#pragma once

#include <string>
#include <vector>

#include "platform/window/win_types.h"

inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_SEPARATOR = 0x0800;

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
    int GetMenuItemCount() const { return static_cast<int>(entries_.size()); }
    UINT GetMenuItemID(int pos) const;
    const std::vector<Entry>& Entries() const { return entries_; }
    void Clear() { entries_.clear(); }

  private:
    std::vector<Entry> entries_;
};
