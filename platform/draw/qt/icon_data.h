#pragma once

#include <QIcon>
#include <QImage>
#include <vector>

#include "platform/draw/icon.h"

// The images of an icon, largest first.
struct IconData {
    std::vector<QImage> images;
};

// The image of the icon closest to size x size pixels (null image for an empty handle).
QImage IconImage(const HICON& icon, int size);
// The icon as a QIcon, for a window's icon.
QIcon ToQIcon(const HICON& icon);
