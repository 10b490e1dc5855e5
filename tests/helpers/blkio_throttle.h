#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

// Slows this process's reads and writes of one block device down to a stick's speed with the
// cgroup v1 blkio controller: a group of its own carries the limits and the process is moved
// into it. The destructor moves the process back and removes the group, also when a test failed
// half-way. Only unbuffered (O_DIRECT) transfers are held to the limits.
class BlkioThrottle {
  public:
    BlkioThrottle(const std::string& deviceNode, uint64_t writeBytesPerSecond,
                  uint64_t readBytesPerSecond);
    ~BlkioThrottle();
    BlkioThrottle(const BlkioThrottle&) = delete;
    BlkioThrottle& operator=(const BlkioThrottle&) = delete;

    // Empty when the limits hold; otherwise why not, worded as the reason for skipping a test.
    const std::string& failure() const { return failure_; }
    bool ok() const { return failure_.empty(); }

  private:
    std::string failure_;
    std::string group_;     // the group made for the limits
    std::string previous_;  // the group the process was in
    bool moved_ = false;
};

}  // namespace testing_support
