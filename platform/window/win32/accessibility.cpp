// What a screen reader is told of the program's windows on Windows. The system's own
// accessibility derives names and roles from the controls; what the program adds on top (states,
// values, announcements) is not given yet.
#include "platform/window/accessibility.h"

namespace platform::window {

void SetAccessibleState(CWnd&, const std::string&) {}

void SetAccessibleValue(CWnd&, int, int, int) {}

void HideFromAccessibility(CWnd&) {}

void Announce(CWnd&, const std::string&) {}

}  // namespace platform::window
