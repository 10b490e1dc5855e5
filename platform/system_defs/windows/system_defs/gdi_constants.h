#pragma once

// SRCCOPY, TRANSPARENT, OPAQUE, the stretch modes, device capabilities, stock objects, DT_, LR_,
// IMAGE_, ILC_ and ILD_ values, BI_RGB, CBM_INIT, DIB_RGB_COLORS, COLOR_ indexes, IDC_ cursors and
// CLR_INVALID are the system's own.
#include "system_defs/windows_h.h"
