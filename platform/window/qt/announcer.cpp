#include "platform/window/qt/announcer.h"

#include <QAccessible>
#include <QWidget>

namespace platform::window {
namespace {

constexpr char kObjectName[] = "sectorsmith_announcer";

}  // namespace

Announcer::Announcer(QWidget* window) : QObject(window) {
    setObjectName(QLatin1String(kObjectName));
}

Announcer* Announcer::Find(const QWidget* window) {
    return window->findChild<Announcer*>(QLatin1String(kObjectName), Qt::FindDirectChildrenOnly);
}

Announcer* Announcer::Of(QWidget* window) {
    if (Announcer* existing = Find(window)) {
        return existing;
    }
    auto* announcer = new Announcer(window);  // owned by window
    QAccessibleEvent created(announcer, QAccessible::ObjectCreated);
    QAccessible::updateAccessibility(&created);
    return announcer;
}

void Announcer::Announce(const QString& text) {
    text_ = text;
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

}  // namespace platform::window
