// A stand-in for udisks2 and polkit on a test's own bus (DBUS_SYSTEM_BUS_ADDRESS), for the
// waits of the udisks2 route: it answers as told, late or never, and writes the name of every
// call it gets to a log, one line each.
//
// usage: udisks_stand_in MODE DESCRIPTOR_FILE LOG_FILE
//   MODE "silent": udisks2 answers nothing; polkit says yes.
//   MODE "late":   Unmount and OpenDevice are answered after kLateMs, the rest at once.
// OpenDevice answers with a descriptor of DESCRIPTOR_FILE, opened read-only.
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QFile>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int kLateMs = 1500;
const char* const kBlockPath = "/org/freedesktop/UDisks2/block_devices/stand_in";

class StandIn : public QDBusVirtualObject {
  public:
    StandIn(QString mode, QString descriptorFile, QString logFile)
        : mode_(std::move(mode)),
          descriptorFile_(std::move(descriptorFile)),
          log_(std::move(logFile)) {
        log_.open(QIODevice::Append | QIODevice::Text);
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        log_.write(message.member().toUtf8() + "\n");
        log_.flush();
        if (message.member() == QLatin1String("CheckAuthorization")) {
            connection.send(PolkitYes(message));
            return true;
        }
        if (mode_ == QLatin1String("silent")) {
            return true;  // never answered
        }
        const QDBusMessage reply = ReplyTo(message);
        const bool late = message.member() == QLatin1String("Unmount") ||
                          message.member() == QLatin1String("OpenDevice");
        if (late) {
            QDBusConnection bus = connection;
            QTimer::singleShot(kLateMs, [bus, reply]() mutable { bus.send(reply); });
        } else {
            connection.send(reply);
        }
        return true;
    }

  private:
    static QDBusMessage PolkitYes(const QDBusMessage& message) {
        QDBusArgument result;
        result.beginStructure();
        result << true << false << QMap<QString, QString>();
        result.endStructure();
        return message.createReply(QVariant::fromValue(result));
    }

    QDBusMessage ReplyTo(const QDBusMessage& message) const {
        const QString member = message.member();
        if (member == QLatin1String("ResolveDevice")) {
            return message.createReply(QVariant::fromValue(
                QList<QDBusObjectPath>{QDBusObjectPath(QString::fromLatin1(kBlockPath))}));
        }
        if (member == QLatin1String("Get")) {
            return message.createReply(QVariant::fromValue(QDBusVariant(false)));
        }
        if (member == QLatin1String("OpenDevice")) {
            const int fd = ::open(descriptorFile_.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
            QDBusUnixFileDescriptor sent(fd);
            ::close(fd);
            return message.createReply(QVariant::fromValue(sent));
        }
        if (member == QLatin1String("Mount")) {
            return message.createReply(QStringLiteral("/media/stand-in"));
        }
        return message.createReply();  // Unmount, Rescan
    }

    QString mode_;
    QString descriptorFile_;
    QFile log_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s silent|late DESCRIPTOR_FILE LOG_FILE\n", argv[0]);
        return 2;
    }
    QCoreApplication application(argc, argv);
    StandIn standIn(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                    QString::fromLocal8Bit(argv[3]));
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.registerVirtualObject(QStringLiteral("/org/freedesktop"), &standIn,
                                   QDBusConnection::SubPath) ||
        !bus.registerService(QStringLiteral("org.freedesktop.UDisks2")) ||
        !bus.registerService(QStringLiteral("org.freedesktop.PolicyKit1"))) {
        std::fprintf(stderr, "cannot register on the bus: %s\n",
                     qPrintable(bus.lastError().message()));
        return 1;
    }
    return QCoreApplication::exec();
}
