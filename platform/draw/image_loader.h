#pragma once

#include <cstdint>

#include "platform/draw/bitmap.h"
#include "platform/draw/gdi_constants.h"

// The module whose resources are loaded: the program itself.
HINSTANCE AfxGetResourceHandle();

// Loads bitmap resource id (IMAGE_BITMAP only; cx, cy 0 for the natural size) as a 32-bit
// device bitmap. LR_LOADTRANSPARENT maps the colour-table entry of the first pixel to the window
// colour, or with LR_LOADMAP3DCOLORS to the 3D face colour; LR_LOADMAP3DCOLORS maps the table
// entries RGB(128,128,128), (192,192,192), (223,223,223) to the 3D shadow, face and light
// colours. Empty handle when there is no such resource or it is no palette BMP.
HBITMAP LoadImage(HINSTANCE instance, unsigned resourceId, uint32_t type, int cx, int cy,
                  uint32_t flags);
