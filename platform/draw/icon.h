#pragma once

// HICON: the system's own on Windows, ours elsewhere.
#include "system_defs/gdi_types.h"

// Loads icon resource id (all its images); empty when there is none or it cannot be parsed.
HICON LoadIconResource(unsigned resourceId);
