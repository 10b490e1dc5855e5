#pragma once

// Standard cursor ids.
inline constexpr int IDC_ARROW = 32512;
inline constexpr int IDC_WAIT = 32514;

// A standard cursor by id; the window layer's backend turns it into its own cursor.
struct HCURSOR {
    int id = IDC_ARROW;
};
HCURSOR LoadStandardCursor(int id);

// Shows the hourglass over the whole application while it lives.
class CWaitCursor {
  public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
