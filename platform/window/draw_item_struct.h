#pragma once

#include "platform/draw/geometry.h"
#include "platform/window/win_types.h"

// DRAWITEMSTRUCT, what an owner-drawn control's parent receives with WM_DRAWITEM (lParam points
// to it) and the control's DrawItem gets reflected; hDC paints the control's client area during
// its paint (CDC::FromHandle gives its context). The system's own on Windows, ours elsewhere.
#include "system_defs/window_constants.h"
