#pragma once

#include <cstdint>

#include "platform/draw/bitmap.h"

class CDC;

// BITMAPINFOHEADER, RGBQUAD, BITMAPINFO, BI_RGB, CBM_INIT and DIB_RGB_COLORS: the system's own on
// Windows, ours elsewhere.
#include "system_defs/gdi_constants.h"

// Creates a device bitmap (32 bits per pixel) of the header's size; with CBM_INIT its pixels come
// from bits as described by info (BI_RGB, 24 or 32 bits per pixel, rows padded to 4 bytes, bottom
// row first unless the height is negative). Empty handle for other formats.
HBITMAP CreateDIBitmap(CDC* dc, const BITMAPINFOHEADER* header, uint32_t init, const void* bits,
                       const BITMAPINFO* info, uint32_t usage);
