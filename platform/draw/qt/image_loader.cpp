#include "platform/draw/image_loader.h"

#include <QImage>

#include "platform/draw/gdi_constants.h"
#include "platform/draw/qt/bitmap_data.h"
#include "platform/draw/qt/palette_bmp.h"
#include "platform/draw/qt/qt_convert.h"
#include "platform/draw/qt/resource_lookup.h"
#include "platform/draw/sys_colors.h"

namespace {

QRgb SysRgb(int index) {
    return platform::draw::ToQColor(GetSysColor(index)).rgb();
}

// Replaces colour-table entries as the load flags ask; pixels follow their entries.
void MapColourTable(platform::draw::PaletteDib& dib, uint32_t flags) {
    if ((flags & LR_LOADMAP3DCOLORS) != 0) {
        for (QRgb& c : dib.colours) {
            const QRgb rgb = c & 0xFFFFFFu;
            if (rgb == 0x808080u) {
                c = SysRgb(COLOR_3DSHADOW);
            } else if (rgb == 0xC0C0C0u) {
                c = SysRgb(COLOR_3DFACE);
            } else if (rgb == 0xDFDFDFu) {
                c = SysRgb(COLOR_3DLIGHT);
            }
        }
    }
    if ((flags & LR_LOADTRANSPARENT) != 0 && !dib.colours.empty()) {
        dib.colours[static_cast<size_t>(dib.firstPixel)] =
            SysRgb((flags & LR_LOADMAP3DCOLORS) != 0 ? COLOR_3DFACE : COLOR_WINDOW);
    }
}

}  // namespace

HINSTANCE AfxGetResourceHandle() {
    return 1;
}

HBITMAP LoadImage(HINSTANCE /*instance*/, unsigned resourceId, uint32_t type, int cx, int cy,
                  uint32_t flags) {
    if (type != IMAGE_BITMAP) {
        return nullptr;
    }
    HBITMAP bitmap = platform::draw::DecodePaletteBitmap(
        platform::draw::FindResourceBytes(platform::draw::ResourceKind::Bitmap, resourceId), flags);
    if (bitmap &&
        ((cx != 0 && cx != bitmap->image.width()) || (cy != 0 && cy != bitmap->image.height()))) {
        bitmap->image = bitmap->image.scaled(cx != 0 ? cx : bitmap->image.width(),
                                             cy != 0 ? cy : bitmap->image.height());
    }
    return bitmap;
}

namespace platform::draw {

HBITMAP DecodePaletteBitmap(const QByteArray& bmpFile, uint32_t flags) {
    std::optional<PaletteDib> dib = ParseBmpFile(bmpFile);
    if (!dib) {
        return nullptr;
    }
    MapColourTable(*dib, flags);
    QImage image(dib->width, dib->height, QImage::Format_RGB32);
    for (int y = 0; y < dib->height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < dib->width; ++x) {
            row[x] =
                dib->colours[dib->indices[static_cast<size_t>(y) * dib->width + x]] | 0xFF000000u;
        }
    }
    return MakeDeviceBitmap(image);
}

}  // namespace platform::draw
