#pragma once

// SM_CXICON ... and GetSystemMetrics (icons 32 x 32, small ones 16 x 16): the system's own on
// Windows, ours elsewhere.
#include "system_defs/window_constants.h"
