#pragma once

#include "platform/draw/dc.h"

class CWnd;

// A context on a window's client area. While that window paints it draws there; at any other
// time it has no target (Qt widgets paint only in their paint event) and serves for measuring
// text and as reference for compatible memory contexts.
class CClientDC : public CDC {
  public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

    CWnd* m_pWnd;
};
