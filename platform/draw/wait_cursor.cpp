#include "platform/draw/wait_cursor.h"

#include <QGuiApplication>

HCURSOR LoadStandardCursor(int id) {
    return HCURSOR{id};
}

QCursor ToQCursor(HCURSOR cursor) {
    return QCursor(cursor.id == IDC_WAIT ? Qt::WaitCursor : Qt::ArrowCursor);
}

CWaitCursor::CWaitCursor() {
    if (QGuiApplication::instance() != nullptr) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
}

CWaitCursor::~CWaitCursor() {
    if (QGuiApplication::instance() != nullptr) {
        QGuiApplication::restoreOverrideCursor();
    }
}
