#include "platform/draw/qt/palette_bmp.h"

namespace platform::draw {
namespace {

uint32_t Read32(const QByteArray& d, qsizetype at) {
    const auto* p = reinterpret_cast<const uint8_t*>(d.constData()) + at;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Read16(const QByteArray& d, qsizetype at) {
    const auto* p = reinterpret_cast<const uint8_t*>(d.constData()) + at;
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint8_t Byte(const QByteArray& d, qsizetype at) {
    return static_cast<uint8_t>(d[at]);
}

constexpr qsizetype kInfoHeaderSize = 40;
constexpr int kMaxSide = 4096;

}  // namespace

std::optional<PaletteDib> ParseDib(const QByteArray& data, qsizetype offset, qsizetype size,
                                   bool iconImage, std::vector<bool>* mask, qsizetype bitsOffset) {
    if (offset < 0 || size < kInfoHeaderSize || offset > data.size() - size) {
        return std::nullopt;
    }
    const qsizetype end = offset + size;
    const uint32_t headerSize = Read32(data, offset);
    const int32_t width = static_cast<int32_t>(Read32(data, offset + 4));
    int32_t height = static_cast<int32_t>(Read32(data, offset + 8));
    const uint16_t planes = Read16(data, offset + 12);
    const uint16_t bpp = Read16(data, offset + 14);
    const uint32_t compression = Read32(data, offset + 16);
    const uint32_t used = Read32(data, offset + 32);
    if (headerSize < kInfoHeaderSize || headerSize > static_cast<uint32_t>(size) || planes != 1 ||
        compression != 0 || (bpp != 1 && bpp != 4 && bpp != 8)) {
        return std::nullopt;
    }
    const bool topDown = height < 0;
    if (iconImage) {
        if (topDown || height % 2 != 0) {
            return std::nullopt;
        }
        height /= 2;
    } else if (topDown) {
        height = -height;
    }
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        return std::nullopt;
    }
    const uint32_t tableSize = used != 0 ? used : (1u << bpp);
    if (tableSize > (1u << bpp)) {
        return std::nullopt;
    }
    const qsizetype table = offset + headerSize;
    const qsizetype bits =
        bitsOffset >= 0 ? bitsOffset : table + 4 * static_cast<qsizetype>(tableSize);
    if (bits < table + 4 * static_cast<qsizetype>(tableSize)) {
        return std::nullopt;
    }
    const qsizetype stride = ((static_cast<qsizetype>(width) * bpp + 31) / 32) * 4;
    const qsizetype maskStride = ((static_cast<qsizetype>(width) + 31) / 32) * 4;
    const qsizetype needed = stride * height + (iconImage ? maskStride * height : 0);
    if (bits > end || end - bits < needed) {
        return std::nullopt;
    }

    PaletteDib dib;
    dib.width = width;
    dib.height = height;
    for (uint32_t i = 0; i < tableSize; ++i) {
        const qsizetype e = table + 4 * static_cast<qsizetype>(i);
        dib.colours.push_back(qRgb(Byte(data, e + 2), Byte(data, e + 1), Byte(data, e)));
    }
    dib.indices.resize(static_cast<size_t>(width) * height);
    const int perByte = 8 / bpp;
    const uint8_t valueMask = static_cast<uint8_t>((1u << bpp) - 1);
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;  // stored row -> picture row
        const qsizetype rowStart = bits + stride * row;
        for (int x = 0; x < width; ++x) {
            const uint8_t byte = Byte(data, rowStart + x / perByte);
            const int shift = 8 - bpp * (x % perByte + 1);
            const uint8_t index = static_cast<uint8_t>((byte >> shift) & valueMask);
            if (index >= tableSize) {
                return std::nullopt;
            }
            dib.indices[static_cast<size_t>(y) * width + x] = index;
        }
    }
    dib.firstPixel = dib.indices[static_cast<size_t>(topDown ? 0 : height - 1) * width];
    if (iconImage && mask != nullptr) {
        mask->assign(static_cast<size_t>(width) * height, false);
        const qsizetype maskBits = bits + stride * height;
        for (int row = 0; row < height; ++row) {
            const int y = height - 1 - row;
            for (int x = 0; x < width; ++x) {
                const uint8_t byte = Byte(data, maskBits + maskStride * row + x / 8);
                (*mask)[static_cast<size_t>(y) * width + x] = ((byte >> (7 - x % 8)) & 1) != 0;
            }
        }
    }
    return dib;
}

std::optional<PaletteDib> ParseBmpFile(const QByteArray& file) {
    constexpr qsizetype kFileHeaderSize = 14;
    if (file.size() < kFileHeaderSize + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M') {
        return std::nullopt;
    }
    const uint32_t bitsOffset = Read32(file, 10);
    if (bitsOffset > static_cast<uint32_t>(file.size())) {
        return std::nullopt;
    }
    // The DIB spans the rest of the file; its bits start where the file header says.
    return ParseDib(file, kFileHeaderSize, file.size() - kFileHeaderSize, false, nullptr,
                    static_cast<qsizetype>(bitsOffset));
}

}  // namespace platform::draw
