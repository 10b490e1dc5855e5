#include "platform/window/wnd.h"

#include <vector>

#include "platform/draw/font.h"
#include "platform/draw/gdi/font_data.h"
#include "platform/window/data_exchange.h"
#include "platform/window/menu.h"
#include "platform/window/win32/item_tips.h"
#include "platform/window/win32/window_map.h"
#include "platform/window/win_app.h"

using platform::window::AttachWindow;
using platform::window::Widen;

namespace {

// The messages being handled, innermost last: Default() processes the innermost one.
std::vector<MSG>& CurrentMessages() {
    static std::vector<MSG> messages;
    return messages;
}

struct CurrentMessageScope {
    explicit CurrentMessageScope(const MSG& msg) { CurrentMessages().push_back(msg); }
    ~CurrentMessageScope() { CurrentMessages().pop_back(); }
    CurrentMessageScope(const CurrentMessageScope&) = delete;
    CurrentMessageScope& operator=(const CurrentMessageScope&) = delete;
};

MSG MakeMsg(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    return msg;
}

// The application's dialog colours for dialogs and their static texts and buttons.
HBRUSH DialogBrush() {
    static COLORREF colour = CLR_INVALID;
    static HBRUSH brush = nullptr;
    if (colour != platform::window::DialogBkColor()) {
        if (brush != nullptr) {
            ::DeleteObject(brush);
        }
        colour = platform::window::DialogBkColor();
        brush = ::CreateSolidBrush(colour);
    }
    return brush;
}

}  // namespace

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd != nullptr) {
        HWND h = m_hWnd;
        platform::window::DetachWindow(h);
        ::DestroyWindow(h);
    }
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style,
                    const CRect& rect, CWnd* parent, UINT_PTR id, void* param) {
    if (m_hWnd != nullptr || className == nullptr) {
        return FALSE;
    }
    const std::wstring cls = Widen(className);
    const std::wstring name = Widen(windowName != nullptr ? windowName : "");
    HWND hwnd =
        ::CreateWindowExW(exStyle, cls.c_str(), name.c_str(), style, rect.left, rect.top,
                          rect.Width(), rect.Height(), parent != nullptr ? parent->m_hWnd : nullptr,
                          reinterpret_cast<HMENU>(id), ::GetModuleHandleW(nullptr), param);
    if (hwnd == nullptr) {
        return FALSE;
    }
    if (parent != nullptr) {
        ::SendMessageW(hwnd, WM_SETFONT, ::SendMessageW(parent->m_hWnd, WM_GETFONT, 0, 0), FALSE);
    }
    AttachWindow(*this, hwnd);
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::Attach(HWND hWnd) {
    if (m_hWnd != nullptr || !::IsWindow(hWnd)) {
        return FALSE;
    }
    AttachWindow(*this, hWnd);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    if (h != nullptr) {
        platform::window::DetachWindow(h);
        m_hWnd = nullptr;
    }
    return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!Attach(hWnd)) {
        return FALSE;
    }
    PreSubclassWindow();
    return TRUE;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    return hWnd != nullptr ? platform::window::AttachedObject(hWnd) : nullptr;
}

CWnd* CWnd::GetParent() const {
    return m_hWnd != nullptr ? FromHandle(::GetParent(m_hWnd)) : nullptr;
}

CWnd* CWnd::GetDlgItem(int id) const {
    return m_hWnd != nullptr ? FromHandle(::GetDlgItem(m_hWnd, id)) : nullptr;
}

int CWnd::GetDlgCtrlID() const {
    return m_hWnd != nullptr ? ::GetDlgCtrlID(m_hWnd) : 0;
}

BOOL CWnd::EnableWindow(BOOL enable) {
    return m_hWnd != nullptr ? ::EnableWindow(m_hWnd, enable) : FALSE;
}

BOOL CWnd::IsWindowEnabled() const {
    return m_hWnd != nullptr && ::IsWindowEnabled(m_hWnd);
}

BOOL CWnd::ShowWindow(int command) {
    return m_hWnd != nullptr ? ::ShowWindow(m_hWnd, command) : FALSE;
}

BOOL CWnd::IsWindowVisible() const {
    return m_hWnd != nullptr && ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::IsIconic() const {
    return m_hWnd != nullptr && ::IsIconic(m_hWnd);
}

CWnd* CWnd::SetFocus() {
    return m_hWnd != nullptr ? FromHandle(::SetFocus(m_hWnd)) : nullptr;
}

void CWnd::GetWindowRect(CRect* rect) const {
    if (rect == nullptr) {
        return;
    }
    RECT r{};
    if (m_hWnd != nullptr) {
        ::GetWindowRect(m_hWnd, &r);
    }
    *rect = r;
}

void CWnd::GetClientRect(CRect* rect) const {
    if (rect == nullptr) {
        return;
    }
    RECT r{};
    if (m_hWnd != nullptr) {
        ::GetClientRect(m_hWnd, &r);
    }
    *rect = r;
}

void CWnd::ScreenToClient(CPoint* point) const {
    if (point == nullptr || m_hWnd == nullptr) {
        return;
    }
    POINT p{point->x, point->y};
    ::ScreenToClient(m_hWnd, &p);
    *point = CPoint(p.x, p.y);
}

void CWnd::ScreenToClient(CRect* rect) const {
    if (rect == nullptr || m_hWnd == nullptr) {
        return;
    }
    CPoint topLeft(rect->left, rect->top);
    CPoint bottomRight(rect->right, rect->bottom);
    ScreenToClient(&topLeft);
    ScreenToClient(&bottomRight);
    *rect = CRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    if (m_hWnd != nullptr) {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
}

void CWnd::MoveWindow(const CRect& rect, BOOL repaint) {
    MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), repaint);
}

void CWnd::SetWindowText(const char* text) {
    if (m_hWnd != nullptr) {
        ::SetWindowTextW(m_hWnd, Widen(text != nullptr ? text : "").c_str());
    }
}

void CWnd::GetWindowText(std::string& text) const {
    text.clear();
    if (m_hWnd == nullptr) {
        return;
    }
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, wide.data(), length + 1);
    wide.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    text = platform::window::Narrow(wide);
}

int CWnd::GetWindowTextLength() const {
    std::string text;
    GetWindowText(text);
    return static_cast<int>(text.size());
}

DWORD CWnd::GetStyle() const {
    return m_hWnd != nullptr ? static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)) : 0;
}

DWORD CWnd::GetExStyle() const {
    return m_hWnd != nullptr ? static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)) : 0;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) {
        return FALSE;
    }
    ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
    if (flags != 0) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    }
    return TRUE;
}

void CWnd::Invalidate(BOOL erase) {
    if (m_hWnd != nullptr) {
        ::InvalidateRect(m_hWnd, nullptr, erase);
    }
}

void CWnd::UpdateWindow() {
    if (m_hWnd != nullptr) {
        ::UpdateWindow(m_hWnd);
    }
}

BOOL CWnd::RedrawWindow(const CRect* rect, const void* region, UINT flags) {
    if (m_hWnd == nullptr || region != nullptr) {
        return FALSE;
    }
    RECT r{};
    if (rect != nullptr) {
        r = *rect;
    }
    return ::RedrawWindow(m_hWnd, rect != nullptr ? &r : nullptr, nullptr, flags);
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    if (m_hWnd == nullptr || proc != nullptr) {
        return 0;
    }
    return ::SetTimer(m_hWnd, id, elapseMs, nullptr);
}

BOOL CWnd::KillTimer(UINT_PTR id) {
    return m_hWnd != nullptr && ::KillTimer(m_hWnd, id);
}

CFont* CWnd::GetFont() const {
    if (!fontObject_) {
        fontObject_ = std::make_unique<CFont>();
    }
    if (m_hWnd != nullptr) {
        auto font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
        platform::draw::SetFontHandle(*fontObject_, font, false);
    }
    return fontObject_.get();
}

HICON CWnd::SetIcon(HICON icon, BOOL big) {
    if (m_hWnd == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<HICON>(::SendMessageW(m_hWnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                                                  reinterpret_cast<LPARAM>(icon)));
}

HICON CWnd::GetIcon(BOOL big) const {
    if (m_hWnd == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<HICON>(
        ::SendMessageW(m_hWnd, WM_GETICON, big ? ICON_BIG : ICON_SMALL, 0));
}

namespace platform::window {
// The framework's object for a system menu (win32/menu.cpp).
CMenu* MenuObject(HMENU menu);
}  // namespace platform::window

CMenu* CWnd::GetSystemMenu(BOOL revert) {
    if (m_hWnd == nullptr) {
        return nullptr;
    }
    HMENU menu = ::GetSystemMenu(m_hWnd, revert);
    return revert || menu == nullptr ? nullptr : platform::window::MenuObject(menu);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hWnd == nullptr) {
        return WindowProc(message, wParam, lParam);
    }
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_hWnd != nullptr && ::PostMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return dx.Failed() ? FALSE : TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    CurrentMessageScope scope(MakeMsg(m_hWnd, message, wParam, lParam));
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) {
        result = DefWindowProc(message, wParam, lParam);
    }
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (DispatchThroughMap(message, wParam, lParam, result)) {
        return TRUE;
    }
    switch (message) {
        case WM_DRAWITEM: {
            // Reflected to the owner-drawn control itself.
            auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            CWnd* control = FromHandle(item->hwndItem);
            return control != nullptr && control->OnChildNotify(message, wParam, lParam, result);
        }
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            auto hdc = reinterpret_cast<HDC>(wParam);
            ::SetBkColor(hdc, platform::window::DialogBkColor());
            ::SetTextColor(hdc, platform::window::DialogTextColor());
            *result = reinterpret_cast<LRESULT>(DialogBrush());
            return TRUE;
        }
        case WM_NOTIFY:
            // The tooltip of the control's items asks for its text.
            if (platform::window::AnswerTipRequest(m_hWnd, lParam)) {
                *result = 0;
                return TRUE;
            }
            return FALSE;
        case WM_COMMAND:
            // Commands nobody in the window handled go on to the application object.
            if (m_hWnd != nullptr && (GetStyle() & WS_CHILD) == 0) {
                if (CWinApp* app = AfxGetApp()) {
                    return app->DispatchThroughMap(message, wParam, lParam, result) ? TRUE : FALSE;
                }
            }
            return FALSE;
        default:
            return FALSE;
    }
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_hWnd != nullptr ? platform::window::CallOriginalProc(m_hWnd, message, wParam, lParam)
                             : 0;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}

LRESULT CWnd::Default() {
    const std::vector<MSG>& messages = CurrentMessages();
    if (messages.empty() || messages.back().hwnd != m_hWnd) {
        return 0;
    }
    const MSG msg = messages.back();
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}
