#pragma once

#include <string>

#include "platform/window/win_types.h"

namespace platform::window {

// String table: RegisterString makes text the string resource id.
void RegisterString(unsigned id, const std::string& text);
// Loads string id into text; false (text emptied) when there is none.
bool LoadString(unsigned id, std::string& text);

}  // namespace platform::window
