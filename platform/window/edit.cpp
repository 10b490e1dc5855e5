#include "platform/window/edit.h"

#include "platform/window/edit_window.h"

void CEdit::SetReadOnly(BOOL readOnly) {
    if (auto* w = dynamic_cast<platform::window::EditWindow*>(m_hWnd)) {
        w->setReadOnly(readOnly != FALSE);
    }
}
