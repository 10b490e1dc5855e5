// The common controls behind CButton, CComboBox, CListCtrl and CProgressCtrl: their messages.
#include "platform/window/button.h"
#include "platform/window/combo_box.h"
#include "platform/window/list_ctrl.h"
#include "platform/window/progress_ctrl.h"
#include "platform/window/win32/item_tips.h"
#include "platform/window/win32/window_map.h"

using platform::window::Narrow;
using platform::window::Widen;

namespace {

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return hwnd != nullptr ? ::SendMessageW(hwnd, message, wParam, lParam) : 0;
}

}  // namespace

int CButton::GetCheck() const {
    return static_cast<int>(Send(m_hWnd, BM_GETCHECK));
}

void CButton::SetCheck(int check) {
    Send(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(check));
}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        if (result != nullptr) {
            *result = TRUE;
        }
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, result);
}

void CComboBox::ResetContent() {
    Send(m_hWnd, CB_RESETCONTENT);
    platform::window::ForgetEntryTips(m_hWnd);
}

int CComboBox::InsertString(int index, const char* text) {
    const std::wstring wide = Widen(text != nullptr ? text : "");
    return static_cast<int>(Send(m_hWnd, CB_INSERTSTRING, static_cast<WPARAM>(index),
                                 reinterpret_cast<LPARAM>(wide.c_str())));
}

int CComboBox::AddString(const char* text) {
    const std::wstring wide = Widen(text != nullptr ? text : "");
    return static_cast<int>(Send(m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

int CComboBox::GetCount() const {
    return static_cast<int>(Send(m_hWnd, CB_GETCOUNT));
}

int CComboBox::SetCurSel(int index) {
    return static_cast<int>(Send(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(index)));
}

int CComboBox::GetCurSel() const {
    return static_cast<int>(Send(m_hWnd, CB_GETCURSEL));
}

int CComboBox::GetLBText(int index, std::string& text) const {
    const auto length = Send(m_hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length == CB_ERR) {
        text.clear();
        return CB_ERR;
    }
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    Send(m_hWnd, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.data()));
    wide.resize(static_cast<size_t>(length));
    text = Narrow(wide);
    return static_cast<int>(text.size());
}

int CComboBox::SetItemData(int index, UINT_PTR data) {
    return static_cast<int>(
        Send(m_hWnd, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
}

UINT_PTR CComboBox::GetItemData(int index) const {
    const LRESULT data = Send(m_hWnd, CB_GETITEMDATA, static_cast<WPARAM>(index));
    return data == CB_ERR ? 0 : static_cast<UINT_PTR>(data);
}

int CComboBox::SetItemTip(int index, const char* text) {
    if (index < 0 || index >= GetCount()) {
        return CB_ERR;
    }
    platform::window::SetItemTip(m_hWnd, index, text != nullptr ? text : "");
    return index;
}

std::string CComboBox::GetItemTip(int index) const {
    return platform::window::ItemTip(m_hWnd, index);
}

void CComboBox::SetListTip(const char* text) {
    platform::window::SetItemTip(m_hWnd, -1, text != nullptr ? text : "");
}

int CListCtrl::InsertColumn(int col, const char* heading, int format, int width, int subItem) {
    std::wstring text = Widen(heading != nullptr ? heading : "");
    LVCOLUMNW column{};
    column.mask =
        LVCF_FMT | LVCF_TEXT | (width >= 0 ? LVCF_WIDTH : 0) | (subItem >= 0 ? LVCF_SUBITEM : 0);
    column.fmt = format;
    column.cx = width;
    column.pszText = text.data();
    column.iSubItem = subItem;
    return static_cast<int>(Send(m_hWnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(col),
                                 reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::GetColumnWidth(int col) const {
    return static_cast<int>(Send(m_hWnd, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(col)));
}

int CListCtrl::InsertItem(UINT mask, int item, const char* text, UINT state, UINT stateMask,
                          int image, LPARAM lParam) {
    std::wstring wide = Widen(text != nullptr ? text : "");
    LVITEMW row{};
    row.mask = mask;
    row.iItem = item;
    row.pszText = wide.data();
    row.state = state;
    row.stateMask = stateMask;
    row.iImage = image;
    row.lParam = lParam;
    return static_cast<int>(Send(m_hWnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) {
    std::wstring wide = Widen(text != nullptr ? text : "");
    LVITEMW row{};
    row.iSubItem = subItem;
    row.pszText = wide.data();
    return static_cast<BOOL>(
        Send(m_hWnd, LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row)));
}

std::string CListCtrl::GetItemText(int item, int subItem) const {
    std::wstring buffer(1024, L'\0');
    LVITEMW row{};
    row.iSubItem = subItem;
    row.pszText = buffer.data();
    row.cchTextMax = static_cast<int>(buffer.size());
    const auto length =
        Send(m_hWnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row));
    buffer.resize(static_cast<size_t>(length));
    return Narrow(buffer);
}

BOOL CListCtrl::SetItemToolTip(int item, const std::string& text) {
    if (item < 0 || item >= GetItemCount()) {
        return FALSE;
    }
    platform::window::SetItemTip(m_hWnd, item, text);
    return TRUE;
}

std::string CListCtrl::GetItemToolTip(int item) const {
    return platform::window::ItemTip(m_hWnd, item);
}

LPARAM CListCtrl::GetItemData(int item) const {
    LVITEMW row{};
    row.mask = LVIF_PARAM;
    row.iItem = item;
    return Send(m_hWnd, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&row)) ? row.lParam : 0;
}

int CListCtrl::GetItemCount() const {
    return static_cast<int>(Send(m_hWnd, LVM_GETITEMCOUNT));
}

BOOL CListCtrl::DeleteAllItems() {
    return static_cast<BOOL>(Send(m_hWnd, LVM_DELETEALLITEMS));
}

BOOL CListCtrl::SetBkColor(COLORREF colour) {
    return static_cast<BOOL>(Send(m_hWnd, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(colour)));
}

COLORREF CListCtrl::GetBkColor() const {
    return static_cast<COLORREF>(Send(m_hWnd, LVM_GETBKCOLOR));
}

BOOL CListCtrl::SetTextBkColor(COLORREF colour) {
    return static_cast<BOOL>(Send(m_hWnd, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(colour)));
}

COLORREF CListCtrl::GetTextBkColor() const {
    return static_cast<COLORREF>(Send(m_hWnd, LVM_GETTEXTBKCOLOR));
}

DWORD CListCtrl::SetExtendedStyle(DWORD exStyle) {
    return static_cast<DWORD>(
        Send(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(exStyle)));
}

DWORD CListCtrl::GetExtendedStyle() const {
    return static_cast<DWORD>(Send(m_hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE));
}

BOOL CListCtrl::EnsureVisible(int item, BOOL partialOK) {
    return static_cast<BOOL>(
        Send(m_hWnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), static_cast<LPARAM>(partialOK)));
}

int CListCtrl::GetTopIndex() const {
    return static_cast<int>(Send(m_hWnd, LVM_GETTOPINDEX));
}

int CListCtrl::GetCountPerPage() const {
    return static_cast<int>(Send(m_hWnd, LVM_GETCOUNTPERPAGE));
}

int CListCtrl::SetSelectionMark(int item) {
    return static_cast<int>(Send(m_hWnd, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(item)));
}

int CListCtrl::GetSelectionMark() const {
    return static_cast<int>(Send(m_hWnd, LVM_GETSELECTIONMARK));
}

int CListCtrl::SetHotItem(int item) {
    return static_cast<int>(Send(m_hWnd, LVM_SETHOTITEM, static_cast<WPARAM>(item)));
}

int CListCtrl::GetHotItem() const {
    return static_cast<int>(Send(m_hWnd, LVM_GETHOTITEM));
}

BOOL CListCtrl::Update(int item) {
    return static_cast<BOOL>(Send(m_hWnd, LVM_UPDATE, static_cast<WPARAM>(item)));
}

void CProgressCtrl::SetRange32(int lower, int upper) {
    Send(m_hWnd, PBM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
}

int CProgressCtrl::SetPos(int pos) {
    return static_cast<int>(Send(m_hWnd, PBM_SETPOS, static_cast<WPARAM>(pos)));
}

int CProgressCtrl::GetPos() const {
    return static_cast<int>(Send(m_hWnd, PBM_GETPOS));
}
