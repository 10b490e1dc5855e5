#pragma once

#include "platform/draw/dc.h"

class CWnd;

// A context on a whole window, frame included; like CClientDC it draws only while the window
// paints, and measures at any time.
class CWindowDC : public CDC {
  public:
    explicit CWindowDC(CWnd* wnd);
    ~CWindowDC() override;

    CWnd* m_pWnd;
};
