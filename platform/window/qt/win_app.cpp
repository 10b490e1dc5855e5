#include "platform/window/win_app.h"

#include <QApplication>
#include <filesystem>
#include <system_error>

#include "platform/window/qt/qt_event_pump.h"
#include "platform/window/wnd.h"

namespace {

CWinApp* theApp = nullptr;
COLORREF dialogBk = RGB(192, 192, 192);
COLORREF dialogText = RGB(0, 0, 0);

std::string ExecutableBaseName() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.stem().string();
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
    int code = QApplication::exec();
    int exitCode = ExitInstance();
    return exitCode != 0 ? exitCode : code;
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

int AfxWinMain(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromStdString(AfxGetAppName()));
    platform::window::InstallQtEventPump();
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
