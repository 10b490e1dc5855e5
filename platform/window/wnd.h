#pragma once

#include <memory>
#include <string>

#include "platform/draw/geometry.h"
#include "platform/draw/icon.h"
#include "platform/window/cmd_target.h"
#include "platform/window/message_map.h"
#include "platform/window/window_messages.h"
#include "platform/window/window_styles.h"

class CDC;
class CFont;
class CMenu;
class CDataExchange;

namespace platform::window {
class NativeWindow;  // the Qt backend's window
}

// A window object. The window itself (a Qt widget with its identifier, styles, timers and icons)
// is its HWND, m_hWnd; the object is attached to it for its lifetime or until detached. Every
// event of the widget becomes a message that goes through WindowProc: the class's message map
// first (derived class, then its bases), then DefWindowProc, the window class's own processing.
class CWnd : public CCmdTarget {
  public:
    CWnd();
    ~CWnd() override;

    // Creates a child (WS_CHILD) or top-level window of a class registered with
    // AfxRegisterWndClass or of a control class ("Button", "Static", "Edit", "ComboBox",
    // "SysListView32", "msctls_progress32"); rect is in the parent's client coordinates.
    // False when the class is unknown or the window exists already.
    virtual BOOL CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style,
                          const CRect& rect, CWnd* parent, UINT_PTR id, void* param = nullptr);
    // Destroys the window and its children; their objects stay, detached. False when none.
    virtual BOOL DestroyWindow();

    // Attaching. SubclassWindow attaches this object to an existing window in place of its
    // current object, then calls PreSubclassWindow. False when this object has a window or
    // hWnd is no live window.
    BOOL Attach(HWND hWnd);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    virtual void PreSubclassWindow() {}
    // The window class a control object stands for (null: any); DDX_Control attaches it only
    // to a window of that class.
    virtual const char* ControlClass() const { return nullptr; }

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The object attached to hWnd (null for none).
    static CWnd* FromHandle(HWND hWnd);

    CWnd* GetParent() const;
    // The child with control identifier id (null when there is none).
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const;

    BOOL EnableWindow(BOOL enable = TRUE);  // returns whether it was disabled before
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int command);  // returns whether it was visible before
    // Visible: WS_VISIBLE set on the window and every parent.
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    CWnd* SetFocus();

    // Window rectangle in screen coordinates, frame included.
    void GetWindowRect(CRect* rect) const;
    // Client rectangle: (0, 0) to the size inside the window's border and edges.
    void GetClientRect(CRect* rect) const;
    void ScreenToClient(CPoint* point) const;
    void ScreenToClient(CRect* rect) const;
    // Moves the window; for a child, rect is in the parent's client coordinates.
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(const CRect& rect, BOOL repaint = TRUE);

    void SetWindowText(const char* text);
    void SetWindowText(const std::string& text) { SetWindowText(text.c_str()); }
    void GetWindowText(std::string& text) const;
    int GetWindowTextLength() const;

    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    // Changes style bits; the window class adapts (BS_OWNERDRAW makes a button owner-drawn,
    // WS_VISIBLE and WS_DISABLED show, hide, enable). Without SWP_ flags nothing is redrawn.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);

    // Marks the whole client area for painting (with background erase when erase is set).
    void Invalidate(BOOL erase = TRUE);
    // Paints now if anything is marked.
    void UpdateWindow();
    // RDW_INVALIDATE marks, RDW_ERASE adds the erase, RDW_UPDATENOW paints synchronously
    // before returning. The region is not supported and must be null.
    BOOL RedrawWindow(const CRect* rect = nullptr, const void* region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);

    // Starts (or restarts) timer id; each period a WM_TIMER with wParam id arrives through the
    // event loop. Returns id, 0 when there is no window or proc is given.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc = nullptr);
    BOOL KillTimer(UINT_PTR id);

    // The window's font (its own, else the dialog's); the object belongs to this CWnd.
    CFont* GetFont() const;

    // The window's big (title bar, task switcher) or small icon; SetIcon returns the old one.
    HICON SetIcon(HICON icon, BOOL big);
    HICON GetIcon(BOOL big) const;

    // The window's own system menu (top-level windows with WS_SYSMENU), opened with Alt+Space
    // or a right click on the window's background; its commands arrive as WM_SYSCOMMAND.
    // revert restores the default entries and returns null.
    CMenu* GetSystemMenu(BOOL revert);

    // Sends message through WindowProc and returns its result.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Queues message for the event loop. False when there is no window.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Data exchange: members to controls (save false) or back (save true).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange*) {}

    // Handlers with the default processing; derived classes may call them.
    void OnPaint() { Default(); }
    BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
    void OnTimer(UINT_PTR) { Default(); }
    void OnSysCommand(UINT, LPARAM) { Default(); }

    HWND m_hWnd = nullptr;

    // Entry of the dispatcher: the map, then DefWindowProc; the message is current for
    // Default() meanwhile.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  protected:
    // Runs the class's message map; false when no entry handled the message.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The window class's own processing of a message.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // A message the parent reflected back to its control (WM_DRAWITEM); false when not handled.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Default processing of the message being handled.
    LRESULT Default();
    // Called after the window was destroyed (the object is detached by then).
    virtual void PostNcDestroy() {}

    DECLARE_MESSAGE_MAP()

  private:
    friend class platform::window::NativeWindow;
    mutable std::unique_ptr<CFont> fontObject_;
};
