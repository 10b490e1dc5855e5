#include "tests/helpers/window_probe.h"

#include <gtest/gtest.h>

#include <QContextMenuEvent>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QWidget>

#include "platform/window/qt/native_window.h"

using platform::window::WidgetOf;

namespace test_helpers {

QImage GrabWindow(CWnd* wnd) {
    QWidget* w = WidgetOf(wnd->m_hWnd);
    return w != nullptr ? w->grab().toImage() : QImage();
}

bool SaveWindowPng(CWnd* wnd, const std::string& path) {
    QImage image = GrabWindow(wnd);
    return !image.isNull() && image.save(QString::fromStdString(path), "PNG");
}

int PaintCount(CWnd* wnd) {
    return wnd->m_hWnd != nullptr ? wnd->m_hWnd->PaintCount() : 0;
}

bool HasTimer(CWnd* wnd, UINT_PTR id) {
    return wnd->m_hWnd != nullptr && wnd->m_hWnd->HasTimer(id);
}

bool DeliverTimer(CWnd* wnd, UINT_PTR id) {
    if (!HasTimer(wnd, id)) {
        return false;
    }
    wnd->m_hWnd->Dispatch(WM_TIMER, id, 0);
    return true;
}

void ClickControl(CWnd* parent, int id) {
    CWnd* control = parent->GetDlgItem(id);
    QWidget* w = control != nullptr ? WidgetOf(control->m_hWnd) : nullptr;
    if (w == nullptr) {
        ADD_FAILURE() << "no control " << id;
        return;
    }
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
}

void PressKey(CWnd* wnd, int key, Qt::KeyboardModifiers modifiers) {
    QWidget* w = WidgetOf(wnd->m_hWnd);
    if (w == nullptr) {
        ADD_FAILURE() << "no window";
        return;
    }
    QWidget* focused = w->window()->focusWidget();
    QWidget* target =
        focused != nullptr && (focused == w || w->isAncestorOf(focused)) ? focused : w;
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

void RightClick(CWnd* wnd, QPoint point) {
    QWidget* w = WidgetOf(wnd->m_hWnd);
    if (w == nullptr) {
        ADD_FAILURE() << "no window";
        return;
    }
    QWidget* target = w->childAt(point);
    if (target == nullptr) {
        target = w;
    }
    QPoint local = target->mapFrom(w, point);
    QTest::mouseClick(target, Qt::RightButton, Qt::NoModifier, local);
    // Not every platform turns the click into a context-menu event; send one as the
    // platform would on release.
    if (OpenPopupMenu() == nullptr) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, local, target->mapToGlobal(local));
        QApplication::sendEvent(target, &event);
    }
}

QMenu* OpenPopupMenu() {
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

bool ChoosePopupEntry(const std::string& text) {
    QMenu* menu = OpenPopupMenu();
    if (menu == nullptr) {
        return false;
    }
    for (QAction* action : menu->actions()) {
        if (action->text() == QString::fromStdString(text) && action->isEnabled()) {
            action->trigger();
            menu->close();
            QApplication::processEvents();
            return true;
        }
    }
    return false;
}

}  // namespace test_helpers
