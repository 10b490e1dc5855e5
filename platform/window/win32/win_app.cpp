#include "platform/window/win_app.h"

#include "platform/window/win32/win32_event_pump.h"
#include "platform/window/win32/window_map.h"
#include "platform/window/wnd.h"

namespace {

CWinApp* theApp = nullptr;
COLORREF dialogBk = RGB(192, 192, 192);
COLORREF dialogText = RGB(0, 0, 0);

std::string ExecutableBaseName() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length);
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) {
        name.erase(0, slash + 1);
    }
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) {
        name.erase(dot);
    }
    return platform::window::Narrow(name);
}

}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* appName) {
    nameStorage_ = appName != nullptr ? std::string(appName) : ExecutableBaseName();
    m_pszAppName = nameStorage_.c_str();
    theApp = this;
}

CWinApp::~CWinApp() {
    if (theApp == this) {
        theApp = nullptr;
    }
}

int CWinApp::Run() {
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    const int exitCode = ExitInstance();
    return exitCode != 0 ? exitCode : static_cast<int>(msg.wParam);
}

void CWinApp::SetDialogBkColor(COLORREF background, COLORREF text) {
    dialogBk = background;
    dialogText = text;
}

HICON CWinApp::LoadIcon(UINT resourceId) const {
    return LoadIconResource(resourceId);
}

CWinApp* AfxGetApp() {
    return theApp;
}

std::string AfxGetAppName() {
    if (theApp != nullptr && theApp->m_pszAppName != nullptr) {
        return theApp->m_pszAppName;
    }
    return ExecutableBaseName();
}

int AfxWinMain(int, char**) {
    platform::window::InstallWin32EventPump();
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    if (!app->InitInstance()) {
        return app->ExitInstance();
    }
    return app->Run();
}

namespace platform::window {
COLORREF DialogBkColor() {
    return dialogBk;
}
COLORREF DialogTextColor() {
    return dialogText;
}
}  // namespace platform::window
