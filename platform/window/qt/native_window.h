#pragma once

#include <QImage>
#include <QMargins>
#include <QSize>
#include <map>
#include <memory>
#include <string>

#include "platform/draw/geometry.h"
#include "platform/draw/icon.h"
#include "platform/window/dialog_template.h"
#include "platform/window/win_types.h"

class CWnd;
class QPaintDevice;
class QPaintEvent;
class QTimerEvent;
class QWidget;

namespace platform::window {

// What a window is created with; rect is in the parent's client coordinates (pixels).
struct CreateParams {
    DWORD exStyle = 0;
    std::string text;
    DWORD style = 0;
    CRect rect;
    NativeWindow* parent = nullptr;
    int id = 0;
    unsigned resourceId = 0;
    std::string className;  // set by CreateNativeWindow
};

// What assistive technology is told of a window beyond its Qt widget (accessible_factory.h).
struct AccessibleInfo {
    AccessibleRole role = AccessibleRole::FromClass;
    bool hidden = false;      // not offered at all
    bool tabSkipped = false;  // Tab passes it by: it takes the focus from a click only
    int describedBy = 0;      // the sibling whose text is the description (0: none)
    std::string state;        // a status indicator's state in words
    bool hasValue = false;    // value, lower and upper were set
    int value = 0;
    int lower = 0;
    int upper = 100;
};

// The window behind an HWND: one Qt widget with the identifier, styles, timers, icons and
// paint state of a window. Each window class (dialog, button, static, ...) is a subclass that
// also derives from its Qt widget. Messages go to the attached CWnd, or to the class's own
// processing when no object is attached.
class NativeWindow {
  public:
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;
    virtual ~NativeWindow();

    virtual QWidget* Widget() = 0;
    const QWidget* Widget() const { return const_cast<NativeWindow*>(this)->Widget(); }

    // The message to the attached object's WindowProc, else ClassProc.
    LRESULT Dispatch(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // The window class's processing (DefWindowProc).
    virtual LRESULT ClassProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The window class it was created with ("Button", "SysListView32", a registered name).
    const std::string& ClassName() const { return className_; }
    CWnd* Owner() const { return owner_; }
    void SetOwner(CWnd* owner) { owner_ = owner; }
    NativeWindow* Parent() const;
    int Id() const { return id_; }
    DWORD Style() const { return style_; }
    DWORD ExStyle() const { return exStyle_; }
    // Sets the style bits and lets the class adapt to the change.
    void SetStyle(DWORD style);
    void SetExStyle(DWORD exStyle);

    virtual std::string Text() const { return text_; }
    virtual void SetText(const std::string& text);

    // The size the window takes when created with requested (a class may size itself).
    virtual QSize CreationSize(QSize requested) const { return requested; }

    // Pixels of border and edges on each side of the client area.
    virtual QMargins NonClientInsets() const;
    CRect ClientRect() const;

    // Marks the client area for painting; erase also sends WM_ERASEBKGND first.
    void Invalidate(bool erase);
    bool UpdatePending() const { return updatePending_; }
    // Paints now when visible and something is marked.
    void UpdateNow();
    int PaintCount() const { return paintCount_; }
    // During this window's paint: where the client area is painted (client coordinates).
    QPaintDevice* ClientPaintDevice();
    bool InPaint() const { return paintEvent_ != nullptr; }

    void StartTimer(UINT_PTR id, UINT elapseMs);
    bool StopTimer(UINT_PTR id);
    bool HasTimer(UINT_PTR id) const { return timers_.count(id) != 0; }

    HICON Icon(bool big) const { return big ? bigIcon_ : smallIcon_; }
    HICON SetIcon(HICON icon, bool big);

    // Whether window is alive (created and not yet destroyed).
    static bool IsLive(const NativeWindow* window);

    AccessibleInfo accessible;

  protected:
    explicit NativeWindow(const CreateParams& params);

    // Called by the widget subclass from its own overrides.
    void HandlePaint(QPaintEvent* event);
    bool HandleTimer(QTimerEvent* event);
    // Detaches the object and ends the timers; the subclass's destructor calls it first.
    void Destroying();

    // Whether WM_PAINT goes through the message map (false for Qt's own scrolling controls,
    // which paint in a viewport).
    virtual bool DispatchesPaint() const { return true; }
    // The class's painting of the client area: the default of WM_PAINT.
    virtual void ClassPaint(QPaintEvent* event) = 0;
    // The class's background erase: the default of WM_ERASEBKGND; returns whether it erased.
    virtual bool ClassErase(QPaintDevice*) { return false; }
    // Adapts the widget to changed style bits.
    virtual void StyleChanged(DWORD oldStyle, DWORD oldExStyle);
    // The current paint event (null outside a paint).
    QPaintEvent* CurrentPaintEvent() const { return paintEvent_; }

    void PaintNonClient();

    std::string className_;
    int id_;
    DWORD style_;
    DWORD exStyle_;
    std::string text_;

  private:
    CWnd* owner_ = nullptr;
    std::map<UINT_PTR, int> timers_;  // our id -> Qt timer id
    HICON bigIcon_;
    HICON smallIcon_;
    bool erasePending_ = true;
    bool updatePending_ = true;
    int paintCount_ = 0;
    QPaintEvent* paintEvent_ = nullptr;
    QImage clientImage_;  // the client area of a window with a frame, during its paint
};

// The window's widget, for tests and the layer's own code; null for null.
QWidget* WidgetOf(HWND window);
// The window of a widget created by this layer; null for other widgets.
HWND WindowOf(QWidget* widget);

}  // namespace platform::window
