#pragma once

#include <QByteArray>
#include <QRgb>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/draw/bitmap.h"

// Palette-based device-independent bitmaps (1, 4 or 8 bits per pixel, uncompressed), as stored
// in BMP files and in icon images.
namespace platform::draw {

struct PaletteDib {
    int width = 0;
    int height = 0;
    std::vector<QRgb> colours;     // the colour table
    std::vector<uint8_t> indices;  // width x height colour-table indexes, top row first
    int firstPixel = 0;            // index of the first pixel stored (bottom-left when bottom-up)
};

// Parses a BMP file (file header, info header, colour table, bits). nullopt when it is not an
// uncompressed palette bitmap or is truncated.
std::optional<PaletteDib> ParseBmpFile(const QByteArray& file);

// Parses a DIB that starts at offset with its info header and spans size bytes. For an icon
// image the header's height counts the colour and the mask bitmaps; the picture is the upper
// half and *mask, if given, receives the 1-bit transparency rows (top first, 1 = transparent).
// The bits follow the colour table unless bitsOffset (from the start of data) says otherwise.
std::optional<PaletteDib> ParseDib(const QByteArray& data, qsizetype offset, qsizetype size,
                                   bool iconImage, std::vector<bool>* mask,
                                   qsizetype bitsOffset = -1);

// LoadImage's conversion of a BMP file's bytes under the load flags (LR_...); empty when the
// bytes are no uncompressed palette bitmap.
HBITMAP DecodePaletteBitmap(const QByteArray& bmpFile, uint32_t flags);

}  // namespace platform::draw
