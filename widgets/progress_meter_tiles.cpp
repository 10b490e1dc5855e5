#include <cstring>
#include <memory>
#include <new>

#include "platform/draw/dc.h"
#include "platform/draw/dib.h"
#include "platform/draw/gdi_constants.h"
#include "platform/window/client_dc.h"
#include "widgets/progress_meter.h"
#include "widgets/progress_meter_strip.h"

namespace {

constexpr COLORREF kMaskColour = RGB(0, 255, 255);

std::unique_ptr<uint8_t[]> AllocateBits(const BITMAP& bm) {
    const size_t size = static_cast<size_t>(bm.bmWidthBytes) * static_cast<size_t>(bm.bmHeight);
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size > 0 ? size : 1]);
}

// Copies the whole of source onto destination, both bitmaps of the same size.
void DrawBitmapOnto(CBitmap* destination, CBitmap* source, CDC* reference, int width, int height) {
    CDC from;
    CDC to;
    from.CreateCompatibleDC(reference);
    to.CreateCompatibleDC(reference);
    CBitmap* oldFrom = from.SelectObject(source);
    CBitmap* oldTo = to.SelectObject(destination);
    to.BitBlt(0, 0, width, height, &from, 0, 0, SRCCOPY);
    to.SelectObject(oldTo);
    from.SelectObject(oldFrom);
}

// Turns each tile of a horizontal strip (width x thickness, tiles tileWidth wide) on its side:
// tile k becomes the k-th block of thickness columns of to, its x running down.
void TransposeTiles(CDC* to, CDC* from, int width, int thickness, int tileWidth) {
    for (int i = 0; i < thickness; ++i) {
        for (int j = 0; j < width; ++j) {
            to->SetPixel((j / tileWidth) * thickness + i, j % tileWidth, from->GetPixel(j, i));
        }
    }
}

}  // namespace

bool ProgressMeter::PrepareTiles(CBitmap* tiles, bool refresh) {
    paintedRect.SetRectEmpty();
    CRect placement;
    if (!GetPlacement(placement)) {
        return false;
    }
    CClientDC dc(this);

    sourceBitmap = std::make_unique<CBitmap>();
    screenBitmap = std::make_unique<CBitmap>();
    // A bitmap object without a bitmap counts as no tiles at all.
    if (tiles != nullptr && *tiles) {
        CopyBitmap(sourceBitmap.get(), tiles);
    } else {
        sourceBitmap->CreateBitmap(meter::kStripWidth, meter::kStripHeight, 1, 32,
                                   meter::BuiltInStripBits().data());
    }
    ConvertToScreenDepth(screenBitmap.get(), sourceBitmap.get(), &dc);

    BITMAP screen;  // stays all zero when the bitmap is empty
    screenBitmap->GetBitmap(&screen);
    const int ws = screen.bmWidth;
    const int hs = screen.bmHeight;
    tileWidth = ws / 9;
    tileHeight = hs;

    tileStrip = std::make_unique<CBitmap>();
    const int thickness = vertical ? placement.Width() - 2 : placement.Height() - 2;
    // A strip narrower than nine pixels has no tiles; leave the strip empty.
    if (tileWidth > 0 && thickness > 0) {
        CBitmap transposeSource;
        CBitmap* stretched = tileStrip.get();
        if (vertical) {
            transposeSource.CreateCompatibleBitmap(&dc, ws, thickness);
            tileStrip->CreateCompatibleBitmap(&dc, thickness * 9, tileWidth);
            stretched = &transposeSource;
        } else {
            tileStrip->CreateCompatibleBitmap(&dc, ws, thickness);
        }

        CDC from;
        CDC to;
        from.CreateCompatibleDC(&dc);
        to.CreateCompatibleDC(&dc);
        CBitmap* oldFrom = from.SelectObject(screenBitmap.get());
        CBitmap* oldTo = to.SelectObject(stretched);
        to.SetStretchBltMode(HALFTONE);
        to.StretchBlt(0, 0, ws, thickness, &from, 0, 0, ws, hs, SRCCOPY);

        if (vertical) {
            from.SelectObject(stretched);
            to.SelectObject(tileStrip.get());
            TransposeTiles(&to, &from, ws, thickness, tileWidth);
        }
        to.SelectObject(oldTo);
        from.SelectObject(oldFrom);
        // The temporary bitmap of a vertical meter goes with this scope.
    }

    BITMAP strip;
    tileStrip->GetBitmap(&strip);
    tileWidth = strip.bmWidth / 9;
    tileHeight = strip.bmHeight;

    tileList = std::make_unique<CImageList>();
    if (!tileList->Create(tileWidth, tileHeight, ILC_COLOR32, 0, 0)) {
        return false;
    }
    tileList->Add(tileStrip.get(), kMaskColour);
    if (refresh) {
        Refresh();
    }
    return true;
}

bool ProgressMeter::CopyBitmap(CBitmap* destination, CBitmap* source) {
    if (destination == nullptr || source == nullptr) {
        return false;
    }
    BITMAP bm;
    if (source->GetBitmap(&bm) == 0) {
        return false;
    }
    const std::unique_ptr<uint8_t[]> bits = AllocateBits(bm);
    if (!bits) {
        return false;
    }
    source->GetBitmapBits(static_cast<uint32_t>(bm.bmWidthBytes * bm.bmHeight), bits.get());
    bm.bmBits = bits.get();
    if (!destination->CreateBitmapIndirect(&bm) && !*destination) {
        // Device bitmaps are made in the screen's depth only (and a palette bitmap's colours
        // live beside its bits): a bitmap of another depth is duplicated as it is.
        destination->Attach(CopyBitmapHandle(source->GetSafeHandle()));
    }
    return static_cast<bool>(*destination);
}

void ProgressMeter::ConvertToScreenDepth(CBitmap* destination, CBitmap* source, CDC* dc) {
    BITMAP bm;
    if (destination == nullptr || source == nullptr || source->GetBitmap(&bm) == 0) {
        return;
    }
    if (dc->GetDeviceCaps(BITSPIXEL) == bm.bmBitsPixel) {
        CopyBitmap(destination, source);
        return;
    }
    if (bm.bmBitsPixel <= 8) {
        // Bits alone carry no colours for a palette bitmap: draw it with its own palette.
        if (destination->CreateCompatibleBitmap(dc, bm.bmWidth, bm.bmHeight)) {
            DrawBitmapOnto(destination, source, dc, bm.bmWidth, bm.bmHeight);
        }
        return;
    }

    const std::unique_ptr<uint8_t[]> bits = AllocateBits(bm);
    if (!bits) {
        return;
    }
    source->GetBitmapBits(static_cast<uint32_t>(bm.bmWidthBytes * bm.bmHeight), bits.get());
    // Device rows are padded to 2 bytes, device-independent rows to 4.
    const int dibStride = ((bm.bmWidth * bm.bmBitsPixel + 31) / 32) * 4;
    const size_t dibSize = static_cast<size_t>(dibStride) * static_cast<size_t>(bm.bmHeight);
    const std::unique_ptr<uint8_t[]> dibBits(new (std::nothrow) uint8_t[dibSize > 0 ? dibSize : 1]);
    if (!dibBits) {
        return;
    }
    std::memset(dibBits.get(), 0, dibSize);
    const int rowBytes = std::min(dibStride, static_cast<int>(bm.bmWidthBytes));
    for (int y = 0; y < bm.bmHeight; ++y) {
        std::memcpy(dibBits.get() + static_cast<size_t>(y) * dibStride,
                    bits.get() + static_cast<size_t>(y) * bm.bmWidthBytes, rowBytes);
    }

    BITMAPINFO info;
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = bm.bmPlanes;
    info.bmiHeader.biBitCount = bm.bmBitsPixel;
    info.bmiHeader.biCompression = BI_RGB;
    CBitmap intermediate;
    intermediate.Attach(
        CreateDIBitmap(dc, &info.bmiHeader, CBM_INIT, dibBits.get(), &info, DIB_RGB_COLORS));
    CopyBitmap(destination, &intermediate);
    intermediate.DeleteObject();
}
