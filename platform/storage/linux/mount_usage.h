#pragma once

#include <string>

#include "platform/storage/linux/mount_table.h"

namespace platform::storage {

// What an unprivileged process can find out about what keeps a mount busy.
class MountUsage {
  public:
    // Whether the mount is held: another mount lies beneath its mount point, or a process whose
    // /proc entry this process may read (its own user's; every process for root) has its working
    // folder, root, an open file or a mapped file on the mount's file system. Processes of other
    // users are invisible to an ordinary user, and a file system that is also mounted elsewhere
    // counts as held when it is used there.
    static bool IsHeld(const MountEntry& mount, const MountTable& table,
                       const std::string& procRoot = "/proc");

    // Who holds the mount, for a user: the processes this process may see ("bash (pid 4242),
    // less (pid 4250)"); "a process of another user" when only processes it may not look into
    // could; otherwise a note that no process holds it.
    static std::string Holders(const MountEntry& mount, const std::string& procRoot = "/proc");

  private:
    static bool HasMountsBeneath(const MountEntry& mount, const MountTable& table);
    static bool ProcessUses(const std::string& processDir, dev_t devno);
    static bool MapsUse(const std::string& mapsPath, dev_t devno);
};

}  // namespace platform::storage
