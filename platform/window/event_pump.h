#pragma once

// The one-round event pump the transfer engine calls between blocks. The window layer installs
// the real pump; until then (and in engine-only programs) a round does nothing.
namespace platform::window {

using EventPumpFunction = void (*)();

// Installs the pump; nullptr restores the do-nothing pump.
void SetEventPump(EventPumpFunction pump);

// Runs one non-blocking round of pending events.
void PumpOneRound();

}  // namespace platform::window
