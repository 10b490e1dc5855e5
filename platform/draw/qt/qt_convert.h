#pragma once

#include <QColor>
#include <QCursor>
#include <QRect>
#include <QRgb>

#include "platform/draw/geometry.h"
#include "platform/draw/wait_cursor.h"

// Conversions between the drawing services' values and Qt's.
namespace platform::draw {

inline QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}
inline COLORREF FromQRgb(QRgb c) {
    return RGB(qRed(c), qGreen(c), qBlue(c));
}
inline COLORREF FromQColor(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}
inline QRect ToQRect(const CRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}
inline QCursor ToQCursor(HCURSOR cursor) {
    return QCursor(cursor.id == IDC_WAIT ? Qt::WaitCursor : Qt::ArrowCursor);
}

}  // namespace platform::draw
