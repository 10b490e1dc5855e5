#include "platform/storage/linux/polkit_authority.h"

#include <unistd.h>

#include <QDBusArgument>
#include <QDBusMessage>
#include <QMap>
#include <cerrno>
#include <fstream>
#include <sstream>

#include "platform/storage/linux/dbus_wait.h"

namespace platform::storage {

namespace {

// The (sa{sv}) subject "this process".
QDBusArgument ThisProcess() {
    QDBusArgument subject;
    subject.beginStructure();
    subject << QStringLiteral("unix-process")
            << QVariantMap{{QStringLiteral("pid"), QVariant::fromValue(quint32(::getpid()))},
                           {QStringLiteral("start-time"),
                            QVariant::fromValue(quint64(PolkitAuthority::ProcessStartTime()))}};
    subject.endStructure();
    return subject;
}

QDBusArgument NoDetails() {
    QDBusArgument details;
    details.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QString>());
    details.endMap();
    return details;
}

}  // namespace

StepResult PolkitAuthority::MayObtain(const std::string& actionId, int boundMs) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.PolicyKit1"),
                                       QStringLiteral("/org/freedesktop/PolicyKit1/Authority"),
                                       QStringLiteral("org.freedesktop.PolicyKit1.Authority"),
                                       QStringLiteral("CheckAuthorization"));
    constexpr quint32 kNoInteraction = 0;
    call << QVariant::fromValue(ThisProcess()) << QString::fromStdString(actionId)
         << QVariant::fromValue(NoDetails()) << kNoInteraction << QString();
    const CallAnswer answer = CallAndWait(call, CallWait::kBounded, boundMs);
    if (answer.abandoned) {
        return StepResult::Failed(ECANCELED);
    }
    const QDBusMessage& reply = answer.reply;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return StepResult::Failed(ErrnoOf(reply), CauseOf(reply));
    }
    const QDBusArgument result = reply.arguments().first().value<QDBusArgument>();
    bool authorized = false;
    bool challenge = false;
    QMap<QString, QString> details;
    result.beginStructure();
    result >> authorized >> challenge >> details;
    result.endStructure();
    return authorized || challenge ? StepResult::Ok() : StepResult::Failed(EACCES);
}

uint64_t PolkitAuthority::ProcessStartTime() {
    std::ifstream in("/proc/self/stat");
    std::string line;
    std::getline(in, line);
    // The command name may hold blanks and parentheses: the fields follow the last ')'.
    const size_t close = line.rfind(')');
    if (close == std::string::npos) {
        return 0;
    }
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    // Field 3 (state) comes first; start time is field 22.
    for (int index = 3; index < 22 && (fields >> field); ++index) {
    }
    uint64_t startTime = 0;
    fields >> startTime;
    return startTime;
}

}  // namespace platform::storage
