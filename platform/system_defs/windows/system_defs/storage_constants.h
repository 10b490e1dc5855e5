#pragma once

// The drive types (DRIVE_REMOVABLE ...), access rights, sharing modes and flags (GENERIC_READ,
// FILE_SHARE_READ, FILE_FLAG_NO_BUFFERING ...) and the bus types of the storage-property query
// (BusTypeUsb ...) are the system's own.
#include "system_defs/windows_h.h"

namespace platform::storage {
// What GetDriveType returns: one of the system's DRIVE_ values.
using DriveType = UINT;
// The bus a storage device hangs on.
using BusType = STORAGE_BUS_TYPE;
}  // namespace platform::storage
