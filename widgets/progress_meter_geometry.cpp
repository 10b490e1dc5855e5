#include "widgets/progress_meter_geometry.h"

namespace meter {

int64_t ScaleBySpan(int64_t offset, int64_t extent, int64_t span) {
    if (span == 0) {
        return 0;
    }
    return offset * extent / span;
}

int PercentDone(int pos, int lower, int upper) {
    return static_cast<int>(ScaleBySpan(int64_t{pos} - lower, 100, int64_t{upper} - lower));
}

BarPixels ComputeBarPixels(int length, int tile, int lower, int upper, int startPos, int pos,
                           bool reversed) {
    const int64_t span = int64_t{upper} - lower;
    const int64_t usable = int64_t{length} - 2 * int64_t{tile};
    BarPixels bar;
    bar.trackEnd = length - tile;
    bar.posPx = tile + static_cast<int>(ScaleBySpan(int64_t{pos} - lower, usable, span));
    bar.startPx = static_cast<int>(ScaleBySpan(int64_t{startPos} - lower, usable, span));
    if (bar.posPx > bar.trackEnd) {
        bar.posPx = bar.trackEnd;
    }
    if (bar.startPx > bar.posPx - tile) {
        bar.startPx = bar.posPx - tile;
    }
    if (reversed) {
        const BarPixels straight = bar;
        bar.startPx = length - straight.posPx - tile;
        bar.posPx = length - straight.startPx - tile;
    }
    return bar;
}

}  // namespace meter
