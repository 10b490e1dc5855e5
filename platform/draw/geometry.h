#pragma once

#include <cstdint>

// COLORREF, RGB and RECT: the system's own on Windows, ours elsewhere.
#include "system_defs/gdi_types.h"

// Points, sizes and rectangles as the window and drawing services exchange them. Rectangles are
// half-open: right and bottom lie just outside.

struct CPoint {
    int x = 0;
    int y = 0;
    constexpr CPoint() = default;
    constexpr CPoint(int x, int y) : x(x), y(y) {}
    friend constexpr bool operator==(const CPoint&, const CPoint&) = default;
};

struct CSize {
    int cx = 0;
    int cy = 0;
    constexpr CSize() = default;
    constexpr CSize(int cx, int cy) : cx(cx), cy(cy) {}
    friend constexpr bool operator==(const CSize&, const CSize&) = default;
};

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr CRect(const RECT& r)  // NOLINT: converts like the framework's, which derives from it
        : left(static_cast<int>(r.left)),
          top(static_cast<int>(r.top)),
          right(static_cast<int>(r.right)),
          bottom(static_cast<int>(r.bottom)) {}
    constexpr operator RECT() const { return RECT{left, top, right, bottom}; }

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr CSize Size() const { return {Width(), Height()}; }
    constexpr bool IsRectEmpty() const { return Width() <= 0 || Height() <= 0; }
    constexpr void SetRectEmpty() { left = top = right = bottom = 0; }
    constexpr void OffsetRect(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    constexpr void DeflateRect(int dx, int dy) {
        left += dx;
        right -= dx;
        top += dy;
        bottom -= dy;
    }
    friend constexpr bool operator==(const CRect&, const CRect&) = default;
};
