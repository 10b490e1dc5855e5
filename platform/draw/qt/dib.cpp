#include "platform/draw/dib.h"
#include "platform/draw/qt/bitmap_data.h"

#include <QImage>
#include <cstring>

HBITMAP CreateDIBitmap(CDC* /*dc*/, const BITMAPINFOHEADER* header, uint32_t init, const void* bits,
                       const BITMAPINFO* info, uint32_t usage) {
    if (header == nullptr || header->biWidth <= 0 || header->biHeight == 0) {
        return nullptr;
    }
    const int width = header->biWidth;
    const bool topDown = header->biHeight < 0;
    const int height = topDown ? -header->biHeight : header->biHeight;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        return nullptr;
    }
    image.fill(Qt::black);
    if ((init & CBM_INIT) != 0) {
        if (bits == nullptr || info == nullptr || usage != DIB_RGB_COLORS ||
            info->bmiHeader.biCompression != BI_RGB) {
            return nullptr;
        }
        const int bpp = info->bmiHeader.biBitCount;
        if (bpp != 24 && bpp != 32) {
            return nullptr;
        }
        const int bytesPerPixel = bpp / 8;
        const int stride = ((width * bpp + 31) / 32) * 4;
        const auto* in = static_cast<const uint8_t*>(bits);
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = in + static_cast<size_t>(topDown ? y : height - 1 - y) * stride;
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                const uint8_t* px = row + x * bytesPerPixel;
                out[x] = qRgb(px[2], px[1], px[0]);
            }
        }
    }
    return MakeDeviceBitmap(image);
}
