#pragma once

#include <cstdint>

// Range arithmetic and bar geometry of the progress meter, free of any window or drawing type.
namespace meter {

// offset * extent / span in 64-bit signed arithmetic, truncated towards zero. An empty span
// (0) gives 0, so an empty range shows nothing done instead of dividing by zero.
int64_t ScaleBySpan(int64_t offset, int64_t extent, int64_t span);

// Percent of the range done at pos: (pos - lower) * 100 / (upper - lower), truncated; 0 for an
// empty range.
int PercentDone(int pos, int lower, int upper);

// Pixel offsets along the bar's axis: start cap, end cap, and the last tile of the track.
struct BarPixels {
    int startPx = 0;
    int posPx = 0;
    int trackEnd = 0;
    friend constexpr bool operator==(const BarPixels&, const BarPixels&) = default;
};

// Places the caps on a bar of `length` pixels made of tiles `tile` pixels long: the start cap
// at startPos, the end cap one tile further at pos, both kept on the track; `reversed` mirrors
// the bar so that it grows from the far end.
BarPixels ComputeBarPixels(int length, int tile, int lower, int upper, int startPos, int pos,
                           bool reversed);

}  // namespace meter
