#include "platform/window/qt/modal_parent.h"

#include <QApplication>
#include <QPalette>

#include "platform/window/qt/native_window.h"
#include "platform/window/win_app.h"
#include "platform/window/wnd.h"

namespace platform::window {

QWidget* ModalParentWidget() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd != nullptr) {
        return WidgetOf(app->m_pMainWnd->m_hWnd);
    }
    return nullptr;
}

void ApplyDialogColours(QPalette& palette) {
    COLORREF bk = DialogBkColor();
    COLORREF fg = DialogTextColor();
    palette.setColor(QPalette::Window, QColor(GetRValue(bk), GetGValue(bk), GetBValue(bk)));
    palette.setColor(QPalette::WindowText, QColor(GetRValue(fg), GetGValue(fg), GetBValue(fg)));
}

}  // namespace platform::window
