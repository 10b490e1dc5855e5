#pragma once

#include "platform/draw/bitmap.h"
#include "platform/draw/dc.h"

// A bitmap of equal frames side by side, kept selected in its own memory context so that a
// frame can be copied out with one BitBlt. Frame k covers columns k * frameWidth to
// (k + 1) * frameWidth - 1 over the bitmap's full height.
class FrameStrip {
  public:
    // Creates memDC, compatible with the screen; no bitmap yet.
    FrameStrip();
    // Deselects the bitmap (if one was loaded) before deleting it, then deletes memDC.
    virtual ~FrameStrip();
    FrameStrip(const FrameStrip&) = delete;
    FrameStrip& operator=(const FrameStrip&) = delete;

    CDC memDC;
    HBITMAP bitmapHandle;               // the loaded bitmap; empty until a load succeeds
    CBitmap bitmap;                     // bitmapHandle attached
    int frameWidth = 0;                 // as given to the load
    int frameHeight = 0;                // the bitmap's height
    CBitmap* previousObject = nullptr;  // what memDC held before the bitmap
    BITMAP bitmapInfo{};                // the bitmap's description as the system reports it
};
