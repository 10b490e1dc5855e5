#pragma once

#include <cstdint>
#include <memory>

class CDC;

using COLORREF = uint32_t;  // 0x00BBGGRR

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

// A rectangle as the system exchanges it.
struct RECT {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// A device context's handle: here the context object itself.
using HDC = CDC*;

// What the system reports about a bitmap (GetObject / GetBitmap). Device-dependent bitmaps have
// no directly addressable bits: bmBits is always null.
struct BITMAP {
    int32_t bmType = 0;
    int32_t bmWidth = 0;
    int32_t bmHeight = 0;
    int32_t bmWidthBytes = 0;
    uint16_t bmPlanes = 0;
    uint16_t bmBitsPixel = 0;
    void* bmBits = nullptr;
};

// The pixels behind a bitmap handle (platform/draw/qt/bitmap_data.h).
struct BitmapData;

// A bitmap handle. Handles are shared: the pixels live while any handle or CBitmap refers to
// them; DeleteObject releases one reference.
using HBITMAP = std::shared_ptr<BitmapData>;

// Releases the handle's reference and clears it. Returns false for an empty handle.
bool DeleteObject(HBITMAP& handle);

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

// An icon: its images (largest first), shared between handles (platform/draw/qt/icon_data.h).
struct IconData;
using HICON = std::shared_ptr<const IconData>;

// A background brush; only "none" (null) is supported: such windows paint their whole
// background themselves.
struct BrushHandle;
using HBRUSH = const BrushHandle*;

// A standard cursor, by its id; the window layer's backend turns it into its own cursor.
struct HCURSOR {
    int id = 32512;  // IDC_ARROW
};

// The module whose resources are loaded; there is only the program itself.
using HINSTANCE = int;

// The colour of a system element, taken from the application's Qt palette (fixed classic
// colours when no application object exists). Unknown indexes give black.
COLORREF GetSysColor(int index);
