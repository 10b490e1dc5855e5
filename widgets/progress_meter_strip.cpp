#include "widgets/progress_meter_strip.h"

namespace meter {
namespace {

constexpr uint32_t kGroove[kStripHeight] = {
    0xBDBDBD, 0xBDBDBD, 0xC3C3C3, 0xCDCDCD, 0xCDCDCD, 0xD5D5D5, 0xD5D5D5, 0xDDDDDD,
    0xDDDDDD, 0xE4E4E4, 0xEDEDED, 0xEDEDED, 0xF2F2F2, 0xEDEDED, 0xEDEDED, 0xE4E4E4,
};
constexpr uint32_t kBody[kStripHeight] = {
    0xBDBDBD, 0x0033B1, 0x75A2DD, 0x95BDE9, 0x95BDE9, 0x88B6E9, 0x4D94E5, 0x4D94E5,
    0x61A6F2, 0x74B5FE, 0x84C7FF, 0x97DEFF, 0x9FE6FF, 0x97DEFF, 0x5C5C5C, 0xACACAC,
};

// The two caps, one character per pixel: g groove, b body, s shadow, t light shadow.
constexpr const char* kStartCap[kStripHeight] = {
    "gggggggggg", "gggbbbbbbb", "ggbbbbbbbb", "gbbbbbbbbb", "gbbbbbbbbb", "gbbbbbbbbb",
    "gbbbbbbbbb", "gbbbbbbbbb", "gbbbbbbbbb", "gbbbbbbbbb", "gbbbbbbbbb", "gbbbbbbbbb",
    "ggbbbbbbbb", "gggbbbbbbb", "gggbbbbbbb", "ggggbbbbbb",
};
constexpr const char* kEndCap[kStripHeight] = {
    "gggggggggg", "bbbbbbtggg", "bbbbbbbtgg", "bbbbbbbbst", "bbbbbbbbst", "bbbbbbbbst",
    "bbbbbbbbst", "bbbbbbbbst", "bbbbbbbbst", "bbbbbbbbst", "bbbbbbbbst", "bbbbbbbbst",
    "bbbbbbbstg", "bbbbbbstgg", "bbbbbbstgg", "bbbbbttggg",
};

constexpr uint32_t Darken(uint32_t rgb, int by) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int c = static_cast<int>((rgb >> shift) & 0xFF) - by;
        out |= static_cast<uint32_t>(c < 0 ? 0 : c) << shift;
    }
    return out;
}

constexpr uint32_t CapPixel(char code, int row) {
    switch (code) {
        case 'b':
            return kBody[row];
        case 's':
            return Darken(kGroove[row], 0x38);
        case 't':
            return Darken(kGroove[row], 0x1C);
        default:
            return kGroove[row];
    }
}

constexpr uint32_t PixelAt(int x, int y) {
    const int tile = x / kStripTileWidth;
    const int column = x % kStripTileWidth;
    switch (tile) {
        case 2:
            return CapPixel(kStartCap[y][column], y);
        case 3:
        case 4:
            return kBody[y];
        case 5:
            return CapPixel(kEndCap[y][column], y);
        default:
            return kGroove[y];
    }
}

constexpr std::array<uint8_t, kStripBytesPerRow * kStripHeight> MakeStrip() {
    std::array<uint8_t, kStripBytesPerRow * kStripHeight> bits{};
    for (int y = 0; y < kStripHeight; ++y) {
        for (int x = 0; x < kStripWidth; ++x) {
            const uint32_t rgb = PixelAt(x, y);
            const int at = y * kStripBytesPerRow + x * 4;
            bits[at + 0] = static_cast<uint8_t>(rgb & 0xFF);
            bits[at + 1] = static_cast<uint8_t>((rgb >> 8) & 0xFF);
            bits[at + 2] = static_cast<uint8_t>((rgb >> 16) & 0xFF);
            bits[at + 3] = 0xFF;
        }
    }
    return bits;
}

constexpr auto kStripBits = MakeStrip();

}  // namespace

const std::array<uint8_t, kStripBytesPerRow * kStripHeight>& BuiltInStripBits() {
    return kStripBits;
}

uint32_t StripGrooveRow(int row) {
    return kGroove[row];
}
uint32_t StripBodyRow(int row) {
    return kBody[row];
}

}  // namespace meter
