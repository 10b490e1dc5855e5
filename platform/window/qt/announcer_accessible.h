#pragma once

#include <QAccessibleObject>

namespace platform::window {

// A notice of an Announcer, read as a notification named by the text announced with it; its
// parent is the announcer's window.
class AnnouncerAccessible : public QAccessibleObject {
  public:
    explicit AnnouncerAccessible(QObject* notice);

    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }
};

}  // namespace platform::window
