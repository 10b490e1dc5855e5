#pragma once

#include <cstdint>

#include "system_defs/gdi_types.h"

// Raster operation of BitBlt / StretchBlt; only a plain copy is supported.
inline constexpr uint32_t SRCCOPY = 0x00CC0020u;

// Background modes (SetBkMode).
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Stretch modes (SetStretchBltMode). HALFTONE averages source pixels; the others pick the
// nearest source pixel.
inline constexpr int BLACKONWHITE = 1;
inline constexpr int WHITEONBLACK = 2;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;

// Device capability indexes (GetDeviceCaps).
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;

// Stock objects (SelectStockObject).
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;

// DrawText format flags.
inline constexpr uint32_t DT_LEFT = 0x0000;
inline constexpr uint32_t DT_TOP = 0x0000;
inline constexpr uint32_t DT_CENTER = 0x0001;
inline constexpr uint32_t DT_RIGHT = 0x0002;
inline constexpr uint32_t DT_VCENTER = 0x0004;
inline constexpr uint32_t DT_BOTTOM = 0x0008;
inline constexpr uint32_t DT_WORDBREAK = 0x0010;
inline constexpr uint32_t DT_SINGLELINE = 0x0020;
inline constexpr uint32_t DT_NOCLIP = 0x0100;
inline constexpr uint32_t DT_CALCRECT = 0x0400;
inline constexpr uint32_t DT_NOPREFIX = 0x0800;

// Image types and load flags (LoadImage).
inline constexpr uint32_t IMAGE_BITMAP = 0;
inline constexpr uint32_t IMAGE_ICON = 1;
inline constexpr uint32_t LR_DEFAULTCOLOR = 0x0000;
inline constexpr uint32_t LR_LOADTRANSPARENT = 0x0020;
inline constexpr uint32_t LR_LOADMAP3DCOLORS = 0x1000;

// Image list creation flags and draw styles.
inline constexpr uint32_t ILC_MASK = 0x0001;
inline constexpr uint32_t ILC_COLOR32 = 0x0020;
inline constexpr uint32_t ILD_NORMAL = 0x0000;
inline constexpr uint32_t ILD_TRANSPARENT = 0x0001;

inline constexpr uint32_t BI_RGB = 0;
inline constexpr uint32_t CBM_INIT = 4;
inline constexpr uint32_t DIB_RGB_COLORS = 0;

// System colour indexes (GetSysColor).
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_3DFACE = COLOR_BTNFACE;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;

// Standard cursor ids.
inline constexpr int IDC_ARROW = 32512;
inline constexpr int IDC_WAIT = 32514;

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;
