#include "platform/window/window_dc.h"

#include <QWidget>

#include "platform/draw/qt/paint_target.h"
#include "platform/window/qt/native_window.h"
#include "platform/window/wnd.h"

CWindowDC::CWindowDC(CWnd* wnd) : m_pWnd(wnd) {
    // The whole widget only while it paints and has no separate client picture.
    if (wnd != nullptr && wnd->m_hWnd != nullptr && wnd->m_hWnd->InPaint() &&
        wnd->m_hWnd->NonClientInsets().isNull()) {
        platform::draw::SetDevice(*this, wnd->m_hWnd->Widget());
    }
}

CWindowDC::~CWindowDC() {
    platform::draw::SetDevice(*this, nullptr);
}
