#pragma once

#include "platform/window/wnd.h"

// A "msctls_progress32" control: a bar over a range (0 to 100 at creation).
class CProgressCtrl : public CWnd {
  public:
    const char* ControlClass() const override { return "msctls_progress32"; }
    CProgressCtrl() = default;

    void SetRange(short lower, short upper) { SetRange32(lower, upper); }
    void SetRange32(int lower, int upper);
    // Returns the previous position.
    int SetPos(int pos);
    int GetPos() const;
};
