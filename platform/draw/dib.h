#pragma once

#include <cstdint>

#include "platform/draw/bitmap.h"

class CDC;

// Device-independent bitmap description: a header and (unused here) colour entries.
struct BITMAPINFOHEADER {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;  // negative: rows run top to bottom
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
struct RGBQUAD {
    uint8_t rgbBlue = 0;
    uint8_t rgbGreen = 0;
    uint8_t rgbRed = 0;
    uint8_t rgbReserved = 0;
};
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

inline constexpr uint32_t BI_RGB = 0;
inline constexpr uint32_t CBM_INIT = 4;
inline constexpr uint32_t DIB_RGB_COLORS = 0;

// Creates a device bitmap (32 bits per pixel) of the header's size; with CBM_INIT its pixels come
// from bits as described by info (BI_RGB, 24 or 32 bits per pixel, rows padded to 4 bytes, bottom
// row first unless the height is negative). Empty handle for other formats.
HBITMAP CreateDIBitmap(CDC* dc, const BITMAPINFOHEADER* header, uint32_t init, const void* bits,
                       const BITMAPINFO* info, uint32_t usage);
