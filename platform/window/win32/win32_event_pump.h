#pragma once

namespace platform::window {

// Registers the common control classes and installs the Win32 pump behind PumpOneRound: the
// messages waiting, a few at most, taken with PeekMessage and dispatched (through their dialog's
// keyboard handling first), at most one round every 10 ms. AfxWinMain calls it; tests may too.
void InstallWin32EventPump();

}  // namespace platform::window
