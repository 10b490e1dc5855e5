#include "platform/window/qt/dialog_accessible.h"

#include <QWidget>

#include "platform/window/qt/announcer.h"
#include "platform/window/qt/native_window.h"

namespace platform::window {

DialogAccessible::DialogAccessible(QWidget* dialog)
    : QAccessibleWidget(
          dialog, dialog->parentWidget() == nullptr ? QAccessible::Window : QAccessible::Dialog) {}

QObjectList DialogAccessible::Offered() const {
    QObjectList offered;
    for (QObject* child : widget()->children()) {
        auto* control = qobject_cast<QWidget*>(child);
        NativeWindow* window = WindowOf(control);
        if (window != nullptr && !control->isWindow() && !control->isHidden() &&
            !window->accessible.hidden) {
            offered.append(control);
        }
    }
    if (Announcer* announcer = Announcer::Find(widget())) {
        offered.append(announcer->Current());
    }
    return offered;
}

int DialogAccessible::childCount() const {
    return static_cast<int>(Offered().size());
}

QAccessibleInterface* DialogAccessible::child(int index) const {
    const QObjectList offered = Offered();
    if (index < 0 || index >= offered.size()) {
        return nullptr;
    }
    return QAccessible::queryAccessibleInterface(offered.at(index));
}

int DialogAccessible::indexOfChild(const QAccessibleInterface* child) const {
    return child != nullptr ? static_cast<int>(Offered().indexOf(child->object())) : -1;
}

QAccessibleInterface* DialogAccessible::childAt(int x, int y) const {
    for (QObject* object : Offered()) {
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(object);
        if (control != nullptr && control->rect().contains(x, y)) {
            return control;
        }
    }
    return nullptr;
}

}  // namespace platform::window
