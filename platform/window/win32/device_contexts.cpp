// The contexts of a window: its paint (BeginPaint), its client area (GetDC) and the whole window
// (GetWindowDC).
#include <map>

#include "platform/draw/gdi/paint_target.h"
#include "platform/window/client_dc.h"
#include "platform/window/paint_dc.h"
#include "platform/window/window_dc.h"
#include "platform/window/wnd.h"

namespace {

std::map<const CPaintDC*, PAINTSTRUCT>& Paints() {
    static std::map<const CPaintDC*, PAINTSTRUCT> paints;
    return paints;
}

HWND HandleOf(CWnd* wnd) {
    return wnd != nullptr ? wnd->m_hWnd : nullptr;
}

}  // namespace

CPaintDC::CPaintDC(CWnd* wnd) : m_pWnd(wnd) {
    if (HWND hwnd = HandleOf(wnd)) {
        PAINTSTRUCT& paint = Paints()[this];
        platform::draw::AttachHdc(*this, ::BeginPaint(hwnd, &paint));
    }
}

CPaintDC::~CPaintDC() {
    auto it = Paints().find(this);
    if (it != Paints().end()) {
        platform::draw::AttachHdc(*this, nullptr);
        ::EndPaint(HandleOf(m_pWnd), &it->second);
        Paints().erase(it);
    }
}

CClientDC::CClientDC(CWnd* wnd) : m_pWnd(wnd) {
    platform::draw::AttachHdc(*this, ::GetDC(HandleOf(wnd)));
}

CClientDC::~CClientDC() {
    HDC hdc = GetSafeHdc();
    platform::draw::AttachHdc(*this, nullptr);
    ::ReleaseDC(HandleOf(m_pWnd), hdc);
}

CWindowDC::CWindowDC(CWnd* wnd) : m_pWnd(wnd) {
    platform::draw::AttachHdc(*this, ::GetWindowDC(HandleOf(wnd)));
}

CWindowDC::~CWindowDC() {
    HDC hdc = GetSafeHdc();
    platform::draw::AttachHdc(*this, nullptr);
    ::ReleaseDC(HandleOf(m_pWnd), hdc);
}
