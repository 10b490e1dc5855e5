#pragma once

namespace platform::storage {

// Whether this process may mount and unmount file systems itself (it holds CAP_SYS_ADMIN, as
// root does); a member of the disk group may open disks, but not that.
bool MayMountFileSystems();

}  // namespace platform::storage
