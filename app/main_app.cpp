#include "app/main_app.h"

#include "resources/program_resources.h"
#include "ui/main_dialog.h"

BEGIN_MESSAGE_MAP(MainApp, CWinApp)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

BOOL MainApp::InitInstance() {
    RegisterProgramResources();
    SetDialogBkColor(RGB(218, 215, 180), RGB(0, 0, 0));
    Enable3dControls();
    MainDialog dialog(storage);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
