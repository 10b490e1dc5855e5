#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/draw/bitmap.h"
#include "platform/draw/font.h"
#include "platform/draw/gdi_constants.h"
#include "platform/draw/geometry.h"
#include "platform/draw/icon.h"

namespace platform::draw {
struct PaintTarget;  // the backend's drawing surface (platform/draw/qt/paint_target.h)
}

// A device context: drawing state (font, colours, background mode, stretch mode, brush) plus a
// target. The target is a window's surface during its paint, or, for a memory context, the
// bitmap selected into it. Each drawing call paints anew, so a bitmap may be read or changed
// between calls. Without a target, drawing does nothing but measuring still works. Texts are
// UTF-8.
class CDC {
  public:
    // A context without a target (CreateCompatibleDC or the window layer gives it one).
    CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    // Makes this a memory context compatible with reference (or the screen when null). Its
    // target is a 1 x 1 default bitmap until a bitmap is selected. False if already created.
    bool CreateCompatibleDC(CDC* reference);
    // Ends a memory context: drops the selected bitmap and the target. False when none.
    bool DeleteDC();
    // The context's handle, as messages carry it (WM_ERASEBKGND, DRAWITEMSTRUCT), and the context
    // of a handle; FromHandle gives null for a handle no live context has.
    HDC GetSafeHdc() const;
    static CDC* FromHandle(HDC hdc);

    // True for a memory context made by CreateCompatibleDC and not deleted yet.
    bool IsMemoryDC() const { return memory_; }

    // True when drawing reaches a surface: a window's, or the selected bitmap.
    bool HasTarget() const;
    // The surface of a context that is no memory context; for the backend (window layer: attach
    // during a paint event, detach after).
    platform::draw::PaintTarget& Target() const { return *target_; }

    // Selects a bitmap into a memory context; returns the bitmap it replaced (the default bitmap
    // first), or null when this is not a memory context or the bitmap is empty.
    CBitmap* SelectObject(CBitmap* bitmap);
    // Selects a font; returns the one it replaced (a default font object first).
    CFont* SelectObject(CFont* font);
    // Selects a stock object (only brushes); returns the brush it replaced.
    CGdiObject* SelectStockObject(int stockId);
    CFont* GetCurrentFont() const { return state_.font; }
    CBitmap* GetCurrentBitmap() const { return state_.bitmap; }

    // Saves the drawing state (selections, colours, modes); returns its level (>= 1).
    int SaveDC();
    // Restores the state of level savedLevel, or the most recent for -1, dropping later saves.
    // False when there is no such level.
    bool RestoreDC(int savedLevel);

    int SetBkMode(int mode);  // TRANSPARENT or OPAQUE; returns the previous mode
    int GetBkMode() const { return state_.bkMode; }
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const { return state_.bkColour; }
    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return state_.textColour; }
    int SetStretchBltMode(int mode);
    int GetStretchBltMode() const { return state_.stretchMode; }

    // BITSPIXEL (always 32), PLANES (1), LOGPIXELSX/Y (96); 0 for other indexes.
    int GetDeviceCaps(int index) const;

    // Fills rect with colour and, like the system's, leaves colour as the background colour.
    void FillSolidRect(const CRect& rect, COLORREF colour);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);

    // Copies width x height pixels from source at (xSrc, ySrc) to (x, y); only SRCCOPY. False
    // when either context has no target or the raster operation is another.
    bool BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, uint32_t rop);
    // Scales source's srcWidth x srcHeight at (xSrc, ySrc) onto width x height at (x, y). HALFTONE
    // averages the covered source pixels; other modes take the nearest pixel.
    bool StretchBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc,
                    int srcWidth, int srcHeight, uint32_t rop);

    COLORREF GetPixel(int x, int y) const;  // CLR_INVALID outside the target
    COLORREF SetPixel(int x, int y, COLORREF colour);

    // Draws text into *rect with the DT_ flags (alignment, DT_SINGLELINE, DT_VCENTER/DT_BOTTOM,
    // DT_WORDBREAK wrapping at blanks, DT_NOPREFIX, DT_NOCLIP) in the text colour and font; with
    // OPAQUE mode the text cells are filled with the background colour. With DT_CALCRECT nothing
    // is drawn: rect's right and bottom are set to bound the text. Returns the text height.
    int DrawText(std::string_view text, CRect* rect, uint32_t format);
    // Width and height (line height) of a single line of text in the current font.
    CSize GetTextExtent(std::string_view text) const;

    // Draws the icon's 32 x 32 image with its top-left corner at (x, y).
    bool DrawIcon(int x, int y, const HICON& icon);

  private:
    struct State {
        CBitmap* bitmap = nullptr;
        CFont* font = nullptr;
        CGdiObject* brush = nullptr;
        int bkMode = OPAQUE;
        COLORREF bkColour = RGB(255, 255, 255);
        COLORREF textColour = RGB(0, 0, 0);
        int stretchMode = BLACKONWHITE;
    };

    std::unique_ptr<platform::draw::PaintTarget> target_;
    bool memory_ = false;
    State state_;
    std::vector<State> saved_;
    std::unique_ptr<CBitmap> defaultBitmap_;
    std::unique_ptr<CFont> defaultFont_;
    std::unique_ptr<CBrush> defaultBrush_;
    std::unique_ptr<CBrush> nullBrush_;
};
