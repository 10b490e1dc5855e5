#pragma once

// COLORREF, RGB, GetRValue ..., RECT, HDC, BITMAP, HBITMAP, DeleteObject, BITMAPINFOHEADER,
// RGBQUAD, BITMAPINFO, HICON, HBRUSH, HCURSOR, HINSTANCE and GetSysColor are the system's own.
#include "system_defs/windows_h.h"
