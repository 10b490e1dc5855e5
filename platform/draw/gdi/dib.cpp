#include "platform/draw/dib.h"

#include "platform/draw/dc.h"

HBITMAP CreateDIBitmap(CDC* dc, const BITMAPINFOHEADER* header, uint32_t init, const void* bits,
                       const BITMAPINFO* info, uint32_t usage) {
    HDC hdc = dc != nullptr ? dc->GetSafeHdc() : nullptr;
    const bool screen = hdc == nullptr;
    if (screen) {
        hdc = ::GetDC(nullptr);
    }
    HBITMAP bitmap = ::CreateDIBitmap(hdc, header, init, bits, info, usage);
    if (screen) {
        ::ReleaseDC(nullptr, hdc);
    }
    return bitmap;
}
