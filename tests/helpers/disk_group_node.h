#pragma once

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace testing_support {

// The disk group's number (6 on Debian).
inline gid_t DiskGroup() {
    const group* disk = ::getgrnam("disk");
    return disk != nullptr ? disk->gr_gid : 6;
}

// A test's device node made to belong to root and the disk group, which may read and write it,
// as udev makes a stick's node; its owner and mode come back when this goes.
class DiskGroupNode {
  public:
    explicit DiskGroupNode(std::string node) : node_(std::move(node)) {
        ok_ = ::stat(node_.c_str(), &before_) == 0 && ::chown(node_.c_str(), 0, DiskGroup()) == 0 &&
              ::chmod(node_.c_str(), 0660) == 0;
    }
    ~DiskGroupNode() {
        if (::chown(node_.c_str(), before_.st_uid, before_.st_gid) != 0 ||
            ::chmod(node_.c_str(), before_.st_mode & 07777) != 0) {
            return;  // the node went with its device
        }
    }
    DiskGroupNode(const DiskGroupNode&) = delete;
    DiskGroupNode& operator=(const DiskGroupNode&) = delete;
    bool ok() const { return ok_; }

  private:
    std::string node_;
    struct stat before_ {};
    bool ok_ = false;
};

}  // namespace testing_support
