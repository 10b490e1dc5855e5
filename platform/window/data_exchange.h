#pragma once

#include <string>

#include "platform/window/win_types.h"

class CWnd;

// One data exchange between a dialog's members and its controls.
class CDataExchange {
  public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    // The control with id; null (and the exchange marked failed) when the dialog has none.
    CWnd* PrepareCtrl(int id);
    void Fail() { failed_ = true; }
    bool Failed() const { return failed_; }

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;

  private:
    bool failed_ = false;
};

// Attaches (subclasses) control id to control on the first exchange; later exchanges find
// it attached and do nothing. A control of another window class than control stands for is
// not attached, and the exchange fails.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// Members to control: sets the control's text to value; back: reads the text into value.
void DDX_Text(CDataExchange* dx, int id, std::string& value);
