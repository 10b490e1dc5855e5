#include "platform/window/dialog.h"

#include "platform/window/win32/dialog_memory_template.h"
#include "platform/window/win32/window_map.h"
#include "platform/window/win_app.h"

namespace platform::window {

// The system runs the modal loop; nothing of ours is needed for it.
class ModalLoop {};

// The dialog manager gives every control with a border a sunken client edge in its place (the
// "three-dimensional look"); with the edges the template gives besides, that makes frames wider
// than the template says (the message list's client area 4 pixels narrower than its column).
// Each control gets back the border and edges of its template.
void KeepTemplateFrames(HWND dialog, const DialogTemplate& templ) {
    size_t index = 0;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr && index < templ.items.size();
         child = ::GetWindow(child, GW_HWNDNEXT), ++index) {
        const DialogItemTemplate& item = templ.items[index];
        const DWORD style = static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(::GetWindowLongW(child, GWL_EXSTYLE));
        const DWORD wantedStyle = (style & ~WS_BORDER) | (item.style & WS_BORDER);
        const DWORD wantedExStyle =
            (exStyle & ~WS_EX_CLIENTEDGE) | (item.exStyle & WS_EX_CLIENTEDGE);
        if (wantedStyle == style && wantedExStyle == exStyle) {
            continue;
        }
        ::SetWindowLongW(child, GWL_STYLE, static_cast<LONG>(wantedStyle));
        ::SetWindowLongW(child, GWL_EXSTYLE, static_cast<LONG>(wantedExStyle));
        ::SetWindowPos(child, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

struct DialogAccess {
    // Attaches the dialog to its new window and each control to an object of its own, then
    // initialises it; the result decides whether the system sets the focus.
    static BOOL AttachAndInitialise(CDialog& dialog, HWND hwnd, WPARAM focus) {
        if (const DialogTemplate* templ = FindDialogTemplate(dialog.templateId_)) {
            KeepTemplateFrames(hwnd, *templ);
        }
        AttachWindow(dialog, hwnd);
        // DDX_Control later puts the dialog's own members in place of these objects.
        for (HWND child = ::GetWindow(hwnd, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            dialog.controlObjects_.push_back(std::make_unique<CWnd>());
            dialog.controlObjects_.back()->Attach(child);
        }
        return static_cast<BOOL>(dialog.WindowProc(WM_INITDIALOG, focus, 0));
    }
};

}  // namespace platform::window

namespace {

// Only WM_INITDIALOG reaches the dialog procedure of ours: by then the window is attached, and
// every later message goes through the object's WindowProc first.
INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG) {
        return FALSE;
    }
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    return platform::window::DialogAccess::AttachAndInitialise(*dialog, hwnd, wParam);
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
ON_COMMAND(IDOK, OnOKCommand)
ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() {
    DestroyWindow();
}

intptr_t CDialog::DoModal() {
    using namespace platform::window;
    const DialogTemplate* templ = FindDialogTemplate(templateId_);
    if (templ == nullptr || !CheckDialogTemplate(*templ).empty() || m_hWnd != nullptr) {
        return -1;
    }
    // The owner: the parent given, else the main window, else the window the user works in.
    HWND owner = parent_ != nullptr ? parent_->m_hWnd : nullptr;
    if (owner == nullptr && AfxGetApp() != nullptr && AfxGetApp()->m_pMainWnd != nullptr &&
        AfxGetApp()->m_pMainWnd != this) {
        owner = AfxGetApp()->m_pMainWnd->m_hWnd;
    }
    if (owner == nullptr) {
        owner = ::GetActiveWindow();
    }
    const std::vector<WORD> memory = BuildMemoryTemplate(*templ);
    controlObjects_.clear();
    result_ = IDCANCEL;
    ended_ = false;
    const INT_PTR result = ::DialogBoxIndirectParamW(
        ::GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(memory.data()), owner,
        &DialogProc, reinterpret_cast<LPARAM>(this));
    controlObjects_.clear();
    return result;
}

void CDialog::FocusFirstTabStop() {}

void CDialog::EndDialog(int result) {
    result_ = result;
    ended_ = true;
    if (m_hWnd != nullptr) {
        ::EndDialog(m_hWnd, result);
    }
}

BOOL CDialog::OnInitDialog() {
    if (!UpdateData(FALSE)) {
        EndDialog(-1);
    }
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) {
        EndDialog(IDOK);
    }
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CWnd::DefWindowProc(message, wParam, lParam);
}
