#include "platform/draw/image_loader.h"

HINSTANCE AfxGetResourceHandle() {
    return ::GetModuleHandleW(nullptr);
}

HBITMAP LoadImage(HINSTANCE instance, unsigned resourceId, uint32_t type, int cx, int cy,
                  uint32_t flags) {
    if (type != IMAGE_BITMAP) {
        return nullptr;
    }
    return static_cast<HBITMAP>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), type, cx, cy, flags));
}
