#include "platform/draw/wait_cursor.h"

#include <QCursor>
#include <QGuiApplication>

HCURSOR LoadStandardCursor(int id) {
    return HCURSOR{id};
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
