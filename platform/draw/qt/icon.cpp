#include "platform/draw/qt/icon_data.h"

#include <QPixmap>
#include <algorithm>
#include <cstdlib>

#include "platform/draw/qt/palette_bmp.h"
#include "platform/draw/qt/resource_lookup.h"

namespace {

uint16_t Read16(const QByteArray& d, qsizetype at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(d[at]) |
                                 (static_cast<uint8_t>(d[at + 1]) << 8));
}
uint32_t Read32(const QByteArray& d, qsizetype at) {
    return Read16(d, at) | (static_cast<uint32_t>(Read16(d, at + 2)) << 16);
}

// An icon file: a directory of entries, each pointing at a DIB with a transparency mask.
std::vector<QImage> ParseIconFile(const QByteArray& file) {
    std::vector<QImage> images;
    constexpr qsizetype kDirSize = 6;
    constexpr qsizetype kEntrySize = 16;
    if (file.size() < kDirSize || Read16(file, 0) != 0 || Read16(file, 2) != 1) {
        return images;
    }
    const int count = Read16(file, 4);
    if (file.size() < kDirSize + kEntrySize * count) {
        return images;
    }
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = kDirSize + kEntrySize * i;
        const qsizetype size = Read32(file, entry + 8);
        const qsizetype offset = Read32(file, entry + 12);
        std::vector<bool> mask;
        const auto dib = platform::draw::ParseDib(file, offset, size, true, &mask);
        if (!dib) {
            return {};
        }
        QImage image(dib->width, dib->height, QImage::Format_ARGB32);
        for (int y = 0; y < dib->height; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < dib->width; ++x) {
                const size_t at = static_cast<size_t>(y) * dib->width + x;
                row[x] = mask[at] ? 0u : (dib->colours[dib->indices[at]] | 0xFF000000u);
            }
        }
        images.push_back(std::move(image));
    }
    std::stable_sort(images.begin(), images.end(),
                     [](const QImage& a, const QImage& b) { return a.width() > b.width(); });
    return images;
}

}  // namespace

HICON LoadIconResource(unsigned resourceId) {
    const QByteArray file =
        platform::draw::FindResourceBytes(platform::draw::ResourceKind::Icon, resourceId);
    std::vector<QImage> images = ParseIconFile(file);
    if (images.empty()) {
        return nullptr;
    }
    return std::make_shared<const IconData>(IconData{std::move(images)});
}

QImage IconImage(const HICON& icon, int size) {
    if (!icon || icon->images.empty()) {
        return {};
    }
    const QImage* best = &icon->images.front();
    for (const QImage& image : icon->images) {
        if (std::abs(image.width() - size) < std::abs(best->width() - size)) {
            best = &image;
        }
    }
    if (best->width() == size) {
        return *best;
    }
    return best->scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QIcon ToQIcon(const HICON& icon) {
    QIcon result;
    if (icon) {
        for (const QImage& image : icon->images) {
            result.addPixmap(QPixmap::fromImage(image));
        }
    }
    return result;
}
