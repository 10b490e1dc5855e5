#pragma once

// The standard cursor ids (IDC_ARROW, IDC_WAIT) and HCURSOR: the system's own on Windows, ours
// elsewhere.
#include "system_defs/gdi_constants.h"

// A standard cursor by its id, as the window classes want it.
HCURSOR LoadStandardCursor(int id);

// Shows the hourglass over the whole application while it lives.
class CWaitCursor {
  public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
