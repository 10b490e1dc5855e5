#include "platform/storage/linux/dbus_wait.h"

#include <QDBusConnection>
#include <QDBusPendingReply>
#include <cerrno>
#include <climits>
#include <thread>

#include "platform/storage/device_wait.h"

namespace platform::storage {

namespace {

// The bus timeout that means none.
constexpr int kNoBound = INT_MAX;

}  // namespace

CallAnswer CallAndWait(const QDBusMessage& call, CallWait wait, int boundMs) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        return {call.createErrorReply(QDBusError::Disconnected, bus.lastError().message()), {}};
    }
    // The bus's own timeout bounds a call; the bus connection answers on a thread of its own,
    // so this thread only looks whether the answer has come.
    const int timeoutMs = wait == CallWait::kPrompting ? kNoBound : boundMs;
    QDBusPendingCall pending = bus.asyncCall(call, timeoutMs);
    const bool stoppable = wait != CallWait::kGivingBack;
    while (!pending.isFinished()) {
        std::this_thread::sleep_for(kDeviceWaitSlice);
        WhileDeviceWaits();
        if (stoppable && StopRequested() && !pending.isFinished()) {
            return {call.createErrorReply(QDBusError::Other, QStringLiteral("stopped")), pending};
        }
    }
    return {pending.reply(), {}};
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
            return "udisks2 did not answer in time (" + message + ").";
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
