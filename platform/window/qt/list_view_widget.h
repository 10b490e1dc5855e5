#pragma once

#include <QTableWidget>

#include "platform/draw/geometry.h"
#include "platform/window/qt/native_widget.h"

namespace platform::window {

// The "SysListView32" class in report mode: a table with a header, rows without a vertical
// header, no editing. Holds the colours, extended styles, selection mark and hot item.
class ListViewWidget : public NativeWidget<QTableWidget> {
  public:
    ListViewWidget(const CreateParams& params, QWidget* parentWidget);

    QMargins NonClientInsets() const override { return {}; }

    void SetBkColour(COLORREF colour);
    void SetTextBkColour(COLORREF colour);
    void SetListExStyle(DWORD exStyle);
    // The cell (row, col), made when missing.
    QTableWidgetItem* Cell(int row, int col);
    // Lays the rows and scroll bars out now (Qt does it later), so the visible area is current.
    void LayOutNow();

    COLORREF bkColour = RGB(255, 255, 255);
    COLORREF textBkColour = RGB(255, 255, 255);
    DWORD listExStyle = 0;
    int selectionMark = -1;
    int hotItem = -1;
    std::vector<int> columnFormats;

  protected:
    // The visible area holds whole rows only: the part of a row that would not fit is left
    // blank below it, so a row is either wholly visible or not at all.
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    bool DispatchesPaint() const override { return false; }
    void ClassPaint(QPaintEvent* event) override { QTableWidget::paintEvent(event); }

  private:
    void StartAtWholeRow();

    bool inUpdateGeometries_ = false;
};

}  // namespace platform::window
