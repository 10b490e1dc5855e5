#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace platform::storage {

// One line of a mountinfo table, with the escapes (\040 and friends) already decoded.
struct MountEntry {
    std::string source;      // "/dev/sdb1", "tmpfs"
    std::string target;      // the mount point
    std::string fsRoot;      // the folder of the file system mounted there; not "/" for bind mounts
    std::string fsType;      // "ext4", "vfat"
    dev_t devno = 0;         // the file system's device number (the major:minor field)
    int mountId = 0;         // the kernel's id of this mount
    std::string vfsOptions;  // per-mount options: "rw,nosuid,relatime"
    std::string fsOptions;   // the file system's own options: "rw,errors=remount-ro"
};

// The mount table of a process, in mount order, read with libmount.
class MountTable {
  public:
    MountTable() = default;
    explicit MountTable(std::vector<MountEntry> entries) : entries_(std::move(entries)) {}

    // Parses a table in mountinfo format (/proc/self/mountinfo or a recorded copy);
    // nothing when the file cannot be read or parsed.
    static std::optional<MountTable> Load(const std::string& path);

    const std::vector<MountEntry>& entries() const { return entries_; }
    std::vector<MountEntry>& entries() { return entries_; }

    // The mount that holds the absolute, resolved path: the deepest mount point on the path,
    // and of several mounts on the same point the last (the visible one). Null when none.
    const MountEntry* Holding(const std::string& resolvedPath) const;

  private:
    std::vector<MountEntry> entries_;
};

// Whether the absolute path is the folder itself or lies inside it.
bool IsAtOrInside(const std::string& path, const std::string& folder);

}  // namespace platform::storage
