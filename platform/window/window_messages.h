#pragma once

#include "platform/window/win_types.h"

// Message numbers, notification codes, command and system-command identifiers: the system's own
// on Windows, ours elsewhere; and the framework's own commands.
#include "system_defs/window_constants.h"

// The framework's help command.
inline constexpr UINT ID_HELP = 0xE146;
