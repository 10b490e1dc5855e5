#pragma once

#include <QCursor>

// Standard cursor ids.
inline constexpr int IDC_ARROW = 32512;
inline constexpr int IDC_WAIT = 32514;

// A standard cursor by id; a window layer turns it into a QCursor with ToQCursor.
struct HCURSOR {
    int id = IDC_ARROW;
};
HCURSOR LoadStandardCursor(int id);
QCursor ToQCursor(HCURSOR cursor);

// Shows the hourglass over the whole application while it lives.
class CWaitCursor {
  public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
