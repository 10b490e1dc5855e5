#pragma once

#include <string>
#include <vector>

#include "inventory/drive_entries.h"
#include "platform/storage/drive_description.h"

// Why the target list leaves out each present disk, one line per disk under a heading, e.g.
// "/dev/sda (ATA Samsung SSD 870): its volumes add up to 500107608 KB (512.1 GB), more than 2 GB".
// A disk the scan filed is left out when its volumes add up to more than 2 GB; one it did not file,
// for the storage's reason. "No disk was found." when there is no disk at all; empty when every
// disk is offered. Shown as the target list's tooltip.
std::string UnofferedDrivesText(const std::vector<platform::storage::DriveDescription>& disks,
                                const DriveMap& drives);
