#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "inventory/drive_entries.h"
#include "platform/storage/drive_description.h"

// The text that lets the operator recognise a drive: its device, model, transport and capacity,
// then one line per letter of entry with its mount point, file system and label. Shown as the
// target list's tooltip and in the details of the restore confirmation.
std::string DriveDetailsText(const PhysicalDriveEntry& entry,
                             const std::optional<platform::storage::DriveDescription>& description);

// A byte count for reading: "2.0 GB (2002780160 bytes)", decimal units, one decimal place (the
// storage layer's ByteCountText, which its own messages use too).
std::string CapacityText(uint64_t bytes);
// The same without the exact count: "2.0 GB"; "999 bytes" below a kilobyte.
std::string RoundedSizeText(uint64_t bytes);

// A drive named in one line by its device and model: "/dev/sdb (SanDisk Cruzer Blade)".
std::string DriveNameText(const platform::storage::DriveDescription& description);
