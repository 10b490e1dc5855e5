#include "platform/draw/dc.h"
#include "platform/draw/gdi_constants.h"
#include "platform/window/paint_dc.h"
#include "widgets/progress_meter.h"

namespace {

// p moved down to a multiple of t (truncating remainder, as for negative offsets too).
int AlignDown(int p, int t) {
    return p - (p % t);
}

}  // namespace

void ProgressMeter::OnPaint() {
    CPaintDC dc(this);
    CDC memory;
    CRect client;
    UpdateGeometry(&client);
    const int t = TileLength();

    const bool sameSize = client.Size() == paintedRect.Size();
    if (!sameSize) {
        backBuffer = std::make_unique<CBitmap>();
        backBuffer->CreateCompatibleBitmap(&dc, client.Width(), client.Height());
    }
    memory.CreateCompatibleDC(&dc);
    CBitmap* old = memory.SelectObject(backBuffer.get());
    // Without tiles there is nothing to place (and no tile length to step by).
    if (t > 0) {
        if (sameSize) {
            PaintIncrementalUpdate(&memory);
        } else {
            PaintFullPicture(&memory, client);
        }
    }
    dc.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
    if (old != nullptr) {
        memory.SelectObject(old);
    }
    memory.DeleteDC();
}

void ProgressMeter::DrawTile(CDC* dc, int k, int p) {
    if (tileObserver) {
        tileObserver(k, p);
    }
    if (tileList) {
        tileList->Draw(dc, k, vertical ? CPoint(0, p) : CPoint(p, 0), ILD_NORMAL);
    }
}

void ProgressMeter::PaintFullPicture(CDC* dc, const CRect& client) {
    const int t = TileLength();
    int p = AlignDown(trackEnd, t);
    for (; p > posPx; p -= t) {
        DrawTile(dc, 7, p);
    }
    drawnPosPx = posPx;
    for (p = AlignDown(p, t); p >= startPx; p -= t) {
        DrawTile(dc, 4, p);
    }
    drawnStartPx = startPx;
    for (p = AlignDown(p, t); p >= t; p -= t) {
        DrawTile(dc, 7, p);
    }
    DrawTile(dc, 3, (startPx + posPx) / 2);
    if (startPx > t) {
        DrawTile(dc, 1, startPx - t);
    }
    if (posPx < trackEnd - t) {
        DrawTile(dc, 6, posPx + t);
    }
    DrawTile(dc, 0, 0);
    DrawTile(dc, 8, trackEnd);
    DrawTile(dc, 2, startPx);
    DrawTile(dc, 5, posPx);
    drawnTrackEnd = trackEnd;
    paintedRect = client;
}

void ProgressMeter::PaintIncrementalUpdate(CDC* dc) {
    const int t = TileLength();
    const bool posMoved = posPx != drawnPosPx;
    const bool startMoved = startPx != drawnStartPx;
    if (posMoved) {
        if (posPx < drawnPosPx) {
            DrawTile(dc, 7, drawnPosPx);
            for (int p = AlignDown(drawnPosPx, t); p > posPx; p -= t) {
                DrawTile(dc, 7, p);
            }
        } else {
            DrawTile(dc, 4, drawnPosPx);
            for (int p = AlignDown(drawnPosPx + t, t); p < posPx; p += t) {
                DrawTile(dc, 4, p);
            }
        }
    }
    if (startMoved) {
        if (startPx < drawnStartPx) {
            DrawTile(dc, 4, drawnStartPx);
            for (int p = AlignDown(drawnStartPx, t); p > startPx; p -= t) {
                DrawTile(dc, 4, p);
            }
        } else {
            DrawTile(dc, 7, drawnStartPx);
            for (int p = AlignDown(drawnStartPx + t, t); p < startPx; p += t) {
                DrawTile(dc, 7, p);
            }
        }
    }
    if (posMoved || startMoved) {
        DrawTile(dc, 3, (startPx + posPx) / 2);
    }
    if (startMoved && startPx > t) {
        DrawTile(dc, 1, startPx - t);
    }
    if (posMoved && posPx < trackEnd - t) {
        DrawTile(dc, 6, posPx + t);
    }
    if (startMoved && startPx < 2 * t) {
        DrawTile(dc, 0, 0);
    }
    if (posMoved && posPx > trackEnd - 2 * t) {
        DrawTile(dc, 8, trackEnd);
    }
    if (startMoved || posPx < startPx + 2 * t) {
        drawnStartPx = startPx;
        DrawTile(dc, 2, startPx);
    }
    if (posMoved || startPx > posPx - 2 * t) {
        drawnPosPx = posPx;
        DrawTile(dc, 5, posPx);
    }
    drawnTrackEnd = trackEnd;
}
