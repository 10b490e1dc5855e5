#pragma once

#include <QFont>
#include <memory>

#include "platform/draw/dc.h"

class QPaintDevice;
class QPainter;

namespace platform::draw {

// The surface a context that is no memory context draws on: a widget during its paint event, or
// an image. Not owned; it must outlive the context or be detached.
struct PaintTarget {
    QPaintDevice* device = nullptr;
};

// Attaches device to dc (null detaches it).
void SetDevice(CDC& dc, QPaintDevice* device);
// What dc draws on: the selected bitmap's image for a memory context, else the attached device.
QPaintDevice* DeviceOf(const CDC& dc);
// A painter on dc's surface; null when there is none.
std::unique_ptr<QPainter> BeginPainter(const CDC& dc);
// dc's current font; the application's default font when none is selected.
QFont CurrentQFont(const CDC& dc);

}  // namespace platform::draw
