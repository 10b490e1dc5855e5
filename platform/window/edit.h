#pragma once

#include "platform/window/wnd.h"

// An "Edit" control: one line of text, scrolling horizontally (ES_AUTOHSCROLL).
class CEdit : public CWnd {
  public:
    CEdit() = default;
    void SetReadOnly(BOOL readOnly = TRUE);
};
