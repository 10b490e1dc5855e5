#include "platform/draw/wait_cursor.h"

namespace {
HCURSOR previousCursor = nullptr;
int waitDepth = 0;
}  // namespace

HCURSOR LoadStandardCursor(int id) {
    return ::LoadCursorW(nullptr, MAKEINTRESOURCEW(id));
}

CWaitCursor::CWaitCursor() {
    HCURSOR previous = ::SetCursor(LoadStandardCursor(32514));
    if (waitDepth++ == 0) {
        previousCursor = previous;
    }
}

CWaitCursor::~CWaitCursor() {
    if (--waitDepth == 0) {
        ::SetCursor(previousCursor);
    }
}
