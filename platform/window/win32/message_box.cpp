#include "platform/window/message_box.h"

#include "platform/window/win32/window_map.h"
#include "platform/window/win_app.h"
#include "platform/window/wnd.h"

namespace {

HWND ActiveOwner() {
    CWinApp* app = AfxGetApp();
    HWND active = ::GetActiveWindow();
    if (active == nullptr && app != nullptr && app->m_pMainWnd != nullptr) {
        active = app->m_pMainWnd->m_hWnd;
    }
    return active;
}

int DefaultButton(UINT type) {
    const UINT buttons = type & MB_TYPEMASK;
    const int position = static_cast<int>((type & MB_DEFMASK) >> 8);
    const int yesNo[] = {IDYES, IDNO, IDCANCEL};
    const int okCancel[] = {IDOK, IDCANCEL, IDCANCEL};
    if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) {
        return yesNo[position < 3 ? position : 0];
    }
    return okCancel[position < 3 ? position : 0];
}

}  // namespace

int AfxMessageBox(const char* text, UINT type, UINT /*helpId*/) {
    const std::wstring body = platform::window::Widen(text != nullptr ? text : "");
    const std::wstring title = platform::window::Widen(AfxGetAppName());
    return ::MessageBoxW(ActiveOwner(), body.c_str(), title.c_str(), type);
}

int AfxMessageBox(const char* text, UINT type, UINT helpId, const std::string& details) {
    if (details.empty()) {
        return AfxMessageBox(text, type, helpId);
    }
    // The system's task dialog shows the details in a section under the text.
    const std::wstring body = platform::window::Widen(text != nullptr ? text : "");
    const std::wstring title = platform::window::Widen(AfxGetAppName());
    const std::wstring more = platform::window::Widen(details);
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = ActiveOwner();
    config.dwFlags = TDF_EXPANDED_BY_DEFAULT | TDF_ALLOW_DIALOG_CANCELLATION;
    const UINT buttons = type & MB_TYPEMASK;
    config.dwCommonButtons = buttons == MB_YESNO ? TDCBF_YES_BUTTON | TDCBF_NO_BUTTON
                             : buttons == MB_YESNOCANCEL
                                 ? TDCBF_YES_BUTTON | TDCBF_NO_BUTTON | TDCBF_CANCEL_BUTTON
                             : buttons == MB_OKCANCEL ? TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON
                                                      : TDCBF_OK_BUTTON;
    const UINT icon = type & MB_ICONMASK;
    config.pszMainIcon = icon == MB_ICONEXCLAMATION ? TD_WARNING_ICON
                         : icon == MB_ICONHAND      ? TD_ERROR_ICON
                                                    : TD_INFORMATION_ICON;
    config.pszWindowTitle = title.c_str();
    config.pszContent = body.c_str();
    config.pszExpandedInformation = more.c_str();
    config.nDefaultButton = DefaultButton(type);
    int answer = 0;
    if (::TaskDialogIndirect(&config, &answer, nullptr, nullptr) != S_OK) {
        return AfxMessageBox(text, type, helpId);
    }
    return answer;
}
