#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace platform::storage {

// The largest transfer the block device devno takes as one request, from its queue limits in
// sysfs (max_sectors_kb, and max_segments pages of memory), at most largest and at least one
// page. A larger transfer is split on its way down, which also sends an asynchronous one to a
// kernel worker instead of straight to the device. largest when the limits cannot be read.
size_t LargestRequest(const std::string& sysRoot, dev_t devno, size_t largest);

}  // namespace platform::storage
