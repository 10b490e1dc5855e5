#pragma once

// SYSTEMTIME, FILETIME, GetLocalTime, SystemTimeToFileTime and FileTimeToSystemTime are the
// system's own.
#include "system_defs/windows_h.h"
