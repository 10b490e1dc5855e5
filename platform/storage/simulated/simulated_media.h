#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/storage/storage_types.h"

// The simulated drives, volumes and files, with the faults a test can plant in them. Offsets are
// byte offsets from the start of the medium; a planted fault fires on the first transfer that
// covers its offset.
namespace platform::storage::simulated {

struct IoFaults {
    std::optional<uint64_t> readFailsAt;
    std::optional<uint64_t> readShortAt;  // the transfer stops at this offset
    std::optional<uint64_t> writeFailsAt;
    std::optional<uint64_t> writeShortAt;
    std::optional<uint64_t> writeDroppedAt;  // the write reports success and stores nothing
    bool flushFails = false;
};

struct SimulatedDisk {
    uint64_t sizeBytes = 0;
    // The medium's first bytes as planted or written; it grows with writes, and the rest of
    // the medium reads as zeros, so a large disk costs only what a test writes to it.
    std::vector<uint8_t> bytes;
    bool openFails = false;
    // An open for writing waits this many rounds of the device-wait hook, as a claim of a real
    // drive does, and gives up when the user stops meanwhile.
    int openWaitRounds = 0;
    // Its capacity cannot be told; the failure leaves a cause behind, as a harmless one may.
    bool lengthFails = false;
    // What closing the drive after a write tells the user (a partition table not re-read).
    std::string closeNote;
    IoFaults faults;
    // What happened to it.
    int opens = 0;
    int writeOpens = 0;
    int closes = 0;
    int flushes = 0;
    uint64_t bytesWritten = 0;
    uint64_t bytesRead = 0;
    // A slow drive: each write takes this long, waited out as a real device's transfer is (the
    // device-wait hook runs meanwhile).
    std::chrono::milliseconds writeTime{0};
};

struct SimulatedVolume {
    std::optional<uint32_t> diskNumber;  // none: a volume on no physical drive
    std::vector<uint32_t> furtherDisks;  // further extents of a spanned volume
    DriveType driveType = DRIVE_FIXED;
    uint64_t totalBytes = 0;
    uint32_t busType = BusTypeUnknown;
    std::string pathPrefix;  // image paths under this prefix lie on the volume
    bool openFails = false;
    bool extentsFail = false;
    bool sizeFails = false;
    bool probeOpenFails = false;
    bool probeFails = false;
};

struct SimulatedFile {
    std::vector<uint8_t> bytes;
    bool readOnly = false;
    bool regular = true;  // false: a FIFO, folder or device node, which is never opened
    // A stream like a compressed image's, whose length is known only at its end.
    bool streamed = false;
    std::optional<uint64_t> claimedLength;  // what the stream says instead of the bytes' count
    uint64_t zeroTail = 0;                  // zero bytes that follow the bytes, held by no memory
    bool withoutChecksum = false;           // decoded from data that carried no checksum of its own
    IoFaults faults;
    int opens = 0;
    int flushes = 0;
    bool closed = true;
};

}  // namespace platform::storage::simulated
