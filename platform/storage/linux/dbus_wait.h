#pragma once

#include <QDBusMessage>
#include <string>

namespace platform::storage {

// A bus call timeout for calls that may put up a password prompt: none.
inline constexpr int kNoCallTimeout = 0x7fffffff;

// Sends a method call on the system bus and waits for its reply in a local event loop that keeps
// delivering events other than user input, so windows stay painted meanwhile. Without an
// application object it blocks. The reply is an error message when the bus is unreachable.
QDBusMessage CallAndWait(const QDBusMessage& call, int timeoutMs);

// The errno that stands for an error reply: EACCES when refused, ECANCELED when the password
// prompt was dismissed, EBUSY when the device is busy, ENOTCONN when the service is not there,
// ETIMEDOUT, otherwise EIO.
int ErrnoOf(const QDBusMessage& reply);

// What an error reply means to a user, naming what to do where something can be done: a
// dismissed password prompt, polkit's refusal, no authentication agent to ask for a password,
// udisks2 out of reach; udisks2's own message otherwise.
std::string CauseOf(const QDBusMessage& reply);

}  // namespace platform::storage
