#include "platform/window/paint_dc.h"

#include "platform/draw/qt/paint_target.h"
#include "platform/window/qt/native_window.h"
#include "platform/window/wnd.h"

CPaintDC::CPaintDC(CWnd* wnd) : m_pWnd(wnd) {
    if (wnd != nullptr && wnd->m_hWnd != nullptr) {
        platform::draw::SetDevice(*this, wnd->m_hWnd->ClientPaintDevice());
    }
}

CPaintDC::~CPaintDC() {
    platform::draw::SetDevice(*this, nullptr);
}
