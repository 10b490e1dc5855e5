#include "platform/storage/linux/request_size.h"

#include <sys/sysmacros.h>

#include <algorithm>
#include <fstream>

namespace platform::storage {

namespace {

constexpr size_t kPage = 4096;

size_t ReadNumber(const std::string& path) {
    std::ifstream in(path);
    size_t value = 0;
    return in >> value ? value : 0;
}

}  // namespace

size_t LargestRequest(const std::string& sysRoot, dev_t devno, size_t largest) {
    const std::string queue = sysRoot + "/dev/block/" + std::to_string(major(devno)) + ":" +
                              std::to_string(minor(devno)) + "/queue/";
    const size_t sectorsKB = ReadNumber(queue + "max_sectors_kb");
    const size_t segments = ReadNumber(queue + "max_segments");
    if (sectorsKB == 0 || segments == 0) {
        return largest;
    }
    // Memory of the caller's buffers is contiguous only within a page.
    const size_t limit = std::min(sectorsKB * 1024, segments * kPage);
    return std::clamp(limit / kPage * kPage, kPage, largest);
}

}  // namespace platform::storage
