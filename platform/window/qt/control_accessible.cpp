#include "platform/window/qt/control_accessible.h"

#include <QRegularExpression>

#include "platform/window/qt/native_window.h"
#include "platform/window/qt/static_widget.h"

namespace platform::window {

QString ReadableCaption(const QString& caption) {
    static const QRegularExpression lineBreak(QStringLiteral("\\s*\n\\s*"));
    return StripMnemonic(caption).replace(lineBreak, QStringLiteral(" ")).trimmed();
}

ControlAccessible::ControlAccessible(QWidget* widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role) {}

QString ControlAccessible::text(QAccessible::Text t) const {
    NativeWindow* window = WindowOf(widget());
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty() && window != nullptr) {
        return ReadableCaption(QString::fromStdString(window->Text()));
    }
    if (t == QAccessible::Description && window != nullptr && !window->accessible.state.empty()) {
        return QString::fromStdString(window->accessible.state);
    }
    return QAccessibleWidget::text(t);
}

}  // namespace platform::window
