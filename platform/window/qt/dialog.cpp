#include "platform/window/dialog.h"

#include <QEventLoop>
#include <QWidget>
#include <QtGlobal>

#include "platform/window/qt/dialog_builder.h"
#include "platform/window/qt/native_window.h"
#include "platform/window/win_app.h"

namespace platform::window {
class ModalLoop : public QEventLoop {};
}  // namespace platform::window

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
ON_COMMAND(IDOK, OnOKCommand)
ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() {
    // The window goes before the control objects that may still be attached to it.
    DestroyWindow();
}

intptr_t CDialog::DoModal() {
    using namespace platform::window;
    const DialogTemplate* templ = FindDialogTemplate(templateId_);
    if (templ == nullptr) {
        qWarning("dialog template %u is missing", templateId_);
        return -1;
    }
    std::string problems = CheckDialogTemplate(*templ);
    if (!problems.empty()) {
        qWarning("dialog template %u: %s", templateId_, problems.c_str());
        return -1;
    }
    if (m_hWnd != nullptr) {
        return -1;
    }
    CWnd* owner = parent_;
    if (owner == nullptr && AfxGetApp() != nullptr && AfxGetApp()->m_pMainWnd != this) {
        owner = AfxGetApp()->m_pMainWnd;
    }
    QWidget* ownerWidget = owner != nullptr ? WidgetOf(owner->m_hWnd) : nullptr;
    controlObjects_.clear();
    DialogWidget* window = BuildDialog(*templ, ownerWidget, controlObjects_);
    if (window == nullptr) {
        return -1;
    }
    Attach(window);
    result_ = IDCANCEL;
    ended_ = false;
    BOOL focusDefault = static_cast<BOOL>(SendMessage(WM_INITDIALOG, 0, 0));
    if (!ended_ && m_hWnd != nullptr) {
        window->setWindowModality(Qt::ApplicationModal);
        m_hWnd->SetStyle(m_hWnd->Style() | WS_VISIBLE);
        window->activateWindow();
        if (focusDefault) {
            FocusFirstTabStop();
        }
        loop_ = std::make_unique<ModalLoop>();
        if (!ended_) {
            loop_->exec();
        }
        loop_.reset();
    }
    DestroyWindow();
    return result_;
}

void CDialog::FocusFirstTabStop() {
    for (QObject* child : platform::window::WidgetOf(m_hWnd)->children()) {
        auto* control = dynamic_cast<platform::window::NativeWindow*>(child);
        if (control != nullptr && (control->Style() & WS_TABSTOP) &&
            control->Widget()->isVisible() && control->Widget()->isEnabled()) {
            control->Widget()->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void CDialog::EndDialog(int result) {
    result_ = result;
    ended_ = true;
    if (m_hWnd != nullptr) {
        m_hWnd->SetStyle(m_hWnd->Style() & ~WS_VISIBLE);
    }
    if (loop_) {
        loop_->exit(0);
    }
}

BOOL CDialog::OnInitDialog() {
    if (!UpdateData(FALSE)) {
        qWarning("dialog template %u does not fit the dialog's controls", templateId_);
        EndDialog(-1);
    }
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) {
        EndDialog(IDOK);
    }
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CWnd::DefWindowProc(message, wParam, lParam);
}
