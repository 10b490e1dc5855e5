#include "platform/window/client_dc.h"

#include "platform/window/native_window.h"
#include "platform/window/wnd.h"

CClientDC::CClientDC(CWnd* wnd) : m_pWnd(wnd) {
    if (wnd != nullptr && wnd->m_hWnd != nullptr) {
        SetDevice(wnd->m_hWnd->ClientPaintDevice());
    }
}

CClientDC::~CClientDC() {
    SetDevice(nullptr);
}
