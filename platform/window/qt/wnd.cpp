#include "platform/window/wnd.h"

#include <QApplication>
#include <QWidget>
#include <vector>

#include "platform/draw/font.h"
#include "platform/draw/qt/font_data.h"
#include "platform/window/data_exchange.h"
#include "platform/window/menu.h"
#include "platform/window/qt/dialog_widget.h"
#include "platform/window/qt/native_window.h"
#include "platform/window/qt/window_factory.h"
#include "platform/window/win_app.h"

using platform::window::NativeWindow;

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

QWidget* W(HWND h) {
    return h != nullptr ? h->Widget() : nullptr;
}

}  // namespace

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd != nullptr) {
        HWND h = m_hWnd;
        h->SetOwner(nullptr);
        m_hWnd = nullptr;
        delete h->Widget();
    }
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style,
                    const CRect& rect, CWnd* parent, UINT_PTR id, void*) {
    if (m_hWnd != nullptr || className == nullptr) {
        return FALSE;
    }
    platform::window::CreateParams params;
    params.exStyle = exStyle;
    params.text = windowName != nullptr ? windowName : "";
    params.style = style;
    params.rect = rect;
    params.id = static_cast<int>(id);
    QWidget* parentWidget = parent != nullptr ? W(parent->m_hWnd) : nullptr;
    NativeWindow* window = platform::window::CreateNativeWindow(className, params, parentWidget);
    if (window == nullptr) {
        return FALSE;
    }
    if (parentWidget != nullptr) {
        window->Widget()->setFont(parentWidget->font());
    }
    Attach(window);
    platform::window::ApplyInitialState(window);
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    delete m_hWnd->Widget();  // detaches this object and the children's objects
    return TRUE;
}

BOOL CWnd::Attach(HWND hWnd) {
    if (m_hWnd != nullptr || !NativeWindow::IsLive(hWnd)) {
        return FALSE;
    }
    if (CWnd* previous = hWnd->Owner()) {
        previous->m_hWnd = nullptr;
    }
    hWnd->SetOwner(this);
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    if (h != nullptr) {
        h->SetOwner(nullptr);
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
    return NativeWindow::IsLive(hWnd) ? hWnd->Owner() : nullptr;
}

CWnd* CWnd::GetParent() const {
    return m_hWnd != nullptr ? FromHandle(m_hWnd->Parent()) : nullptr;
}

CWnd* CWnd::GetDlgItem(int id) const {
    if (m_hWnd == nullptr) {
        return nullptr;
    }
    for (QObject* child : m_hWnd->Widget()->children()) {
        NativeWindow* w = dynamic_cast<NativeWindow*>(child);
        if (w != nullptr && w->Id() == id && !w->Widget()->isWindow()) {
            return w->Owner();
        }
    }
    return nullptr;
}

int CWnd::GetDlgCtrlID() const {
    return m_hWnd != nullptr ? m_hWnd->Id() : 0;
}

BOOL CWnd::EnableWindow(BOOL enable) {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    BOOL wasDisabled = (m_hWnd->Style() & WS_DISABLED) ? TRUE : FALSE;
    DWORD style = m_hWnd->Style();
    m_hWnd->SetStyle(enable ? (style & ~WS_DISABLED) : (style | WS_DISABLED));
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    return m_hWnd != nullptr && (m_hWnd->Style() & WS_DISABLED) == 0;
}

BOOL CWnd::ShowWindow(int command) {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    BOOL wasVisible = (m_hWnd->Style() & WS_VISIBLE) ? TRUE : FALSE;
    DWORD style = m_hWnd->Style();
    switch (command) {
        case SW_HIDE:
            m_hWnd->SetStyle(style & ~WS_VISIBLE);
            break;
        case SW_MINIMIZE:
            m_hWnd->SetStyle(style | WS_VISIBLE);
            m_hWnd->Widget()->showMinimized();
            break;
        case SW_RESTORE:
            m_hWnd->SetStyle(style | WS_VISIBLE);
            m_hWnd->Widget()->showNormal();
            break;
        default:
            m_hWnd->SetStyle(style | WS_VISIBLE);
            break;
    }
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    return m_hWnd != nullptr && m_hWnd->Widget()->isVisible();
}

BOOL CWnd::IsIconic() const {
    return m_hWnd != nullptr && m_hWnd->Widget()->isMinimized();
}

CWnd* CWnd::SetFocus() {
    CWnd* previous = nullptr;
    if (QWidget* focused = QApplication::focusWidget()) {
        previous = FromHandle(platform::window::WindowOf(focused));
    }
    if (m_hWnd != nullptr) {
        m_hWnd->Widget()->setFocus(Qt::OtherFocusReason);
    }
    return previous;
}

void CWnd::GetWindowRect(CRect* rect) const {
    if (rect == nullptr) {
        return;
    }
    if (m_hWnd == nullptr) {
        rect->SetRectEmpty();
        return;
    }
    const QWidget* w = m_hWnd->Widget();
    QRect g = w->isWindow() ? w->frameGeometry() : QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
    *rect = CRect(g.left(), g.top(), g.left() + g.width(), g.top() + g.height());
}

void CWnd::GetClientRect(CRect* rect) const {
    if (rect == nullptr) {
        return;
    }
    if (m_hWnd == nullptr) {
        rect->SetRectEmpty();
        return;
    }
    *rect = m_hWnd->ClientRect();
}

void CWnd::ScreenToClient(CPoint* point) const {
    if (point == nullptr || m_hWnd == nullptr) {
        return;
    }
    QPoint p = m_hWnd->Widget()->mapFromGlobal(QPoint(point->x, point->y));
    QMargins m = m_hWnd->NonClientInsets();
    *point = CPoint(p.x() - m.left(), p.y() - m.top());
}

void CWnd::ScreenToClient(CRect* rect) const {
    if (rect == nullptr) {
        return;
    }
    CPoint topLeft(rect->left, rect->top);
    CPoint bottomRight(rect->right, rect->bottom);
    ScreenToClient(&topLeft);
    ScreenToClient(&bottomRight);
    *rect = CRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    if (m_hWnd == nullptr) {
        return;
    }
    QWidget* w = m_hWnd->Widget();
    QMargins origin;
    if (!w->isWindow()) {
        if (NativeWindow* parent = m_hWnd->Parent()) {
            origin = parent->NonClientInsets();
        }
    }
    w->setGeometry(x + origin.left(), y + origin.top(), std::max(0, width), std::max(0, height));
    if (repaint) {
        m_hWnd->Invalidate(true);
    }
}

void CWnd::MoveWindow(const CRect& rect, BOOL repaint) {
    MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), repaint);
}

void CWnd::SetWindowText(const char* text) {
    if (m_hWnd != nullptr) {
        m_hWnd->SetText(text != nullptr ? text : "");
    }
}

void CWnd::GetWindowText(std::string& text) const {
    text = m_hWnd != nullptr ? m_hWnd->Text() : std::string();
}

int CWnd::GetWindowTextLength() const {
    return m_hWnd != nullptr ? static_cast<int>(m_hWnd->Text().size()) : 0;
}

DWORD CWnd::GetStyle() const {
    return m_hWnd != nullptr ? m_hWnd->Style() : 0;
}

DWORD CWnd::GetExStyle() const {
    return m_hWnd != nullptr ? m_hWnd->ExStyle() : 0;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    DWORD style = (m_hWnd->Style() & ~remove) | add;
    if (style == m_hWnd->Style()) {
        return FALSE;
    }
    m_hWnd->SetStyle(style);
    return TRUE;
}

void CWnd::Invalidate(BOOL erase) {
    if (m_hWnd != nullptr) {
        m_hWnd->Invalidate(erase != FALSE);
    }
}

void CWnd::UpdateWindow() {
    if (m_hWnd != nullptr) {
        m_hWnd->UpdateNow();
    }
}

BOOL CWnd::RedrawWindow(const CRect*, const void* region, UINT flags) {
    if (m_hWnd == nullptr || region != nullptr) {
        return FALSE;
    }
    if (flags & RDW_INVALIDATE) {
        m_hWnd->Invalidate((flags & RDW_ERASE) != 0);
    }
    if (flags & RDW_UPDATENOW) {
        m_hWnd->UpdateNow();
    }
    return TRUE;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    if (m_hWnd == nullptr || proc != nullptr) {
        return 0;
    }
    m_hWnd->StartTimer(id, elapseMs);
    return m_hWnd->HasTimer(id) ? id : 0;
}

BOOL CWnd::KillTimer(UINT_PTR id) {
    return m_hWnd != nullptr && m_hWnd->StopTimer(id);
}

CFont* CWnd::GetFont() const {
    if (!fontObject_) {
        fontObject_ = std::make_unique<CFont>();
    }
    if (m_hWnd != nullptr) {
        platform::draw::SetQFont(*fontObject_, m_hWnd->Widget()->font());
    }
    return fontObject_.get();
}

HICON CWnd::SetIcon(HICON icon, BOOL big) {
    return m_hWnd != nullptr ? m_hWnd->SetIcon(std::move(icon), big != FALSE) : HICON{};
}

HICON CWnd::GetIcon(BOOL big) const {
    return m_hWnd != nullptr ? m_hWnd->Icon(big != FALSE) : HICON{};
}

CMenu* CWnd::GetSystemMenu(BOOL revert) {
    auto* dialog = dynamic_cast<platform::window::DialogWidget*>(m_hWnd);
    if (dialog == nullptr || !(dialog->Style() & WS_SYSMENU)) {
        return nullptr;
    }
    if (revert) {
        dialog->ResetSystemMenu();
        return nullptr;
    }
    return &dialog->SystemMenu();
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    HWND target = m_hWnd;
    QMetaObject::invokeMethod(
        target->Widget(),
        [target, message, wParam, lParam] {
            if (NativeWindow::IsLive(target)) {
                target->Dispatch(message, wParam, lParam);
            }
        },
        Qt::QueuedConnection);
    return TRUE;
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return dx.Failed() ? FALSE : TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    CurrentMessageScope scope(MSG{m_hWnd, message, wParam, lParam});
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
    // Commands nobody in the window handled go on to the application object.
    if (message == WM_COMMAND && m_hWnd != nullptr && m_hWnd->Widget()->isWindow()) {
        if (CWinApp* app = AfxGetApp()) {
            return app->DispatchThroughMap(message, wParam, lParam, result) ? TRUE : FALSE;
        }
    }
    return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_hWnd != nullptr ? m_hWnd->ClassProc(message, wParam, lParam) : 0;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}

LRESULT CWnd::Default() {
    const std::vector<MSG>& messages = CurrentMessages();
    if (messages.empty() || messages.back().hwnd != m_hWnd) {
        return 0;
    }
    MSG msg = messages.back();
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

BOOL IsWindow(HWND hWnd) {
    return NativeWindow::IsLive(hWnd) ? TRUE : FALSE;
}
