#include "platform/draw/image_list.h"

#include <QPainter>

#include "platform/draw/dc.h"
#include "platform/draw/gdi_constants.h"
#include "platform/draw/qt/bitmap_data.h"
#include "platform/draw/qt/paint_target.h"
#include "platform/draw/qt/qt_convert.h"

struct CImageList::Images {
    std::vector<QImage> images;
};

CImageList::CImageList() : images_(std::make_unique<Images>()) {}
CImageList::~CImageList() = default;

int CImageList::GetImageCount() const {
    return static_cast<int>(images_->images.size());
}

bool CImageList::Create(int cx, int cy, uint32_t flags, int /*initial*/, int /*grow*/) {
    if (created_ || cx <= 0 || cy <= 0) {
        return false;
    }
    created_ = true;
    masked_ = (flags & ILC_MASK) != 0;
    cx_ = cx;
    cy_ = cy;
    return true;
}

bool CImageList::DeleteImageList() {
    if (!created_) {
        return false;
    }
    created_ = false;
    masked_ = false;
    cx_ = cy_ = 0;
    images_->images.clear();
    return true;
}

int CImageList::Add(CBitmap* bitmap, COLORREF maskColour) {
    if (!created_ || bitmap == nullptr || platform::draw::ImageOf(*bitmap) == nullptr) {
        return -1;
    }
    const QImage& strip = *platform::draw::ImageOf(*bitmap);
    const int count = strip.width() / cx_;
    if (count == 0) {
        return -1;
    }
    const int first = GetImageCount();
    const QRgb key = platform::draw::ToQColor(maskColour).rgb();
    for (int k = 0; k < count; ++k) {
        // copy() pads rows below a shorter strip with zeros; show them black.
        QImage image = strip.copy(k * cx_, 0, cx_, cy_).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const QRgb opaque = row[x] | 0xFF000000u;
                row[x] = masked_ && opaque == key ? 0u : opaque;
            }
        }
        images_->images.push_back(std::move(image));
    }
    return first;
}

bool CImageList::Draw(CDC* dc, int index, CPoint point, uint32_t /*style*/) const {
    if (dc == nullptr || index < 0 || index >= GetImageCount()) {
        return false;
    }
    auto painter = platform::draw::BeginPainter(*dc);
    if (!painter) {
        return false;
    }
    painter->setCompositionMode(masked_ ? QPainter::CompositionMode_SourceOver
                                        : QPainter::CompositionMode_Source);
    painter->drawImage(QPoint(point.x, point.y), images_->images[static_cast<size_t>(index)]);
    return true;
}
