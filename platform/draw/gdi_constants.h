#pragma once

// Numeric constants of the drawing services (raster operations, background and stretch modes,
// device capabilities, stock objects, DrawText flags, image loading and image lists): the
// system's own on Windows, ours with the same values elsewhere.
#include "system_defs/gdi_constants.h"
