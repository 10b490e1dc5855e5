#pragma once

namespace platform::window {

// Registers the common control classes and installs the Win32 pump behind PumpOneRound: one
// pending message, if any, taken with PeekMessage and dispatched (through its dialog's keyboard
// handling first). AfxWinMain calls it; tests may too.
void InstallWin32EventPump();

}  // namespace platform::window
