#include "platform/window/qt_event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "platform/window/event_pump.h"

namespace platform::window {
namespace {

void PumpQtRound() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

}  // namespace

void InstallQtEventPump() {
    SetEventPump(&PumpQtRound);
}

}  // namespace platform::window
