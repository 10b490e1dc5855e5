#include "platform/window/list_view_window.h"

#include <QHeaderView>

#include "platform/window/list_ctrl.h"
#include "platform/window/window_styles.h"

namespace platform::window {

ListViewWindow::ListViewWindow(const CreateParams& params, QWidget* parentWidget)
    : WindowHost<QTableWidget>(params, parentWidget) {
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode((style_ & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection
                                              : QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    setShowGrid(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameShape((style_ & WS_BORDER) || (exStyle_ & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE))
                      ? QFrame::StyledPanel
                      : QFrame::NoFrame);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setFocusPolicy(Qt::StrongFocus);
}

void ListViewWindow::SetBkColour(COLORREF colour) {
    bkColour = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
    setPalette(pal);
}

void ListViewWindow::SetTextBkColour(COLORREF colour) {
    textBkColour = colour;
    QBrush brush(QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            if (QTableWidgetItem* cell = item(r, c)) {
                cell->setBackground(brush);
            }
        }
    }
}

void ListViewWindow::SetListExStyle(DWORD exStyle) {
    listExStyle = exStyle;
    setShowGrid((exStyle & LVS_EX_GRIDLINES) != 0);
    setSelectionBehavior((exStyle & LVS_EX_FULLROWSELECT) ? QAbstractItemView::SelectRows
                                                          : QAbstractItemView::SelectItems);
}

QTableWidgetItem* ListViewWindow::Cell(int row, int col) {
    QTableWidgetItem* cell = item(row, col);
    if (cell == nullptr) {
        cell = new QTableWidgetItem;  // the table takes it over
        int format = col < static_cast<int>(columnFormats.size()) ? columnFormats[col] : 0;
        Qt::Alignment align = Qt::AlignLeft;
        if (col > 0 && format == LVCFMT_CENTER) {
            align = Qt::AlignHCenter;
        } else if (col > 0 && format == LVCFMT_RIGHT) {
            align = Qt::AlignRight;
        }
        cell->setTextAlignment(align | Qt::AlignVCenter);
        cell->setBackground(QBrush(
            QColor(GetRValue(textBkColour), GetGValue(textBkColour), GetBValue(textBkColour))));
        setItem(row, col, cell);
    }
    return cell;
}

}  // namespace platform::window
