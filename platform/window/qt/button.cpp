#include "platform/window/button.h"

#include "platform/window/qt/button_widget.h"

using platform::window::ButtonWidget;

int CButton::GetCheck() const {
    auto* w = dynamic_cast<ButtonWidget*>(m_hWnd);
    return w != nullptr && w->isCheckable() && w->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CButton::SetCheck(int check) {
    if (auto* w = dynamic_cast<ButtonWidget*>(m_hWnd); w != nullptr && w->isCheckable()) {
        w->setChecked(check == BST_CHECKED);
    }
}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        if (result != nullptr) {
            *result = TRUE;
        }
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, result);
}
