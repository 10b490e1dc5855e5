#pragma once

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <optional>
#include <string>

namespace platform::storage {

// How a call on the system bus is waited for.
enum class CallWait {
    kBounded,     // cannot put up a prompt: an answer within a bound; a Stop gives up
    kPrompting,   // may put up a password prompt: no bound, the user takes their time; a Stop
                  // gives up
    kGivingBack,  // gives a drive back (mounts again, re-reads): bounded, never given up
};

// How long a call that cannot prompt may take to be answered.
inline constexpr int kAnswerBoundMs = 25000;

struct CallAnswer {
    // The reply, or an error reply when the call failed, timed out or the bus is unreachable.
    QDBusMessage reply;
    // Set when a Stop ended the wait: the call, still pending. Its answer arrives later.
    std::optional<QDBusPendingCall> abandoned;
};

// Sends a method call on the system bus and waits for its reply in slices, running the device-
// wait hook between them, so the caller's windows keep answering (and a Stop can arrive). A
// bounded call gets its answer within boundMs.
CallAnswer CallAndWait(const QDBusMessage& call, CallWait wait, int boundMs = kAnswerBoundMs);

// The errno that stands for an error reply: EACCES when refused, ECANCELED when the password
// prompt was dismissed, EBUSY when the device is busy, ENOTCONN when the service is not there,
// ETIMEDOUT, otherwise EIO.
int ErrnoOf(const QDBusMessage& reply);

// What an error reply means to a user, naming what to do where something can be done: a
// dismissed password prompt, polkit's refusal, no authentication agent to ask for a password,
// udisks2 out of reach, no answer in time; udisks2's own message otherwise.
std::string CauseOf(const QDBusMessage& reply);

}  // namespace platform::storage
