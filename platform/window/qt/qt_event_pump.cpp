#include "platform/window/qt/qt_event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>

#include "platform/window/event_pump.h"

namespace platform::window {
namespace {

// A round costs microseconds even with nothing pending. The transfer engine pumps once per 2 KB
// block, which on a fast drive would cost more than the transfer itself, so a round that follows
// the previous one within 10 ms is left out: events still arrive within 10 ms, faster than a
// screen refreshes.
constexpr std::chrono::milliseconds kMinimumRoundGap{10};

void PumpQtRound() {
    static std::chrono::steady_clock::time_point lastRound;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastRound < kMinimumRoundGap || QCoreApplication::instance() == nullptr) {
        return;
    }
    lastRound = now;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace

void InstallQtEventPump() {
    SetEventPump(&PumpQtRound);
}

}  // namespace platform::window
