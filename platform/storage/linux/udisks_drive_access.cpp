#include "platform/storage/linux/udisks_drive_access.h"

#include <fcntl.h>
#include <sys/sysmacros.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <cerrno>
#include <filesystem>

#include "platform/storage/failure_cause.h"
#include "platform/storage/linux/dbus_wait.h"
#include "platform/storage/linux/mount_usage.h"
#include "platform/storage/linux/polkit_authority.h"

namespace platform::storage {

namespace {

const char* const kService = "org.freedesktop.UDisks2";
const char* const kBlock = "org.freedesktop.UDisks2.Block";
const char* const kFilesystem = "org.freedesktop.UDisks2.Filesystem";

QDBusMessage Method(const QString& path, const char* interface, const char* member) {
    return QDBusMessage::createMethodCall(QString::fromLatin1(kService), path,
                                          QString::fromLatin1(interface),
                                          QString::fromLatin1(member));
}

// The options of a call during which polkit may ask the desktop's agent for a password.
QVariantMap Interactive() {
    return {{QStringLiteral("auth.no_user_interaction"), false}};
}

StepResult ResultOf(const QDBusMessage& reply) {
    if (reply.type() == QDBusMessage::ReplyMessage) {
        return StepResult::Ok();
    }
    return StepResult::Failed(ErrnoOf(reply), CauseOf(reply));
}

// Sends a call that cannot be left behind half-done: its reply in *reply.
StepResult Call(const QDBusMessage& call, CallWait wait, int boundMs,
                QDBusMessage* reply = nullptr) {
    const CallAnswer answer = CallAndWait(call, wait, boundMs);
    if (answer.abandoned) {
        return StepResult::Failed(ECANCELED);
    }
    if (reply != nullptr) {
        *reply = answer.reply;
    }
    return ResultOf(answer.reply);
}

// udisks2's block object of a device node.
StepResult BlockObjectOfNode(const std::string& node, int boundMs, QString* object) {
    QDBusMessage call = Method(QStringLiteral("/org/freedesktop/UDisks2/Manager"),
                               "org.freedesktop.UDisks2.Manager", "ResolveDevice");
    call << QVariantMap{{QStringLiteral("path"), QString::fromStdString(node)}} << QVariantMap{};
    QDBusMessage reply;
    if (StepResult resolved = Call(call, CallWait::kBounded, boundMs, &reply); !resolved.ok()) {
        return resolved;
    }
    const auto objects = qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().value(0));
    if (objects.isEmpty()) {
        return StepResult::Failed(ENODEV, "udisks2 does not know " + node + ".");
    }
    *object = objects.first().path();
    return StepResult::Ok();
}

StepResult BlockObject(const std::string& name, int boundMs, QString* object) {
    return BlockObjectOfNode("/dev/" + name, boundMs, object);
}

// The kernel name of a block device number, from /sys/dev/block; empty when unknown.
std::string KernelName(dev_t devno) {
    std::error_code error;
    const auto target = std::filesystem::read_symlink(
        "/sys/dev/block/" + std::to_string(major(devno)) + ":" + std::to_string(minor(devno)),
        error);
    return error ? std::string() : target.filename().string();
}

// The block object of a mounted volume: by its device number, or for file systems whose
// mount table number is not a block device (btrfs) by the mount's source node.
StepResult VolumeObject(const MountEntry& mount, int boundMs, QString* object) {
    const std::string name = KernelName(mount.devno);
    if (!name.empty()) {
        return BlockObject(name, boundMs, object);
    }
    if (mount.source.rfind("/dev/", 0) == 0) {
        return BlockObjectOfNode(mount.source, boundMs, object);
    }
    return StepResult::Failed(ENODEV, "The device behind " + mount.target + " is not known.");
}

// Whether udisks2 marks the drive a system drive; unknown counts as one, so that the stricter
// of the two actions is asked.
bool HintSystem(const QString& object, int boundMs) {
    QDBusMessage call = Method(object, "org.freedesktop.DBus.Properties", "Get");
    call << QString::fromLatin1(kBlock) << QStringLiteral("HintSystem");
    QDBusMessage reply;
    return !Call(call, CallWait::kBounded, boundMs, &reply).ok() ||
           reply.arguments().value(0).value<QDBusVariant>().variant().toBool();
}

bool ReadOnlyOptions(const std::string& options) {
    return options == "ro" || options.compare(0, 3, "ro,") == 0;
}

QString OpenMode(int flags) {
    switch (flags & O_ACCMODE) {
        case O_RDWR:
            return QStringLiteral("rw");
        case O_WRONLY:
            return QStringLiteral("w");
        default:
            return QStringLiteral("r");
    }
}

QDBusMessage MountCall(const QString& object, const MountEntry& mount) {
    QVariantMap options = Interactive();
    if (ReadOnlyOptions(mount.vfsOptions)) {
        options.insert(QStringLiteral("options"), QStringLiteral("ro"));
    }
    return Method(object, kFilesystem, "Mount") << options;
}

}  // namespace

UdisksDriveAccess::UdisksDriveAccess(int answerBoundMs)
    : answerBoundMs_(answerBoundMs), leftoverOwner_(std::make_unique<QObject>()) {}

UdisksDriveAccess::~UdisksDriveAccess() = default;

void UdisksDriveAccess::WhenAnswered(const QDBusPendingCall& call,
                                     std::function<void(const QDBusMessage&)> then) {
    // The watcher belongs to leftoverOwner_ until its answer came; it is deleted right after, and
    // with it the answer (and any descriptor the answer carried).
    auto* watcher = new QDBusPendingCallWatcher(call, leftoverOwner_.get());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [then = std::move(then)](QDBusPendingCallWatcher* answered) {
                         then(answered->reply());
                         answered->deleteLater();
                     });
}

StepResult UdisksDriveAccess::MayWrite(const BlockDeviceInfo& disk) {
    QString object;
    if (StepResult known = BlockObject(disk.name, answerBoundMs_, &object); !known.ok()) {
        return known;
    }
    return PolkitAuthority::MayObtain(HintSystem(object, answerBoundMs_)
                                          ? "org.freedesktop.udisks2.open-device-system"
                                          : "org.freedesktop.udisks2.open-device",
                                      answerBoundMs_);
}

StepResult UdisksDriveAccess::CanUnmount(const MountEntry& mount) {
    const auto table = MountTable::Load("/proc/self/mountinfo");
    if (!table) {
        return StepResult::Failed(errno, "The mount table cannot be read: " + ErrnoText(errno));
    }
    if (MountUsage::IsHeld(mount, *table)) {
        return StepResult::Failed(EBUSY);
    }
    return StepResult::Ok();
}

StepResult UdisksDriveAccess::Unmount(const MountEntry& mount) {
    QString object;
    if (StepResult known = VolumeObject(mount, answerBoundMs_, &object); !known.ok()) {
        return known;
    }
    const CallAnswer answer =
        CallAndWait(Method(object, kFilesystem, "Unmount") << Interactive(), CallWait::kPrompting);
    if (!answer.abandoned) {
        // Who holds a busy volume is the caller's to tell, udisks2 names only the device.
        const StepResult unmounted = ResultOf(answer.reply);
        return unmounted.error() == EBUSY ? StepResult::Failed(EBUSY) : unmounted;
    }
    WhenAnswered(*answer.abandoned, [object, mount](const QDBusMessage& reply) {
        if (reply.type() == QDBusMessage::ReplyMessage) {
            QDBusConnection::systemBus().asyncCall(MountCall(object, mount));
        }
    });
    return StepResult::Failed(ECANCELED, "udisks2 had not unmounted " + mount.target +
                                             " yet; should it still do so, the volume is "
                                             "mounted again.");
}

StepResult UdisksDriveAccess::Remount(const MountEntry& mount) {
    QString object;
    if (StepResult known = VolumeObject(mount, answerBoundMs_, &object); !known.ok()) {
        return known.OrCause(mount.target + " could not be mounted again.");
    }
    return Call(MountCall(object, mount), CallWait::kGivingBack, answerBoundMs_)
        .OrCause(mount.target + " could not be mounted again.");
}

StepResult UdisksDriveAccess::Open(const BlockDeviceInfo& disk, int flags, UniqueFd* fd) {
    QString object;
    if (StepResult known = BlockObject(disk.name, answerBoundMs_, &object); !known.ok()) {
        return known;
    }
    QVariantMap options = Interactive();
    options.insert(QStringLiteral("flags"), flags & ~O_ACCMODE);
    const CallAnswer answer = CallAndWait(
        Method(object, kBlock, "OpenDevice") << OpenMode(flags) << options, CallWait::kPrompting);
    if (answer.abandoned) {
        WhenAnswered(*answer.abandoned, [](const QDBusMessage&) {});
        return StepResult::Failed(ECANCELED);
    }
    if (StepResult opened = ResultOf(answer.reply); !opened.ok()) {
        return opened;
    }
    const auto sent = qdbus_cast<QDBusUnixFileDescriptor>(answer.reply.arguments().value(0));
    if (!sent.isValid()) {
        return StepResult::Failed(EIO, "udisks2 sent no descriptor for /dev/" + disk.name + ".");
    }
    // The message's descriptor is closed with it; ours shares its open file (and O_DIRECT).
    *fd = UniqueFd(::fcntl(sent.fileDescriptor(), F_DUPFD_CLOEXEC, 0));
    return fd->valid() ? StepResult::Ok() : StepResult::Failed(errno);
}

StepResult UdisksDriveAccess::RereadPartitions(const BlockDeviceInfo& disk) {
    QString object;
    if (StepResult known = BlockObject(disk.name, answerBoundMs_, &object); !known.ok()) {
        return known;
    }
    return Call(Method(object, kBlock, "Rescan") << Interactive(), CallWait::kGivingBack,
                answerBoundMs_);
}

}  // namespace platform::storage
