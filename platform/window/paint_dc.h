#pragma once

#include "platform/draw/dc.h"

class CWnd;

// The context of a WM_PAINT handler: draws on the window's client area (client coordinates)
// during its paint. Outside a paint of that window it has no target and only measures.
class CPaintDC : public CDC {
  public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

    CWnd* m_pWnd;
};
