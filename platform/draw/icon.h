#pragma once

#include <QIcon>
#include <QImage>
#include <memory>
#include <vector>

// An icon: its images (largest first), shared between handles.
struct IconData {
    std::vector<QImage> images;
};
using HICON = std::shared_ptr<const IconData>;

// Loads icon resource id (all its images); empty when there is none or it cannot be parsed.
HICON LoadIconResource(unsigned resourceId);
// The image of the icon closest to size x size pixels (null image for an empty handle).
QImage IconImage(const HICON& icon, int size);
// The icon as a QIcon, for a window's icon.
QIcon ToQIcon(const HICON& icon);
