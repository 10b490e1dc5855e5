#include "platform/window/qt/list_view_widget.h"

#include <QHeaderView>
#include <QScrollBar>

#include "platform/window/list_ctrl.h"
#include "platform/window/window_styles.h"

namespace platform::window {

ListViewWidget::ListViewWidget(const CreateParams& params, QWidget* parentWidget)
    : NativeWidget<QTableWidget>(params, parentWidget) {
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

void ListViewWidget::SetBkColour(COLORREF colour) {
    bkColour = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
    setPalette(pal);
}

void ListViewWidget::SetTextBkColour(COLORREF colour) {
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

void ListViewWidget::SetListExStyle(DWORD exStyle) {
    listExStyle = exStyle;
    setShowGrid((exStyle & LVS_EX_GRIDLINES) != 0);
    setSelectionBehavior((exStyle & LVS_EX_FULLROWSELECT) ? QAbstractItemView::SelectRows
                                                          : QAbstractItemView::SelectItems);
}

void ListViewWidget::LayOutNow() {
    executeDelayedItemsLayout();
    // A vertical scroll bar narrows the rows, which may bring a horizontal one, which shortens
    // the visible area again: a few rounds settle it.
    for (int round = 0; round < 3; ++round) {
        const QSize before = viewport()->size();
        updateGeometries();
        if (viewport()->size() == before) {
            break;
        }
    }
}

void ListViewWidget::updateGeometries() {
    if (inUpdateGeometries_) {
        return;
    }
    inUpdateGeometries_ = true;
    QTableWidget::updateGeometries();  // sets the margins for the header, none at the bottom
    const QMargins margins = viewportMargins();
    const int rowHeight = verticalHeader()->defaultSectionSize();
    const int height = viewport()->height() + margins.bottom();
    const int spare = rowHeight > 0 && height > 0 ? height % rowHeight : 0;
    if (spare != margins.bottom()) {
        setViewportMargins(margins.left(), margins.top(), margins.right(), spare);
    }
    StartAtWholeRow();
    inUpdateGeometries_ = false;
}

void ListViewWidget::scrollContentsBy(int dx, int dy) {
    QTableWidget::scrollContentsBy(dx, dy);
    if (dy != 0) {
        StartAtWholeRow();
    }
}

void ListViewWidget::StartAtWholeRow() {
    // The hidden row header, which sets where the rows start, measures the last page by its own
    // height; the shortened visible area starts at the row the scroll bar names instead.
    QHeaderView* rows = verticalHeader();
    const int offset = rows->offset();
    rows->setOffsetToSectionPosition(verticalScrollBar()->value());
    if (rows->offset() != offset) {
        viewport()->update();
    }
}

QTableWidgetItem* ListViewWidget::Cell(int row, int col) {
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
