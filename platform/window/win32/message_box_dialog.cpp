#include "platform/window/win32/message_box_dialog.h"

#include <algorithm>

#include "platform/window/win32/message_box_layout.h"
#include "platform/window/win_app.h"

namespace platform::window {

BEGIN_MESSAGE_MAP(MessageBoxDialog, CDialog)
ON_COMMAND(IDYES, OnYes)
ON_COMMAND(IDNO, OnNo)
ON_COMMAND(kMessageBoxDetailsToggle, OnToggleDetails)
END_MESSAGE_MAP()

MessageBoxDialog::MessageBoxDialog(const std::string& text, UINT type, const std::string& details)
    : CDialog(kMessageBoxTemplateId),
      type_(type),
      template_(MessageBoxTemplate(AfxGetAppName(), text, type, details)) {}

intptr_t MessageBoxDialog::DoModal() {
    // Looked up by its identifier while the dialog is built; a later box registers its own.
    static DialogTemplate running;
    running = template_;
    RegisterDialogTemplate(running);
    return CDialog::DoModal();
}

BOOL MessageBoxDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    if (const WORD icon = MessageBoxIconId(type_)) {
        ::SendDlgItemMessageW(
            m_hWnd, kMessageBoxIcon, STM_SETICON,
            reinterpret_cast<WPARAM>(::LoadIconW(nullptr, MAKEINTRESOURCEW(icon))), 0);
    }
    const std::vector<int> answers = MessageBoxAnswers(type_);
    if (std::find(answers.begin(), answers.end(), IDCANCEL) == answers.end() &&
        answers.size() > 1) {
        ::EnableMenuItem(::GetSystemMenu(m_hWnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    }
    const size_t defaultIndex = (type_ & MB_DEFMASK) >> 8;
    const int defaultAnswer = answers[defaultIndex < answers.size() ? defaultIndex : 0];
    ::SendMessageW(m_hWnd, DM_SETDEFID, static_cast<WPARAM>(defaultAnswer), 0);
    ::SetFocus(::GetDlgItem(m_hWnd, defaultAnswer));
    ::MessageBeep(type_ & MB_ICONMASK);
    return FALSE;  // the focus is set
}

void MessageBoxDialog::OnOK() {
    const std::vector<int> answers = MessageBoxAnswers(type_);
    if (std::find(answers.begin(), answers.end(), IDOK) != answers.end()) {
        EndDialog(IDOK);
    }
}

void MessageBoxDialog::OnCancel() {
    const std::vector<int> answers = MessageBoxAnswers(type_);
    if (std::find(answers.begin(), answers.end(), IDCANCEL) != answers.end()) {
        EndDialog(IDCANCEL);
    } else if (answers.size() == 1) {
        EndDialog(answers.front());
    }
}

void MessageBoxDialog::OnToggleDetails() {
    HWND details = ::GetDlgItem(m_hWnd, kMessageBoxDetails);
    RECT area{};
    ::GetWindowRect(details, &area);
    RECT below{0, 0, 0, 7};
    ::MapDialogRect(m_hWnd, &below);
    const int shift = (area.bottom - area.top) + below.bottom;
    detailsShown_ = !detailsShown_;
    ::ShowWindow(details, detailsShown_ ? SW_SHOW : SW_HIDE);
    // The buttons under the details move up (or back down) by the section's height.
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(child, &r);
        if (child != details && r.top >= area.top) {
            ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
            const int y = r.top + (detailsShown_ ? shift : -shift);
            ::SetWindowPos(child, nullptr, r.left, y, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left,
                   window.bottom - window.top + (detailsShown_ ? shift : -shift),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetDlgItemTextW(m_hWnd, kMessageBoxDetailsToggle,
                      detailsShown_ ? L"Hide Details..." : L"Show Details...");
}

}  // namespace platform::window
