#include "platform/window/qt/announcer.h"

#include <QAccessible>
#include <QVariant>
#include <QWidget>

namespace platform::window {
namespace {

constexpr char kObjectName[] = "sectorsmith_announcer";
constexpr char kTextProperty[] = "announcedText";

}  // namespace

Announcer::Announcer(QWidget* window) : QObject(window) {
    setObjectName(QLatin1String(kObjectName));
    for (QObject*& notice : notices_) {
        notice = new QObject(this);  // owned by this object
    }
}

Announcer* Announcer::Find(const QWidget* window) {
    return window->findChild<Announcer*>(QLatin1String(kObjectName), Qt::FindDirectChildrenOnly);
}

Announcer* Announcer::Of(QWidget* window) {
    if (Announcer* existing = Find(window)) {
        return existing;
    }
    return new Announcer(window);  // owned by window
}

QString Announcer::TextOf(const QObject* notice) {
    return notice->property(kTextProperty).toString();
}

void Announcer::Announce(const QString& text) {
    QObject* previous = Current();
    newest_ = (newest_ + 1) % notices_.size();
    QObject* notice = Current();
    notice->setProperty(kTextProperty, text);
    if (!TextOf(previous).isEmpty()) {
        QAccessibleEvent gone(previous, QAccessible::ObjectHide);
        QAccessible::updateAccessibility(&gone);
    }
    QAccessibleEvent created(notice, QAccessible::ObjectCreated);
    QAccessible::updateAccessibility(&created);
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

}  // namespace platform::window
