#pragma once

namespace platform::window {

// Installs the Qt pump behind PumpOneRound: one non-blocking round of pending Qt events
// (posted events, timers, input, paints). AfxWinMain installs it; tests may too.
void InstallQtEventPump();

}  // namespace platform::window
