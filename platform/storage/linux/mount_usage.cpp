#include "platform/storage/linux/mount_usage.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace platform::storage {

namespace {

bool OnDevice(const std::string& path, dev_t devno) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && info.st_dev == devno;
}

bool IsProcessDir(const std::filesystem::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

bool MountUsage::IsHeld(const MountEntry& mount, const MountTable& table,
                        const std::string& procRoot) {
    if (HasMountsBeneath(mount, table)) {
        return true;
    }
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(procRoot, error)) {
        if (IsProcessDir(entry) && ProcessUses(entry.path().string(), mount.devno)) {
            return true;
        }
    }
    return false;
}

std::string MountUsage::Holders(const MountEntry& mount, const std::string& procRoot) {
    struct stat mounted {};
    // The file system's own number, as its files show it (a btrfs subvolume's is anonymous).
    const dev_t devno = ::stat(mount.target.c_str(), &mounted) == 0 ? mounted.st_dev : mount.devno;
    std::string holders;
    bool hidden = false;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(procRoot, error)) {
        if (!IsProcessDir(entry)) {
            continue;
        }
        const std::string dir = entry.path().string();
        struct stat cwd {};
        if (::stat((dir + "/cwd").c_str(), &cwd) != 0 && errno == EACCES) {
            hidden = true;
        } else if (ProcessUses(dir, devno)) {
            std::ifstream comm(dir + "/comm");
            std::string name;
            std::getline(comm, name);
            holders += (holders.empty() ? "" : ", ") + name + " (pid " +
                       entry.path().filename().string() + ")";
        }
    }
    if (!holders.empty()) {
        return holders;
    }
    return hidden ? "a process of another user"
                  : "no process (something of the kernel's: a swap file, a loop device or an "
                    "export on it)";
}

bool MountUsage::HasMountsBeneath(const MountEntry& mount, const MountTable& table) {
    const std::string prefix = mount.target == "/" ? "/" : mount.target + "/";
    for (const MountEntry& other : table.entries()) {
        if (other.mountId != mount.mountId && other.target.size() > prefix.size() &&
            other.target.compare(0, prefix.size(), prefix) == 0) {
            return true;
        }
    }
    return false;
}

bool MountUsage::ProcessUses(const std::string& processDir, dev_t devno) {
    if (OnDevice(processDir + "/cwd", devno) || OnDevice(processDir + "/root", devno)) {
        return true;
    }
    std::error_code error;
    for (const auto& fd : std::filesystem::directory_iterator(processDir + "/fd", error)) {
        if (OnDevice(fd.path().string(), devno)) {
            return true;
        }
    }
    return MapsUse(processDir + "/maps", devno);
}

bool MountUsage::MapsUse(const std::string& mapsPath, dev_t devno) {
    std::ifstream maps(mapsPath);
    std::string line;
    while (std::getline(maps, line)) {
        // "start-end perms offset major:minor inode path", the device numbers in hex.
        std::istringstream fields(line);
        std::string range, perms, offset, device;
        unsigned major = 0, minor = 0;
        if (fields >> range >> perms >> offset >> device &&
            std::sscanf(device.c_str(), "%x:%x", &major, &minor) == 2 &&
            makedev(major, minor) == devno) {
            return true;
        }
    }
    return false;
}

}  // namespace platform::storage
