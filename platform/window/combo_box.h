#pragma once

#include <string>

#include "platform/window/wnd.h"

// A "ComboBox" control: a drop-down list of strings, each with an item datum. Items go where
// they are inserted; CBS_SORT only orders AddString.
class CComboBox : public CWnd {
  public:
    const char* ControlClass() const override { return "ComboBox"; }
    CComboBox() = default;

    void ResetContent();
    // Inserts text at index (-1: at the end); returns its index, CB_ERR when index is beyond.
    int InsertString(int index, const char* text);
    int AddString(const char* text);
    int GetCount() const;
    // Selects index (-1: no selection); returns index, CB_ERR when out of range or -1.
    int SetCurSel(int index);
    // The selected index, CB_ERR when none.
    int GetCurSel() const;
    int GetLBText(int index, std::string& text) const;

    // Item data; CB_ERR (and 0 / null from the getters) for an index out of range.
    int SetItemData(int index, UINT_PTR data);
    UINT_PTR GetItemData(int index) const;
    int SetItemDataPtr(int index, void* data) {
        return SetItemData(index, reinterpret_cast<UINT_PTR>(data));
    }
    void* GetItemDataPtr(int index) const { return reinterpret_cast<void*>(GetItemData(index)); }

    // The tooltip of item index, shown over the item in the open list and over the closed box
    // while the item is selected; CB_ERR for an index out of range.
    int SetItemTip(int index, const char* text);
    std::string GetItemTip(int index) const;
    // The box's own tooltip text: what the closed box shows when no item is selected, and below
    // the selected item's tooltip otherwise. Kept when the items are reset.
    void SetListTip(const char* text);
};
