#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace platform::window {

// The notification of a top-level window: the last text announced in it. A screen reader reads
// a notification out when it shows, without moving the focus. It is the window's last child in
// the accessibility tree and paints nothing.
class Announcer : public QObject {
  public:
    // The window's announcer, made on first use.
    static Announcer* Of(QWidget* window);
    // The window's announcer, null when nothing was announced in it yet.
    static Announcer* Find(const QWidget* window);

    const QString& Text() const { return text_; }
    // Takes text as the notification and shows it (again).
    void Announce(const QString& text);

  private:
    explicit Announcer(QWidget* window);

    QString text_;
};

}  // namespace platform::window
