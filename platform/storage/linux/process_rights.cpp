#include "platform/storage/linux/process_rights.h"

#include <linux/capability.h>

#include <cstdint>
#include <fstream>
#include <string>

namespace platform::storage {

bool MayMountFileSystems() {
    // The effective capabilities, as a hexadecimal mask, on the "CapEff:" line.
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("CapEff:", 0) == 0) {
            const uint64_t effective = std::stoull(line.substr(7), nullptr, 16);
            return (effective >> CAP_SYS_ADMIN) & 1;
        }
    }
    return false;
}

}  // namespace platform::storage
