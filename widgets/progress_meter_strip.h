#pragma once

#include <array>
#include <cstdint>

// The built-in tile strip of the progress meter: nine tiles of 10 x 16 side by side (90 x 16),
// 32 bits per pixel, rows top first, each pixel the bytes blue, green, red, 0xFF.
namespace meter {

inline constexpr int kStripWidth = 90;
inline constexpr int kStripHeight = 16;
inline constexpr int kStripBytesPerRow = kStripWidth * 4;
inline constexpr int kStripTileWidth = kStripWidth / 9;

// The 5760 bytes of the strip's pixel bits.
const std::array<uint8_t, kStripBytesPerRow * kStripHeight>& BuiltInStripBits();

// Colour (0xRRGGBB) of row `row` of the groove tiles (0, 1, 6, 7, 8) and of the body tiles (3, 4).
uint32_t StripGrooveRow(int row);
uint32_t StripBodyRow(int row);

}  // namespace meter
