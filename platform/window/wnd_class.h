#pragma once

#include "platform/draw/wait_cursor.h"
#include "platform/window/win_types.h"

#include "platform/draw/icon.h"

// Registers a window class with the class style, the cursor shown over its windows, the
// background brush and the icon; returns its name for CWnd::CreateEx. The same arguments give
// the same name.
const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = HCURSOR{},
                                HBRUSH background = nullptr, HICON icon = HICON{});
