#include "platform/window/qt/progress_accessible.h"

#include <QProgressBar>

#include "platform/window/qt/native_window.h"

namespace platform::window {
namespace {

QProgressBar* Bar(QWidget* widget) {
    return static_cast<QProgressBar*>(widget);
}

// The text of the sibling with identifier id, without its surrounding blanks.
QString SiblingText(QWidget* widget, int id) {
    QWidget* parent = widget->parentWidget();
    if (id == 0 || parent == nullptr) {
        return {};
    }
    for (QObject* child : parent->children()) {
        NativeWindow* sibling = WindowOf(qobject_cast<QWidget*>(child));
        if (sibling != nullptr && sibling->Id() == id) {
            return QString::fromStdString(sibling->Text()).trimmed();
        }
    }
    return {};
}

}  // namespace

ProgressAccessible::ProgressAccessible(QWidget* widget)
    : QAccessibleWidget(widget, QAccessible::ProgressBar) {}

void* ProgressAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QString ProgressAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Description) {
        NativeWindow* window = WindowOf(widget());
        const QString line =
            window != nullptr ? SiblingText(widget(), window->accessible.describedBy) : QString();
        if (!line.isEmpty()) {
            return line;
        }
    }
    if (t == QAccessible::Value) {
        const qint64 lower = minimumValue().toInt();
        const qint64 span = maximumValue().toInt() - lower;
        const qint64 percent = span > 0 ? (currentValue().toInt() - lower) * 100 / span : 0;
        return QString::number(percent) + QLatin1Char('%');
    }
    return QAccessibleWidget::text(t);
}

QVariant ProgressAccessible::currentValue() const {
    NativeWindow* window = WindowOf(widget());
    return window != nullptr && window->accessible.hasValue ? window->accessible.value
                                                            : Bar(widget())->value();
}

QVariant ProgressAccessible::maximumValue() const {
    NativeWindow* window = WindowOf(widget());
    return window != nullptr && window->accessible.hasValue ? window->accessible.upper
                                                            : Bar(widget())->maximum();
}

QVariant ProgressAccessible::minimumValue() const {
    NativeWindow* window = WindowOf(widget());
    return window != nullptr && window->accessible.hasValue ? window->accessible.lower
                                                            : Bar(widget())->minimum();
}

}  // namespace platform::window
