#pragma once

// Window, dialog and control style bits: the system's own on Windows, ours elsewhere.
#include "system_defs/window_constants.h"
