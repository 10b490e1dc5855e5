#include "platform/window/qt/announcer_accessible.h"

#include "platform/window/qt/announcer.h"

namespace platform::window {

AnnouncerAccessible::AnnouncerAccessible(QObject* notice) : QAccessibleObject(notice) {}

QAccessibleInterface* AnnouncerAccessible::parent() const {
    return QAccessible::queryAccessibleInterface(object()->parent()->parent());
}

QString AnnouncerAccessible::text(QAccessible::Text t) const {
    return t == QAccessible::Name ? Announcer::TextOf(object()) : QString();
}

}  // namespace platform::window
