#pragma once

// The basic value types of the window services (UINT, DWORD, BOOL, WPARAM, LPARAM, LRESULT, HWND,
// MSG, LOWORD ...): the system's own on Windows, ours elsewhere.
#include "system_defs/win_types.h"
