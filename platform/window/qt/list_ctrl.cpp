#include "platform/window/list_ctrl.h"

#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>

#include "platform/window/qt/list_view_widget.h"

using platform::window::ListViewWidget;

namespace {
ListViewWidget* List(HWND h) {
    return dynamic_cast<ListViewWidget*>(h);
}
constexpr int kDataRole = Qt::UserRole;
constexpr int kToolTipTextRole = Qt::UserRole + 1;  // the tooltip as given, before wrapping
}  // namespace

int CListCtrl::InsertColumn(int col, const char* heading, int format, int width, int) {
    ListViewWidget* list = List(m_hWnd);
    if (list == nullptr || col < 0) {
        return -1;
    }
    col = std::min(col, list->columnCount());
    list->insertColumn(col);
    list->columnFormats.insert(list->columnFormats.begin() + col, format);
    auto* header = new QTableWidgetItem(QString::fromUtf8(heading != nullptr ? heading : ""));
    Qt::Alignment align = Qt::AlignLeft;
    if (col > 0 && format == LVCFMT_CENTER) {
        align = Qt::AlignHCenter;
    } else if (col > 0 && format == LVCFMT_RIGHT) {
        align = Qt::AlignRight;
    }
    header->setTextAlignment(align | Qt::AlignVCenter);
    list->setHorizontalHeaderItem(col, header);  // the table takes it over
    if (width >= 0) {
        list->setColumnWidth(col, width);
    }
    return col;
}

int CListCtrl::GetColumnWidth(int col) const {
    ListViewWidget* list = List(m_hWnd);
    return list != nullptr && col >= 0 && col < list->columnCount() ? list->columnWidth(col) : 0;
}

int CListCtrl::InsertItem(UINT, int item, const char* text, UINT, UINT, int, LPARAM lParam) {
    ListViewWidget* list = List(m_hWnd);
    if (list == nullptr || item < 0) {
        return -1;
    }
    item = std::min(item, list->rowCount());
    list->insertRow(item);
    if (list->columnCount() > 0) {
        QTableWidgetItem* cell = list->Cell(item, 0);
        cell->setText(QString::fromUtf8(text != nullptr ? text : ""));
        cell->setData(kDataRole, QVariant::fromValue<qlonglong>(lParam));
    }
    if (list->selectionMark >= item) {
        ++list->selectionMark;
    }
    return item;
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) {
    ListViewWidget* list = List(m_hWnd);
    if (list == nullptr || item < 0 || item >= list->rowCount() || subItem < 0 ||
        subItem >= list->columnCount()) {
        return FALSE;
    }
    list->Cell(item, subItem)->setText(QString::fromUtf8(text != nullptr ? text : ""));
    return TRUE;
}

std::string CListCtrl::GetItemText(int item, int subItem) const {
    ListViewWidget* list = List(m_hWnd);
    if (list == nullptr) {
        return {};
    }
    QTableWidgetItem* cell = list->item(item, subItem);
    return cell != nullptr ? cell->text().toStdString() : std::string();
}

BOOL CListCtrl::SetItemToolTip(int item, const std::string& text) {
    ListViewWidget* list = List(m_hWnd);
    if (list == nullptr || item < 0 || item >= list->rowCount()) {
        return FALSE;
    }
    // As a paragraph, a long text wraps instead of running off the screen.
    const QString plain = QString::fromStdString(text);
    const QString shown = plain.isEmpty() ? QString() : "<p>" + plain.toHtmlEscaped() + "</p>";
    for (int column = 0; column < list->columnCount(); ++column) {
        list->Cell(item, column)->setToolTip(shown);
        list->Cell(item, column)->setData(kToolTipTextRole, plain);
    }
    return TRUE;
}

std::string CListCtrl::GetItemToolTip(int item) const {
    ListViewWidget* list = List(m_hWnd);
    QTableWidgetItem* cell = list != nullptr ? list->item(item, 0) : nullptr;
    return cell != nullptr ? cell->data(kToolTipTextRole).toString().toStdString() : std::string();
}

LPARAM CListCtrl::GetItemData(int item) const {
    ListViewWidget* list = List(m_hWnd);
    QTableWidgetItem* cell = list != nullptr ? list->item(item, 0) : nullptr;
    return cell != nullptr ? static_cast<LPARAM>(cell->data(kDataRole).toLongLong()) : 0;
}

int CListCtrl::GetItemCount() const {
    ListViewWidget* list = List(m_hWnd);
    return list != nullptr ? list->rowCount() : 0;
}

BOOL CListCtrl::DeleteAllItems() {
    ListViewWidget* list = List(m_hWnd);
    if (list == nullptr) {
        return FALSE;
    }
    list->setRowCount(0);
    list->selectionMark = -1;
    list->hotItem = -1;
    return TRUE;
}

BOOL CListCtrl::SetBkColor(COLORREF colour) {
    ListViewWidget* list = List(m_hWnd);
    if (list == nullptr) {
        return FALSE;
    }
    list->SetBkColour(colour);
    return TRUE;
}

COLORREF CListCtrl::GetBkColor() const {
    ListViewWidget* list = List(m_hWnd);
    return list != nullptr ? list->bkColour : 0;
}

BOOL CListCtrl::SetTextBkColor(COLORREF colour) {
    ListViewWidget* list = List(m_hWnd);
    if (list == nullptr) {
        return FALSE;
    }
    list->SetTextBkColour(colour);
    return TRUE;
}

COLORREF CListCtrl::GetTextBkColor() const {
    ListViewWidget* list = List(m_hWnd);
    return list != nullptr ? list->textBkColour : 0;
}

DWORD CListCtrl::SetExtendedStyle(DWORD exStyle) {
    ListViewWidget* list = List(m_hWnd);
    if (list == nullptr) {
        return 0;
    }
    DWORD old = list->listExStyle;
    list->SetListExStyle(exStyle);
    return old;
}

DWORD CListCtrl::GetExtendedStyle() const {
    ListViewWidget* list = List(m_hWnd);
    return list != nullptr ? list->listExStyle : 0;
}

BOOL CListCtrl::EnsureVisible(int item, BOOL partialOK) {
    ListViewWidget* list = List(m_hWnd);
    if (list == nullptr || item < 0 || item >= list->rowCount()) {
        return FALSE;
    }
    list->LayOutNow();  // the scroll bars a new row brings shrink the visible area
    int rowTop = list->rowViewportPosition(item);
    int rowBottom = rowTop + list->rowHeight(item);
    int viewHeight = list->viewport()->height();
    bool fully = rowTop >= 0 && rowBottom <= viewHeight;
    bool partly = rowBottom > 0 && rowTop < viewHeight;
    if (fully || (partialOK && partly)) {
        return TRUE;
    }
    QModelIndex index = list->model()->index(item, 0);
    list->scrollTo(index, QAbstractItemView::EnsureVisible);
    return TRUE;
}

int CListCtrl::GetTopIndex() const {
    ListViewWidget* list = List(m_hWnd);
    if (list == nullptr || list->rowCount() == 0) {
        return 0;
    }
    int row = list->rowAt(0);
    return row >= 0 ? row : 0;
}

int CListCtrl::GetCountPerPage() const {
    ListViewWidget* list = List(m_hWnd);
    if (list == nullptr) {
        return 0;
    }
    int rowHeight = list->verticalHeader()->defaultSectionSize();
    return rowHeight > 0 ? list->viewport()->height() / rowHeight : 0;
}

int CListCtrl::SetSelectionMark(int item) {
    ListViewWidget* list = List(m_hWnd);
    if (list == nullptr) {
        return -1;
    }
    int old = list->selectionMark;
    list->selectionMark = item;
    return old;
}

int CListCtrl::GetSelectionMark() const {
    ListViewWidget* list = List(m_hWnd);
    return list != nullptr ? list->selectionMark : -1;
}

int CListCtrl::SetHotItem(int item) {
    ListViewWidget* list = List(m_hWnd);
    if (list == nullptr) {
        return -1;
    }
    int old = list->hotItem;
    list->hotItem = item;
    return old;
}

int CListCtrl::GetHotItem() const {
    ListViewWidget* list = List(m_hWnd);
    return list != nullptr ? list->hotItem : -1;
}

BOOL CListCtrl::Update(int item) {
    ListViewWidget* list = List(m_hWnd);
    if (list == nullptr || item < 0 || item >= list->rowCount()) {
        return FALSE;
    }
    int top = list->rowViewportPosition(item);
    list->viewport()->update(0, top, list->viewport()->width(), list->rowHeight(item));
    return TRUE;
}
