#include "platform/window/qt/accessible_factory.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QWidget>
#include <algorithm>

#include "platform/window/qt/announcer.h"
#include "platform/window/qt/announcer_accessible.h"
#include "platform/window/qt/button_widget.h"
#include "platform/window/qt/control_accessible.h"
#include "platform/window/qt/dialog_accessible.h"
#include "platform/window/qt/dialog_widget.h"
#include "platform/window/qt/progress_accessible.h"
#include "platform/window/qt/progress_widget.h"
#include "platform/window/qt/static_widget.h"
#include "platform/window/window_styles.h"

namespace platform::window {
namespace {

QAccessibleInterface* InterfaceOf(const QString&, QObject* object) {
    if (object != nullptr && dynamic_cast<Announcer*>(object->parent()) != nullptr) {
        return new AnnouncerAccessible(object);
    }
    auto* widget = qobject_cast<QWidget*>(object);
    NativeWindow* window = WindowOf(widget);
    if (window == nullptr) {
        return nullptr;
    }
    if (dynamic_cast<DialogWidget*>(window) != nullptr) {
        return new DialogAccessible(widget);
    }
    if (window->accessible.role == AccessibleRole::StatusIndicator) {
        return new ControlAccessible(widget, QAccessible::StatusBar);
    }
    if (auto* button = dynamic_cast<ButtonWidget*>(window);
        button != nullptr && button->Kind() == BS_GROUPBOX) {
        return new ControlAccessible(widget, QAccessible::Grouping);
    }
    if (auto* label = dynamic_cast<StaticWidget*>(window)) {
        return new ControlAccessible(
            widget, label->Kind() == SS_ICON ? QAccessible::Graphic : QAccessible::StaticText);
    }
    if (dynamic_cast<ProgressWidget*>(window) != nullptr) {
        return new ProgressAccessible(widget);
    }
    return nullptr;
}

NativeWindow* Control(QWidget* dialog, int id) {
    for (QObject* child : dialog->children()) {
        NativeWindow* window = WindowOf(qobject_cast<QWidget*>(child));
        if (window != nullptr && window->Id() == id) {
            return window;
        }
    }
    return nullptr;
}

// The static text with caption: the label of a control on screen.
StaticWidget* Label(QWidget* dialog, const std::string& caption) {
    for (QObject* child : dialog->children()) {
        auto* label = dynamic_cast<StaticWidget*>(child);
        if (label != nullptr && label->Text() == caption) {
            return label;
        }
    }
    return nullptr;
}

void ApplyItem(const AccessibleItemTemplate& item, NativeWindow* window) {
    QWidget* widget = window->Widget();
    if (item.role != window->accessible.role) {
        // An interface made while the control was built has the class's role: it goes, and the
        // next one asked for is made with the role given here.
        QAccessible::deleteAccessibleInterface(
            QAccessible::uniqueId(QAccessible::queryAccessibleInterface(widget)));
    }
    if (StaticWidget* label =
            item.label.empty() ? nullptr : Label(widget->parentWidget(), item.label)) {
        // Qt on Linux names a combo box by its label relation only, and takes it from a buddy.
        label->setBuddy(widget);
    }
    window->accessible.role = item.role;
    window->accessible.describedBy = item.describedBy;
    if (!item.name.empty()) {
        const QString name = QString::fromStdString(item.name);
        widget->setAccessibleName(name);
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            // Its list and its field are parts of it: they take its name.
            combo->view()->setAccessibleName(name);
            if (combo->lineEdit() != nullptr) {
                combo->lineEdit()->setAccessibleName(name);
            }
        }
    }
    if (!item.description.empty()) {
        widget->setAccessibleDescription(QString::fromStdString(item.description));
    }
}

void ApplyTabOrder(const std::vector<int>& order, QWidget* dialog) {
    if (order.empty()) {
        return;
    }
    QWidget* previous = nullptr;
    for (int id : order) {
        NativeWindow* window = Control(dialog, id);
        if (window == nullptr) {
            continue;
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, window->Widget());
        }
        previous = window->Widget();
    }
    // Tab stops of the template left out of the order take the focus from a click only.
    for (QObject* child : dialog->children()) {
        NativeWindow* window = WindowOf(qobject_cast<QWidget*>(child));
        if (window != nullptr && (window->Style() & WS_TABSTOP) &&
            std::find(order.begin(), order.end(), window->Id()) == order.end()) {
            window->accessible.tabSkipped = true;
            if (window->Widget()->focusPolicy() != Qt::NoFocus) {
                window->Widget()->setFocusPolicy(Qt::ClickFocus);
            }
        }
    }
}

}  // namespace

void InstallAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(InterfaceOf);
        return true;
    }();
    (void)installed;
}

void ApplyAccessibility(const DialogAccessibilityTemplate& accessibility, QWidget* dialog) {
    for (const AccessibleItemTemplate& item : accessibility.items) {
        if (NativeWindow* window = Control(dialog, item.id)) {
            ApplyItem(item, window);
        }
    }
    ApplyTabOrder(accessibility.tabOrder, dialog);
}

}  // namespace platform::window
