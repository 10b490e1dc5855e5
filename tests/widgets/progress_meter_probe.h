#pragma once

#include <utility>
#include <vector>

#include "widgets/progress_meter.h"

// Reads the meter's private state and records the tiles its paints draw.
struct ProgressMeterProbe {
    struct Tile {
        int tile;
        int offset;
        friend bool operator==(const Tile&, const Tile&) = default;
    };

    explicit ProgressMeterProbe(ProgressMeter& meter) : meter(meter) {
        meter.tileObserver = [this](int tile, int offset) { drawn.push_back({tile, offset}); };
    }
    ~ProgressMeterProbe() { meter.tileObserver = nullptr; }
    ProgressMeterProbe(const ProgressMeterProbe&) = delete;
    ProgressMeterProbe& operator=(const ProgressMeterProbe&) = delete;

    int StartPx() const { return meter.startPx; }
    int PosPx() const { return meter.posPx; }
    int TrackEnd() const { return meter.trackEnd; }
    int Pos() const { return meter.pos; }
    int TileWidth() const { return meter.tileWidth; }
    int TileHeight() const { return meter.tileHeight; }
    bool Vertical() const { return meter.vertical; }
    const std::string& ShownText() const { return meter.shownText; }
    CBitmap* BackBuffer() const { return meter.backBuffer.get(); }
    CBitmap* ScreenBitmap() const { return meter.screenBitmap.get(); }
    CBitmap* TileStrip() const { return meter.tileStrip.get(); }
    CImageList* TileList() const { return meter.tileList.get(); }
    UINT_PTR Identity() const { return meter.Identity(); }
    // Forgets the last picture so that the next paint builds it whole.
    void ForgetPicture() { meter.paintedRect.SetRectEmpty(); }

    ProgressMeter& meter;
    std::vector<Tile> drawn;
};
