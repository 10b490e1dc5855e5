#pragma once

// Message numbers, notification codes, dialog commands, system commands, RedrawWindow flags,
// window and control styles, ShowWindow commands, menu, message-box and file-dialog flags, list
// view fields and styles, DRAWITEMSTRUCT, TIMERPROC, GetSystemMetrics, IsWindow and LoadCursor are
// the system's own.
#include "system_defs/windows_h.h"
