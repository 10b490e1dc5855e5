#include "platform/storage/linux/dbus_wait.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <cerrno>

namespace platform::storage {

QDBusMessage CallAndWait(const QDBusMessage& call, int timeoutMs) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        return call.createErrorReply(QDBusError::Disconnected, bus.lastError().message());
    }
    QDBusPendingCall pending = bus.asyncCall(call, timeoutMs);
    if (QCoreApplication::instance() == nullptr) {
        pending.waitForFinished();
        return pending.reply();
    }
    // The watcher signals finished() even for a reply that arrived before it was made.
    QDBusPendingCallWatcher watcher(pending);
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!pending.isFinished()) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return pending.reply();
}

std::string CauseOf(const QDBusMessage& reply) {
    const QString name = reply.errorName();
    const std::string message = reply.errorMessage().toStdString();
    const QString udisks = QStringLiteral("org.freedesktop.UDisks2.Error.");
    if (name == udisks + "NotAuthorizedDismissed" || name == udisks + "Cancelled") {
        return "The password prompt was dismissed, so nothing was written.";
    }
    if (name == udisks + "NotAuthorizedCanObtain") {
        return "No password could be asked: no polkit authentication agent runs in this "
               "session. Start one (the README's section on rights names some) and try again.";
    }
    if (ErrnoOf(reply) == EACCES) {
        return "polkit refused: " + message;
    }
    switch (ErrnoOf(reply)) {
        case ENOTCONN:
            return "udisks2 cannot be reached (" + message + "): is it installed and running?";
        case ETIMEDOUT:
            return "udisks2 did not answer in time.";
        default:
            return "udisks2: " + message;
    }
}

int ErrnoOf(const QDBusMessage& reply) {
    const QString name = reply.errorName();
    const QString udisks = QStringLiteral("org.freedesktop.UDisks2.Error.");
    if (name == udisks + "NotAuthorizedDismissed" || name == udisks + "Cancelled") {
        return ECANCELED;
    }
    if (name.startsWith(udisks + "NotAuthorized") ||
        name == QLatin1String("org.freedesktop.PolicyKit1.Error.NotAuthorized") ||
        name == QLatin1String("org.freedesktop.DBus.Error.AccessDenied")) {
        return EACCES;
    }
    if (name == udisks + "DeviceBusy" ||
        reply.errorMessage().contains(QLatin1String("busy"), Qt::CaseInsensitive)) {
        return EBUSY;
    }
    switch (QDBusError(reply).type()) {
        case QDBusError::ServiceUnknown:
        case QDBusError::Disconnected:
        case QDBusError::NoServer:
            return ENOTCONN;
        case QDBusError::NoReply:
        case QDBusError::Timeout:
        case QDBusError::TimedOut:
            return ETIMEDOUT;
        default:
            return EIO;
    }
}

}  // namespace platform::storage
