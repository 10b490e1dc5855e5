#pragma once

#include <QImage>

#include "platform/draw/bitmap.h"

// The pixels behind a bitmap handle. Device bitmaps are 32 bits per pixel (QImage::Format_RGB32,
// rows stored as blue, green, red, 0xFF), the depth of every screen this layer reports.
struct BitmapData {
    QImage image;
};

// Wraps a bitmap as a 32-bit device bitmap handle (converted to QImage::Format_RGB32); empty for
// a null image.
HBITMAP MakeDeviceBitmap(const QImage& image);

// Describes an image's size and depth as the system reports it.
BITMAP DescribeBitmap(const QImage& image);

namespace platform::draw {

// The bitmap's pixels, shared with its handle; null when the bitmap is empty.
inline QImage* ImageOf(const CBitmap& bitmap) {
    const HBITMAP& handle = bitmap.GetSafeHandle();
    return handle ? &handle->image : nullptr;
}

}  // namespace platform::draw
