#pragma once

// UINT, DWORD, WORD, BOOL, UINT_PTR, WPARAM, LPARAM, LRESULT, LPCTSTR (8-bit: no UNICODE), TRUE,
// FALSE, HWND, MSG, LOWORD, HIWORD and MAKEWPARAM are the system's own.
#include "system_defs/windows_h.h"
