#include "platform/window/qt/dialog_widget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>

#include "platform/window/qt/button_widget.h"
#include "platform/window/win_app.h"
#include "platform/window/window_messages.h"
#include "platform/window/window_styles.h"

namespace platform::window {

DialogWidget::DialogWidget(const CreateParams& params, QWidget* ownerWidget)
    : NativeWidget<QWidget>(params, ownerWidget) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if ((style_ & WS_CAPTION) == WS_CAPTION) {
        flags |= Qt::WindowTitleHint;
    }
    if (style_ & WS_SYSMENU) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (style_ & WS_MINIMIZEBOX) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    setWindowFlags(flags);
    QPalette pal = palette();
    COLORREF bk = DialogBkColor();
    COLORREF fg = DialogTextColor();
    pal.setColor(QPalette::Window, QColor(GetRValue(bk), GetGValue(bk), GetBValue(bk)));
    pal.setColor(QPalette::WindowText, QColor(GetRValue(fg), GetGValue(fg), GetBValue(fg)));
    setPalette(pal);
    setAutoFillBackground(true);
    setWindowTitle(QString::fromUtf8(text_));
    ResetSystemMenu();
    // Alt+Space reaches the system menu whichever control has the focus.
    auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);  // a child
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, this,
                     [this] { OpenSystemMenu(mapToGlobal(QPoint(0, 0))); });
}

void DialogWidget::SetText(const std::string& text) {
    text_ = text;
    setWindowTitle(QString::fromUtf8(text));
}

void DialogWidget::ResetSystemMenu() {
    systemMenu_.Clear();
    systemMenu_.AppendMenu(MF_STRING, SC_RESTORE, "&Restore");
    if (style_ & WS_MINIMIZEBOX) {
        systemMenu_.AppendMenu(MF_STRING, SC_MINIMIZE, "Mi&nimize");
    }
    systemMenu_.AppendMenu(MF_SEPARATOR);
    systemMenu_.AppendMenu(MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
}

void DialogWidget::OpenSystemMenu(const QPoint& globalPos) {
    if (!(style_ & WS_SYSMENU)) {
        return;
    }
    auto* menu = new QMenu(this);  // deletes itself when closed
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const CMenu::Entry& entry : systemMenu_.Entries()) {
        if (entry.flags & MF_SEPARATOR) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromUtf8(entry.text));
        bool enabled = !(entry.flags & (MF_GRAYED | MF_DISABLED));
        if (entry.id == SC_RESTORE) {
            enabled = enabled && isMinimized();
        }
        action->setEnabled(enabled);
        UINT_PTR id = entry.id;
        QObject::connect(action, &QAction::triggered, this, [this, id] {
            // Posted, as the system does, so the menu is gone before the command runs.
            QMetaObject::invokeMethod(
                this, [this, id] { Dispatch(WM_SYSCOMMAND, id, 0); }, Qt::QueuedConnection);
        });
    }
    menu->popup(globalPos);
}

int DialogWidget::DefaultCommandId() const {
    for (QObject* child : children()) {
        auto* button = dynamic_cast<ButtonWidget*>(child);
        if (button != nullptr && button->Kind() == BS_DEFPUSHBUTTON) {
            return button->Id();
        }
    }
    return IDOK;
}

void DialogWidget::SendCommand(int id, NativeWindow* from) {
    Dispatch(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED),
             reinterpret_cast<LPARAM>(from));
}

void DialogWidget::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    if (key == Qt::Key_Space && (event->modifiers() & Qt::AltModifier)) {
        OpenSystemMenu(mapToGlobal(QPoint(0, 0)));
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        auto* focused = dynamic_cast<ButtonWidget*>(focusWidget());
        if (focused != nullptr && focused->IsPushButton() && isAncestorOf(focused)) {
            SendCommand(focused->Id(), focused);
            return;
        }
        int id = DefaultCommandId();
        NativeWindow* from = nullptr;
        for (QObject* child : children()) {
            NativeWindow* w = dynamic_cast<NativeWindow*>(child);
            if (w != nullptr && w->Id() == id) {
                from = w;
                break;
            }
        }
        SendCommand(id, from);
        return;
    }
    if (key == Qt::Key_Escape) {
        SendCommand(IDCANCEL, nullptr);
        return;
    }
    QWidget::keyPressEvent(event);
}

void DialogWidget::closeEvent(QCloseEvent* event) {
    event->ignore();
    Dispatch(WM_SYSCOMMAND, SC_CLOSE, 0);
}

void DialogWidget::contextMenuEvent(QContextMenuEvent* event) {
    OpenSystemMenu(event->globalPos());
}

LRESULT DialogWidget::ClassProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        SendCommand(IDCANCEL, nullptr);
        return 0;
    }
    if (message == WM_ERASEBKGND) {
        return 1;  // the background is filled in the dialog colour before every paint
    }
    return NativeWindow::ClassProc(message, wParam, lParam);
}

}  // namespace platform::window
