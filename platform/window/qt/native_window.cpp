#include "platform/window/qt/native_window.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <unordered_set>

#include "platform/draw/dc.h"
#include "platform/draw/qt/icon_data.h"
#include "platform/draw/qt/paint_target.h"
#include "platform/draw/sys_colors.h"
#include "platform/window/draw_item_struct.h"
#include "platform/window/window_messages.h"
#include "platform/window/window_styles.h"
#include "platform/window/wnd.h"

namespace platform::window {

namespace {

std::unordered_set<const NativeWindow*>& LiveWindows() {
    static std::unordered_set<const NativeWindow*> windows;
    return windows;
}

QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Draws a one-pixel edge: top and left in topLeft, bottom and right in bottomRight. Filled
// rectangles, as they cost far less than stroked lines.
void DrawEdge(QPainter& p, const QRect& r, COLORREF topLeft, COLORREF bottomRight) {
    const QColor light = ToQColor(topLeft);
    const QColor dark = ToQColor(bottomRight);
    p.fillRect(r.left(), r.top(), r.width(), 1, light);
    p.fillRect(r.left(), r.top(), 1, r.height(), light);
    p.fillRect(r.left(), r.bottom(), r.width(), 1, dark);
    p.fillRect(r.right(), r.top(), 1, r.height(), dark);
}

}  // namespace

NativeWindow::NativeWindow(const CreateParams& params)
    : className_(params.className),
      id_(params.id),
      style_(params.style),
      exStyle_(params.exStyle),
      text_(params.text) {
    LiveWindows().insert(this);
}

NativeWindow::~NativeWindow() {
    LiveWindows().erase(this);
}

bool NativeWindow::IsLive(const NativeWindow* window) {
    return window != nullptr && LiveWindows().count(window) != 0;
}

void NativeWindow::Destroying() {
    LiveWindows().erase(this);
    timers_.clear();  // Qt ends an object's timers with it
    if (owner_ != nullptr) {
        CWnd* owner = owner_;
        owner_ = nullptr;
        owner->m_hWnd = nullptr;
        owner->PostNcDestroy();
    }
}

LRESULT NativeWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (owner_ != nullptr) {
        return owner_->WindowProc(message, wParam, lParam);
    }
    return ClassProc(message, wParam, lParam);
}

LRESULT NativeWindow::ClassProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            if (paintEvent_ != nullptr) {
                ClassPaint(paintEvent_);
            }
            return 0;
        case WM_ERASEBKGND:
            return ClassErase(ClientPaintDevice()) ? 1 : 0;
        case WM_SETTEXT:
            SetText(lParam != 0 ? reinterpret_cast<const char*>(lParam) : "");
            return TRUE;
        case WM_DRAWITEM: {
            // Reflected to the control that asked, as the framework does.
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            if (item != nullptr && IsLive(item->hwndItem) && item->hwndItem->Owner() != nullptr) {
                LRESULT result = 0;
                if (item->hwndItem->Owner()->OnChildNotify(message, wParam, lParam, &result)) {
                    return TRUE;
                }
            }
            return FALSE;
        }
        case WM_SYSCOMMAND:
            switch (static_cast<UINT>(wParam) & 0xFFF0) {
                case SC_CLOSE:
                    Dispatch(WM_CLOSE);
                    break;
                case SC_MINIMIZE:
                    Widget()->showMinimized();
                    break;
                case SC_RESTORE:
                    Widget()->showNormal();
                    break;
                default:
                    break;
            }
            return 0;
        case WM_CLOSE:
            if (Widget()->isWindow()) {
                Widget()->deleteLater();
            }
            return 0;
        default:
            return 0;
    }
}

NativeWindow* NativeWindow::Parent() const {
    QWidget* parent = Widget()->parentWidget();
    return parent != nullptr ? WindowOf(parent) : nullptr;
}

void NativeWindow::SetStyle(DWORD style) {
    DWORD old = style_;
    style_ = style;
    StyleChanged(old, exStyle_);
}

void NativeWindow::SetExStyle(DWORD exStyle) {
    DWORD old = exStyle_;
    exStyle_ = exStyle;
    StyleChanged(style_, old);
}

void NativeWindow::StyleChanged(DWORD oldStyle, DWORD oldExStyle) {
    QWidget* w = Widget();
    if ((oldStyle ^ style_) & WS_DISABLED) {
        w->setEnabled((style_ & WS_DISABLED) == 0);
    }
    if ((oldStyle ^ style_) & WS_VISIBLE) {
        w->setVisible((style_ & WS_VISIBLE) != 0);
    }
    if (oldExStyle != exStyle_) {
        Invalidate(true);
    }
}

void NativeWindow::SetText(const std::string& text) {
    text_ = text;
    Invalidate(true);
}

QMargins NativeWindow::NonClientInsets() const {
    if (Widget()->isWindow()) {
        return {};  // the window manager draws a top-level window's frame
    }
    int inset = 0;
    if (exStyle_ & WS_EX_DLGMODALFRAME) {
        inset += 2;
    }
    if (style_ & WS_BORDER) {
        inset += 1;
    }
    if (exStyle_ & WS_EX_CLIENTEDGE) {
        inset += 2;
    }
    if (exStyle_ & WS_EX_STATICEDGE) {
        inset += 1;
    }
    return {inset, inset, inset, inset};
}

CRect NativeWindow::ClientRect() const {
    QMargins m = NonClientInsets();
    int w = std::max(0, Widget()->width() - m.left() - m.right());
    int h = std::max(0, Widget()->height() - m.top() - m.bottom());
    return {0, 0, w, h};
}

void NativeWindow::Invalidate(bool erase) {
    erasePending_ = erasePending_ || erase;
    updatePending_ = true;
    Widget()->update();
}

void NativeWindow::UpdateNow() {
    QWidget* w = Widget();
    if (!updatePending_ || !w->isVisible()) {
        return;
    }
    QWindow* handle = w->window()->windowHandle();
    if (handle != nullptr && handle->isExposed()) {
        w->repaint();
        return;
    }
    // Not on screen yet (a window shown a moment ago): the paint runs now all the same, into a
    // scratch picture, and the screen gets its paint once the window is exposed.
    QImage scratch(w->size(), QImage::Format_ARGB32_Premultiplied);
    w->render(&scratch, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    updatePending_ = true;
    w->update();
}

QPaintDevice* NativeWindow::ClientPaintDevice() {
    if (paintEvent_ == nullptr) {
        return nullptr;
    }
    if (!clientImage_.isNull()) {
        return &clientImage_;
    }
    return Widget();
}

void NativeWindow::HandlePaint(QPaintEvent* event) {
    ++paintCount_;
    QPaintEvent* outer = paintEvent_;
    paintEvent_ = event;
    QMargins m = NonClientInsets();
    CRect client = ClientRect();
    if (!m.isNull() && !client.IsRectEmpty()) {
        clientImage_ = QImage(client.Width(), client.Height(), QImage::Format_ARGB32_Premultiplied);
        clientImage_.fill(Qt::transparent);
    }
    updatePending_ = false;
    if (erasePending_) {
        erasePending_ = false;
        CDC dc;
        platform::draw::SetDevice(dc, ClientPaintDevice());
        Dispatch(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&dc), 0);
    }
    Dispatch(WM_PAINT);
    if (!clientImage_.isNull()) {
        QPainter p(Widget());
        p.drawImage(m.left(), m.top(), clientImage_);
        p.end();
        clientImage_ = QImage();
    }
    PaintNonClient();
    paintEvent_ = outer;
}

void NativeWindow::PaintNonClient() {
    QMargins m = NonClientInsets();
    if (m.isNull()) {
        return;
    }
    QPainter p(Widget());
    QRect r = Widget()->rect();
    if (exStyle_ & WS_EX_DLGMODALFRAME) {
        DrawEdge(p, r, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
        r.adjust(1, 1, -1, -1);
        DrawEdge(p, r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        r.adjust(1, 1, -1, -1);
    }
    if (style_ & WS_BORDER) {
        p.setPen(Qt::black);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    if (exStyle_ & WS_EX_CLIENTEDGE) {
        DrawEdge(p, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        r.adjust(1, 1, -1, -1);
        DrawEdge(p, r, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
        r.adjust(1, 1, -1, -1);
    }
    if (exStyle_ & WS_EX_STATICEDGE) {
        DrawEdge(p, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    }
}

bool NativeWindow::HandleTimer(QTimerEvent* event) {
    for (const auto& [id, qtId] : timers_) {
        if (qtId == event->timerId()) {
            Dispatch(WM_TIMER, id, 0);
            return true;
        }
    }
    return false;
}

void NativeWindow::StartTimer(UINT_PTR id, UINT elapseMs) {
    StopTimer(id);
    int qtId = Widget()->startTimer(static_cast<int>(elapseMs));
    if (qtId != 0) {
        timers_[id] = qtId;
    }
}

bool NativeWindow::StopTimer(UINT_PTR id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) {
        return false;
    }
    Widget()->killTimer(it->second);
    timers_.erase(it);
    return true;
}

HICON NativeWindow::SetIcon(HICON icon, bool big) {
    HICON& slot = big ? bigIcon_ : smallIcon_;
    HICON old = slot;
    slot = icon;
    if (Widget()->isWindow() && big) {
        Widget()->setWindowIcon(ToQIcon(icon));
    }
    return old;
}

QWidget* WidgetOf(HWND window) {
    return window != nullptr ? window->Widget() : nullptr;
}

HWND WindowOf(QWidget* widget) {
    return dynamic_cast<NativeWindow*>(widget);
}

}  // namespace platform::window
