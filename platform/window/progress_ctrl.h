#pragma once

#include "platform/window/wnd.h"

// A "msctls_progress32" control: a bar over a range (0 to 100 at creation).
class CProgressCtrl : public CWnd {
  public:
    CProgressCtrl() = default;

    void SetRange(short lower, short upper) { SetRange32(lower, upper); }
    void SetRange32(int lower, int upper);
    void GetRange(int& lower, int& upper) const;
    // Returns the previous position.
    int SetPos(int pos);
    int GetPos() const;
};
