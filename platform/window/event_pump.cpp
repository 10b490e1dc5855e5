#include "platform/window/event_pump.h"

namespace platform::window {

namespace {
EventPumpFunction installedPump = nullptr;
}

void SetEventPump(EventPumpFunction pump) {
    installedPump = pump;
}

void PumpOneRound() {
    if (installedPump != nullptr) {
        installedPump();
    }
}

}  // namespace platform::window
