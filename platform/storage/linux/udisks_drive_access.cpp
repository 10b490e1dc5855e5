#include "platform/storage/linux/udisks_drive_access.h"

#include <fcntl.h>
#include <sys/sysmacros.h>

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
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

constexpr int kQueryTimeoutMs = 25000;
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

// Sends a call; false with errno set when it fails.
bool Succeeds(const QDBusMessage& call, int timeoutMs, QDBusMessage* reply = nullptr) {
    const QDBusMessage answer = CallAndWait(call, timeoutMs);
    if (answer.type() != QDBusMessage::ReplyMessage) {
        SetFailureCause(CauseOf(answer));
        errno = ErrnoOf(answer);
        return false;
    }
    if (reply != nullptr) {
        *reply = answer;
    }
    return true;
}

// udisks2's block object of a device node; empty with errno set when there is none.
QString BlockObjectOfNode(const std::string& node) {
    QDBusMessage call = Method(QStringLiteral("/org/freedesktop/UDisks2/Manager"),
                               "org.freedesktop.UDisks2.Manager", "ResolveDevice");
    call << QVariantMap{{QStringLiteral("path"), QString::fromStdString(node)}} << QVariantMap{};
    QDBusMessage reply;
    if (!Succeeds(call, kQueryTimeoutMs, &reply)) {
        return {};
    }
    const auto objects = qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().value(0));
    if (objects.isEmpty()) {
        errno = ENODEV;
        return {};
    }
    return objects.first().path();
}

QString BlockObject(const std::string& name) {
    return BlockObjectOfNode("/dev/" + name);
}

// The kernel name of a block device number, from /sys/dev/block; empty when unknown.
std::string KernelName(dev_t devno) {
    std::error_code error;
    const auto target = std::filesystem::read_symlink(
        "/sys/dev/block/" + std::to_string(major(devno)) + ":" + std::to_string(minor(devno)),
        error);
    if (error) {
        errno = ENODEV;
        return {};
    }
    return target.filename().string();
}

// The block object of a mounted volume: by its device number, or for file systems whose
// mount table number is not a block device (btrfs) by the mount's source node.
QString VolumeObject(const MountEntry& mount) {
    const std::string name = KernelName(mount.devno);
    if (!name.empty()) {
        return BlockObject(name);
    }
    return mount.source.rfind("/dev/", 0) == 0 ? BlockObjectOfNode(mount.source) : QString();
}

bool HintSystem(const QString& object) {
    QDBusMessage call = Method(object, "org.freedesktop.DBus.Properties", "Get");
    call << QString::fromLatin1(kBlock) << QStringLiteral("HintSystem");
    QDBusMessage reply;
    // Unknown counts as a system drive: the stricter of the two actions is asked.
    return !Succeeds(call, kQueryTimeoutMs, &reply) ||
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

}  // namespace

bool UdisksDriveAccess::MayWrite(const BlockDeviceInfo& disk) {
    const QString object = BlockObject(disk.name);
    if (object.isEmpty()) {
        return false;
    }
    return PolkitAuthority::MayObtain(HintSystem(object)
                                          ? "org.freedesktop.udisks2.open-device-system"
                                          : "org.freedesktop.udisks2.open-device");
}

bool UdisksDriveAccess::CanUnmount(const MountEntry& mount) {
    const auto table = MountTable::Load("/proc/self/mountinfo");
    if (!table) {
        return false;
    }
    if (MountUsage::IsHeld(mount, *table)) {
        errno = EBUSY;
        return false;
    }
    return true;
}

bool UdisksDriveAccess::Unmount(const MountEntry& mount) {
    const QString object = VolumeObject(mount);
    return !object.isEmpty() &&
           Succeeds(Method(object, kFilesystem, "Unmount") << Interactive(), kNoCallTimeout);
}

bool UdisksDriveAccess::Remount(const MountEntry& mount) {
    const QString object = VolumeObject(mount);
    if (object.isEmpty()) {
        return false;
    }
    QVariantMap options = Interactive();
    if (ReadOnlyOptions(mount.vfsOptions)) {
        options.insert(QStringLiteral("options"), QStringLiteral("ro"));
    }
    return Succeeds(Method(object, kFilesystem, "Mount") << options, kNoCallTimeout);
}

UniqueFd UdisksDriveAccess::Open(const BlockDeviceInfo& disk, int flags) {
    const QString object = BlockObject(disk.name);
    if (object.isEmpty()) {
        return {};
    }
    QVariantMap options = Interactive();
    options.insert(QStringLiteral("flags"), flags & ~O_ACCMODE);
    QDBusMessage reply;
    if (!Succeeds(Method(object, kBlock, "OpenDevice") << OpenMode(flags) << options,
                  kNoCallTimeout, &reply)) {
        return {};
    }
    const auto sent = qdbus_cast<QDBusUnixFileDescriptor>(reply.arguments().value(0));
    if (!sent.isValid()) {
        errno = EIO;
        return {};
    }
    // The message's descriptor is closed with it; ours shares its open file (and O_DIRECT).
    return UniqueFd(::fcntl(sent.fileDescriptor(), F_DUPFD_CLOEXEC, 0));
}

bool UdisksDriveAccess::RereadPartitions(const BlockDeviceInfo& disk) {
    const QString object = BlockObject(disk.name);
    return !object.isEmpty() &&
           Succeeds(Method(object, kBlock, "Rescan") << Interactive(), kNoCallTimeout);
}

}  // namespace platform::storage
