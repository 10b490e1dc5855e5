#include "platform/window/qt/announcer_accessible.h"

#include "platform/window/qt/announcer.h"

namespace platform::window {

AnnouncerAccessible::AnnouncerAccessible(Announcer* announcer) : QAccessibleObject(announcer) {}

QAccessibleInterface* AnnouncerAccessible::parent() const {
    return QAccessible::queryAccessibleInterface(object()->parent());
}

QString AnnouncerAccessible::text(QAccessible::Text t) const {
    return t == QAccessible::Name ? static_cast<Announcer*>(object())->Text() : QString();
}

}  // namespace platform::window
