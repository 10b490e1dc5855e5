#pragma once

#include <string>

#include "platform/draw/geometry.h"
#include "platform/window/wnd.h"

// A "SysListView32" control in report mode: columns with headings, rows of texts. Column 0
// is always left-aligned, as the system's.
class CListCtrl : public CWnd {
  public:
    const char* ControlClass() const override { return "SysListView32"; }
    CListCtrl() = default;

    // Inserts column col; returns its index or -1.
    int InsertColumn(int col, const char* heading, int format = LVCFMT_LEFT, int width = -1,
                     int subItem = -1);
    int GetColumnWidth(int col) const;

    // Inserts a row at item (at most the row count) with text in column 0 and lParam as its
    // datum; returns its index, -1 on failure.
    int InsertItem(UINT mask, int item, const char* text, UINT state, UINT stateMask, int image,
                   LPARAM lParam);
    int InsertItem(int item, const char* text) {
        return InsertItem(LVIF_TEXT, item, text, 0, 0, 0, 0);
    }
    BOOL SetItemText(int item, int subItem, const char* text);
    std::string GetItemText(int item, int subItem) const;
    // The text shown when the pointer rests on the row; empty for none.
    BOOL SetItemToolTip(int item, const std::string& text);
    std::string GetItemToolTip(int item) const;
    LPARAM GetItemData(int item) const;
    int GetItemCount() const;
    BOOL DeleteAllItems();

    BOOL SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const;
    BOOL SetTextBkColor(COLORREF colour);
    COLORREF GetTextBkColor() const;
    // Sets the LVS_EX_ styles (grid lines, full-row selection); returns the old ones.
    DWORD SetExtendedStyle(DWORD exStyle);
    DWORD GetExtendedStyle() const;

    // Scrolls item into view; with partialOK a partly visible item causes no scrolling.
    BOOL EnsureVisible(int item, BOOL partialOK);
    // The first visible row and the number of rows that fit fully.
    int GetTopIndex() const;
    int GetCountPerPage() const;
    // Selection mark and hot item; each returns the old value. The selection is not changed.
    int SetSelectionMark(int item);
    int GetSelectionMark() const;
    int SetHotItem(int item);
    int GetHotItem() const;
    // Repaints item.
    BOOL Update(int item);
};
