#pragma once

#include <QObject>
#include <QString>
#include <array>

class QWidget;

namespace platform::window {

// The notifications of a top-level window. A screen reader reads a notification out when it
// shows, without moving the focus. Each announcement shows a notice of its own, so that a reader
// that asks for a notice's text late (the window answers between the blocks of a transfer) still
// gets the text that was announced with it; the last few notices are kept for such late
// questions, and only the newest is offered as the window's last child. Notices paint nothing.
class Announcer : public QObject {
  public:
    // The window's announcer, made on first use.
    static Announcer* Of(QWidget* window);
    // The window's announcer, null when nothing was announced in it yet.
    static Announcer* Find(const QWidget* window);
    // The text a notice of an announcer carries (empty for any other object).
    static QString TextOf(const QObject* notice);

    // The newest notice.
    QObject* Current() const { return notices_[newest_]; }
    // Shows text in a notice.
    void Announce(const QString& text);

  private:
    explicit Announcer(QWidget* window);

    static constexpr size_t kKeptNotices = 4;
    std::array<QObject*, kKeptNotices> notices_{};  // children of this object
    size_t newest_ = 0;
};

}  // namespace platform::window
