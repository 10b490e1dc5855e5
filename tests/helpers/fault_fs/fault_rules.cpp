#include "tests/helpers/fault_fs/fault_rules.h"

#include <sstream>

namespace fault_fs {

bool FaultRules::Touches(const Range& range, uint64_t offset, uint64_t size) {
    return range.length != 0 && size != 0 && offset < range.offset + range.length &&
           range.offset < offset + size;
}

bool FaultRules::Apply(const std::string& line) {
    std::istringstream words(line);
    std::string command;
    if (!(words >> command)) {
        return false;
    }
    if (command == "clear") {
        *this = FaultRules{};
        return true;
    }
    if (command == "fail-fsync") {
        int fail = 0;
        if (!(words >> fail)) {
            return false;
        }
        failFsync_ = fail != 0;
        return true;
    }
    if (command == "slow-writes") {
        uint64_t bytesPerSecond = 0;
        if (!(words >> bytesPerSecond)) {
            return false;
        }
        writeBytesPerSecond_ = bytesPerSecond;
        return true;
    }
    Range range;
    if (!(words >> range.offset >> range.length)) {
        return false;
    }
    Range* target = command == "fail-writes"   ? &failWrites_
                    : command == "fail-reads"  ? &failReads_
                    : command == "drop-writes" ? &dropWrites_
                    : command == "short-reads" ? &shortReads_
                                               : nullptr;
    if (target == nullptr) {
        return false;
    }
    *target = range;
    return true;
}

}  // namespace fault_fs
