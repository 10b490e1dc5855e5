#include "platform/draw/qt/bitmap_data.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/draw/gdi_constants.h"
#include "platform/draw/image_loader.h"

namespace {

constexpr int kDeviceBitsPerPixel = 32;

// Rows of a device bitmap are padded to an even number of bytes.
int WidthBytes(int width, int bitsPerPixel) {
    return ((width * bitsPerPixel + 15) / 16) * 2;
}

}  // namespace

bool DeleteObject(HBITMAP& handle) {
    if (!handle) {
        return false;
    }
    handle.reset();
    return true;
}

HBITMAP MakeDeviceBitmap(const QImage& image) {
    if (image.isNull()) {
        return nullptr;
    }
    auto data = std::make_shared<BitmapData>();
    data->image = image.convertToFormat(QImage::Format_RGB32);
    return data;
}

BITMAP DescribeBitmap(const QImage& image) {
    BITMAP bm;
    bm.bmType = 0;
    bm.bmWidth = image.width();
    bm.bmHeight = image.height();
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<uint16_t>(image.depth());
    bm.bmWidthBytes = WidthBytes(image.width(), image.depth());
    bm.bmBits = nullptr;
    return bm;
}

bool CBitmap::Attach(HBITMAP handle) {
    if (handle_ || !handle) {
        return false;
    }
    handle_ = std::move(handle);
    return true;
}

HBITMAP CBitmap::Detach() {
    return std::exchange(handle_, nullptr);
}

HBITMAP CopyBitmapHandle(const HBITMAP& handle) {
    return handle ? std::make_shared<BitmapData>(*handle) : nullptr;
}

CBitmap::~CBitmap() = default;

bool CBitmap::DeleteObject() {
    return ::DeleteObject(handle_);
}

bool CBitmap::CreateCompatibleBitmap(CDC* /*referenceDC*/, int width, int height) {
    if (handle_ || width <= 0 || height <= 0) {
        return false;
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        return false;
    }
    image.fill(Qt::black);
    handle_ = std::make_shared<BitmapData>(BitmapData{std::move(image)});
    return true;
}

bool CBitmap::CreateBitmap(int width, int height, unsigned planes, unsigned bitsPerPixel,
                           const void* bits) {
    if (handle_ || width <= 0 || height <= 0 || planes != 1 ||
        bitsPerPixel != kDeviceBitsPerPixel) {
        return false;
    }
    if (!CreateCompatibleBitmap(nullptr, width, height)) {
        return false;
    }
    if (bits != nullptr) {
        const BITMAP bm = DescribeBitmap(handle_->image);
        SetBitmapBits(static_cast<uint32_t>(bm.bmWidthBytes * bm.bmHeight), bits);
    }
    return true;
}

bool CBitmap::CreateBitmapIndirect(const BITMAP* description) {
    if (description == nullptr) {
        return false;
    }
    return CreateBitmap(description->bmWidth, description->bmHeight, description->bmPlanes,
                        description->bmBitsPixel, description->bmBits);
}

bool CBitmap::LoadBitmap(unsigned resourceId) {
    if (handle_) {
        return false;
    }
    HBITMAP loaded = LoadImage(AfxGetResourceHandle(), resourceId, IMAGE_BITMAP, 0, 0, 0);
    return Attach(std::move(loaded));
}

int CBitmap::GetObject(int count, BITMAP* out) const {
    if (!handle_ || out == nullptr || count < static_cast<int>(sizeof(BITMAP))) {
        return 0;
    }
    *out = DescribeBitmap(handle_->image);
    return static_cast<int>(sizeof(BITMAP));
}

uint32_t CBitmap::GetBitmapBits(uint32_t count, void* bits) const {
    if (!handle_ || bits == nullptr) {
        return 0;
    }
    const QImage& image = handle_->image;
    const BITMAP bm = DescribeBitmap(image);
    auto* out = static_cast<uint8_t*>(bits);
    uint32_t copied = 0;
    for (int y = 0; y < bm.bmHeight && copied < count; ++y) {
        const uint32_t n =
            std::min<uint32_t>(static_cast<uint32_t>(bm.bmWidthBytes), count - copied);
        std::memcpy(out + copied, image.constScanLine(y), n);
        copied += n;
    }
    return copied;
}

uint32_t CBitmap::SetBitmapBits(uint32_t count, const void* bits) {
    if (!handle_ || bits == nullptr) {
        return 0;
    }
    QImage& image = handle_->image;
    const BITMAP bm = DescribeBitmap(image);
    const auto* in = static_cast<const uint8_t*>(bits);
    uint32_t used = 0;
    for (int y = 0; y < bm.bmHeight && used < count; ++y) {
        const uint32_t n = std::min<uint32_t>(static_cast<uint32_t>(bm.bmWidthBytes), count - used);
        uint8_t* row = image.scanLine(y);
        std::memcpy(row, in + used, n);
        // The fourth byte of each pixel is not colour; keep the image opaque.
        for (uint32_t i = 3; i < n; i += 4) {
            row[i] = 0xFF;
        }
        used += n;
    }
    return used;
}
