#pragma once

#include "platform/draw/geometry.h"

// The system colour indexes (COLOR_BTNFACE ...) and GetSysColor, the colour of a system element:
// the system's own on Windows; elsewhere taken from the application's Qt palette (fixed classic
// colours when no application object exists), black for unknown indexes.
#include "system_defs/gdi_constants.h"
