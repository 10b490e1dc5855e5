#include "widgets/frame_strip.h"

FrameStrip::FrameStrip() {
    memDC.CreateCompatibleDC(nullptr);
}

FrameStrip::~FrameStrip() {
    if (bitmapHandle) {
        memDC.SelectObject(previousObject);
        previousObject = nullptr;
        bitmap.Detach();
        DeleteObject(bitmapHandle);
    }
    memDC.DeleteDC();
}
