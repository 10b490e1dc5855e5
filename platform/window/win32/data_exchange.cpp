#include "platform/window/data_exchange.h"

#include "platform/window/win32/window_map.h"
#include "platform/window/wnd.h"

CWnd* CDataExchange::PrepareCtrl(int id) {
    CWnd* control = m_pDlgWnd != nullptr ? m_pDlgWnd->GetDlgItem(id) : nullptr;
    if (control == nullptr) {
        Fail();
    }
    return control;
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd != nullptr) {
        return;
    }
    CWnd* current = dx->PrepareCtrl(id);
    if (current == nullptr) {
        return;
    }
    const char* expected = control.ControlClass();
    const std::string actual = platform::window::ClassNameOf(current->m_hWnd);
    if (expected != nullptr && ::lstrcmpiA(actual.c_str(), expected) != 0) {
        dx->Fail();
        return;
    }
    if (!control.SubclassWindow(current->m_hWnd)) {
        dx->Fail();
    }
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
    CWnd* control = dx->PrepareCtrl(id);
    if (control == nullptr) {
        return;
    }
    if (dx->m_bSaveAndValidate) {
        control->GetWindowText(value);
    } else {
        control->SetWindowText(value);
    }
}
