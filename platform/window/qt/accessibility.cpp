#include "platform/window/accessibility.h"

#include <QAccessible>
#include <QWidget>

#include "platform/window/qt/announcer.h"
#include "platform/window/qt/native_window.h"
#include "platform/window/wnd.h"

namespace platform::window {

void SetAccessibleState(CWnd& window, const std::string& words) {
    NativeWindow* native = window.GetSafeHwnd();
    if (native == nullptr || native->accessible.state == words) {
        return;
    }
    native->accessible.state = words;
    QAccessibleEvent changed(native->Widget(), QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}

void SetAccessibleValue(CWnd& window, int value, int lower, int upper) {
    NativeWindow* native = window.GetSafeHwnd();
    if (native == nullptr) {
        return;
    }
    AccessibleInfo& info = native->accessible;
    // A screen reader is told of whole percents only: a bar moved a thousandth at a time would
    // flood it with events.
    auto percent = [](int v, int lo, int hi) {
        return hi > lo ? (static_cast<qint64>(v) - lo) * 100 / (static_cast<qint64>(hi) - lo) : 0;
    };
    const bool changed = !info.hasValue || percent(info.value, info.lower, info.upper) !=
                                               percent(value, lower, upper);
    info.hasValue = true;
    info.value = value;
    info.lower = lower;
    info.upper = upper;
    if (changed) {
        QAccessibleValueChangeEvent event(native->Widget(), value);
        QAccessible::updateAccessibility(&event);
    }
}

void HideFromAccessibility(CWnd& window) {
    NativeWindow* native = window.GetSafeHwnd();
    if (native == nullptr || native->accessible.hidden) {
        return;
    }
    native->accessible.hidden = true;
    QAccessibleEvent hidden(native->Widget(), QAccessible::ObjectHide);
    QAccessible::updateAccessibility(&hidden);
}

void Announce(CWnd& window, const std::string& text) {
    NativeWindow* native = window.GetSafeHwnd();
    if (native == nullptr) {
        return;
    }
    Announcer::Of(native->Widget()->window())->Announce(QString::fromStdString(text));
}

}  // namespace platform::window
