#include "platform/window/client_dc.h"

#include "platform/draw/qt/paint_target.h"
#include "platform/window/qt/native_window.h"
#include "platform/window/wnd.h"

CClientDC::CClientDC(CWnd* wnd) : m_pWnd(wnd) {
    if (wnd != nullptr && wnd->m_hWnd != nullptr) {
        platform::draw::SetDevice(*this, wnd->m_hWnd->ClientPaintDevice());
    }
}

CClientDC::~CClientDC() {
    platform::draw::SetDevice(*this, nullptr);
}
