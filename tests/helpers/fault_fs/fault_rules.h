#pragma once

#include <cstdint>
#include <string>

namespace fault_fs {

// The faults in force for the served file. Each kind holds one byte range [offset, offset +
// length); a range of length 0 matches nothing.
class FaultRules {
  public:
    // Applies one command: "fail-writes OFFSET LENGTH", "fail-reads ...", "drop-writes ...",
    // "short-reads ...", "fail-fsync 0|1", "slow-writes BYTES_PER_SECOND" (0: full speed) or
    // "clear". False (and no change) when malformed.
    bool Apply(const std::string& line);

    bool FailsWrite(uint64_t offset, uint64_t size) const {
        return Touches(failWrites_, offset, size);
    }
    bool FailsRead(uint64_t offset, uint64_t size) const {
        return Touches(failReads_, offset, size);
    }
    bool DropsWrite(uint64_t offset, uint64_t size) const {
        return Touches(dropWrites_, offset, size);
    }
    bool ShortensRead(uint64_t offset, uint64_t size) const {
        return Touches(shortReads_, offset, size);
    }
    bool FailsFsync() const { return failFsync_; }
    // How long a write of size bytes is held before it is done, in microseconds.
    uint64_t WriteDelayMicroseconds(uint64_t size) const {
        return writeBytesPerSecond_ == 0 ? 0 : size * 1000000 / writeBytesPerSecond_;
    }

  private:
    struct Range {
        uint64_t offset = 0;
        uint64_t length = 0;
    };
    static bool Touches(const Range& range, uint64_t offset, uint64_t size);

    Range failWrites_;
    Range failReads_;
    Range dropWrites_;
    Range shortReads_;
    bool failFsync_ = false;
    uint64_t writeBytesPerSecond_ = 0;
};

}  // namespace fault_fs
