#include "platform/draw/qt/paint_target.h"

#include <QGuiApplication>
#include <QPainter>

#include "platform/draw/qt/bitmap_data.h"
#include "platform/draw/qt/font_data.h"

namespace platform::draw {

void SetDevice(CDC& dc, QPaintDevice* device) {
    dc.Target().device = device;
}

QPaintDevice* DeviceOf(const CDC& dc) {
    if (dc.IsMemoryDC()) {
        const CBitmap* bitmap = dc.GetCurrentBitmap();
        return bitmap != nullptr ? ImageOf(*bitmap) : nullptr;
    }
    return dc.Target().device;
}

std::unique_ptr<QPainter> BeginPainter(const CDC& dc) {
    QPaintDevice* device = DeviceOf(dc);
    if (device == nullptr) {
        return nullptr;
    }
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(device)) {
        return nullptr;
    }
    return painter;
}

QFont CurrentQFont(const CDC& dc) {
    const CFont* font = dc.GetCurrentFont();
    return font != nullptr ? QFontOf(*font) : QGuiApplication::font();
}

}  // namespace platform::draw
