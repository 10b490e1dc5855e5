#pragma once

#include <string>

#include "platform/draw/geometry.h"
#include "platform/draw/icon.h"
#include "platform/window/cmd_target.h"
#include "platform/window/message_map.h"

class CWnd;

// The application object. Exactly one exists (usually static); AfxWinMain creates the Qt
// application, calls InitInstance and, when that returns true, runs the event loop until the
// main window is gone.
class CWinApp : public CCmdTarget {
  public:
    // appName null: the name is the executable's file name without its extension.
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }
    virtual int Run();

    // Dialog background and text colours for every dialog and message box from now on.
    void SetDialogBkColor(COLORREF background = RGB(192, 192, 192), COLORREF text = RGB(0, 0, 0));
    // The three-dimensional control look is always on.
    BOOL Enable3dControls() { return TRUE; }
    // Icon resource id; empty when there is none.
    HICON LoadIcon(UINT resourceId) const;

    void OnHelp() {}

    CWnd* m_pMainWnd = nullptr;
    const char* m_pszAppName = nullptr;

    DECLARE_MESSAGE_MAP()

  private:
    std::string nameStorage_;
};

CWinApp* AfxGetApp();
// The application's name: the app object's, else the executable's file name without its
// extension.
std::string AfxGetAppName();

// Starts the program: Qt application on argc/argv (the window services' event pump
// installed), InitInstance, Run; returns the exit code.
int AfxWinMain(int argc, char** argv);

namespace platform::window {
// Current application-wide dialog colours (SetDialogBkColor; classic grey and black before).
COLORREF DialogBkColor();
COLORREF DialogTextColor();
}  // namespace platform::window
