#include "tests/helpers/blkio_throttle.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

namespace testing_support {

namespace {

constexpr char kBlkio[] = "/sys/fs/cgroup/blkio";

bool WriteLine(const std::string& path, const std::string& line) {
    std::ofstream out(path);
    out << line << '\n';
    out.flush();
    return static_cast<bool>(out);
}

// The process's blkio group, as a folder of the controller ("" for its root).
std::string CurrentGroup() {
    std::ifstream in("/proc/self/cgroup");
    std::string line;
    while (std::getline(in, line)) {
        // "4:blkio:/some/group"; the controller may share its line with others.
        const size_t first = line.find(':');
        const size_t second = line.find(':', first + 1);
        if (first == std::string::npos || second == std::string::npos) {
            continue;
        }
        std::stringstream controllers(line.substr(first + 1, second - first - 1));
        std::string name;
        while (std::getline(controllers, name, ',')) {
            if (name == "blkio") {
                const std::string path = line.substr(second + 1);
                return std::string(kBlkio) + (path == "/" ? "" : path);
            }
        }
    }
    return kBlkio;
}

}  // namespace

BlkioThrottle::BlkioThrottle(const std::string& deviceNode, uint64_t writeBytesPerSecond,
                             uint64_t readBytesPerSecond) {
    struct stat st {};
    if (::geteuid() != 0) {
        failure_ = "throttling a device needs root";
        return;
    }
    if (::stat(deviceNode.c_str(), &st) != 0 || !S_ISBLK(st.st_mode)) {
        failure_ = deviceNode + " is not a block device";
        return;
    }
    if (::access((std::string(kBlkio) + "/cgroup.procs").c_str(), W_OK) != 0) {
        failure_ = "no cgroup v1 blkio controller at " + std::string(kBlkio);
        return;
    }
    static std::atomic<int> count{0};
    previous_ = CurrentGroup();
    group_ = std::string(kBlkio) + "/sectorsmith-test-" + std::to_string(::getpid()) + "-" +
             std::to_string(count++);
    if (::mkdir(group_.c_str(), 0755) != 0) {
        failure_ = "cannot make the blkio group " + group_;
        group_.clear();
        return;
    }
    const std::string device =
        std::to_string(major(st.st_rdev)) + ":" + std::to_string(minor(st.st_rdev)) + " ";
    if (!WriteLine(group_ + "/blkio.throttle.write_bps_device",
                   device + std::to_string(writeBytesPerSecond)) ||
        !WriteLine(group_ + "/blkio.throttle.read_bps_device",
                   device + std::to_string(readBytesPerSecond))) {
        failure_ = "the blkio group does not take limits for " + deviceNode;
        return;
    }
    moved_ = WriteLine(group_ + "/cgroup.procs", std::to_string(::getpid()));
    if (!moved_) {
        failure_ = "cannot move the test into the blkio group";
    }
}

BlkioThrottle::~BlkioThrottle() {
    if (moved_) {
        WriteLine(previous_ + "/cgroup.procs", std::to_string(::getpid()));
    }
    if (!group_.empty()) {
        ::rmdir(group_.c_str());
    }
}

}  // namespace testing_support
