// What udisks2's and polkit's error replies tell a user, and the errno they stand for.
#include <gtest/gtest.h>

#include <QDBusMessage>
#include <cerrno>

#include "platform/storage/linux/dbus_wait.h"

using namespace platform::storage;

namespace {

QDBusMessage ErrorReply(const char* name, const char* message) {
    const QDBusMessage call = QDBusMessage::createMethodCall(
        "org.freedesktop.UDisks2", "/org/freedesktop/UDisks2/block_devices/sdb",
        "org.freedesktop.UDisks2.Block", "OpenDevice");
    return call.createErrorReply(QString::fromLatin1(name), QString::fromLatin1(message));
}

TEST(DBusErrorTest, EachRefusalSaysWhatHappenedAndWhatToDo) {
    struct Case {
        const char* name;
        int error;
        const char* causePart;
    };
    const Case cases[] = {
        {"org.freedesktop.UDisks2.Error.NotAuthorizedDismissed", ECANCELED,
         "The password prompt was dismissed"},
        {"org.freedesktop.UDisks2.Error.NotAuthorizedCanObtain", EACCES,
         "Start one (the README's section on rights names some)"},
        {"org.freedesktop.UDisks2.Error.NotAuthorized", EACCES, "polkit refused: not today"},
        {"org.freedesktop.DBus.Error.ServiceUnknown", ENOTCONN, "udisks2 cannot be reached"},
        {"org.freedesktop.UDisks2.Error.DeviceBusy", EBUSY, "udisks2: not today"},
        {"org.freedesktop.UDisks2.Error.Failed", EIO, "udisks2: not today"},
    };
    for (const Case& c : cases) {
        const QDBusMessage reply = ErrorReply(c.name, "not today");
        EXPECT_EQ(ErrnoOf(reply), c.error) << c.name;
        EXPECT_NE(CauseOf(reply).find(c.causePart), std::string::npos)
            << c.name << ": " << CauseOf(reply);
    }
}

}  // namespace
