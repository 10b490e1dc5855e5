#include "platform/window/data_exchange.h"

#include <QString>
#include <QtGlobal>

#include "platform/window/qt/native_window.h"
#include "platform/window/wnd.h"

CWnd* CDataExchange::PrepareCtrl(int id) {
    CWnd* control = m_pDlgWnd != nullptr ? m_pDlgWnd->GetDlgItem(id) : nullptr;
    if (control == nullptr) {
        qWarning("data exchange: the dialog has no control %d", id);
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
    const std::string& actual = current->m_hWnd->ClassName();
    if (expected != nullptr &&
        QString::fromStdString(actual).compare(QLatin1String(expected), Qt::CaseInsensitive) != 0) {
        qWarning("data exchange: control %d is a %s, not a %s", id, actual.c_str(), expected);
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
