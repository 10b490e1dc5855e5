#pragma once

#include <string>
#include <vector>

#include "platform/storage/simulated/simulated_storage.h"
#include "tests/helpers/pump_hook.h"
#include "transfer/disk_imager.h"

namespace testing_support {

// A DiskImager over simulated storage that records every report and progress call.
class RecordingImager : public DiskImager {
  public:
    explicit RecordingImager(platform::storage::StorageServices& storage) : DiskImager(storage) {}

    void ReportError(std::string text) override {
        errors.push_back(text);
        details.push_back(reportDetail);
    }
    void ReportMessage(std::string text) override {
        messages.push_back(text);
        details.push_back(reportDetail);
    }
    bool SetProgressRange(int32_t upper) override {
        ranges.push_back(upper);
        return true;
    }
    bool SetProgressPos(int32_t pos) override {
        positions.push_back(pos);
        return true;
    }

    int ReportCount() const { return static_cast<int>(errors.size() + messages.size()); }

    std::vector<std::string> errors;
    std::vector<std::string> messages;
    std::vector<std::string> details;  // the detail beside each report, in order
    std::vector<int32_t> ranges;
    std::vector<int32_t> positions;
};

// Bytes 0, 1, 2, ... (mod 251, so blocks differ from each other).
inline std::vector<uint8_t> PatternBytes(size_t size, uint8_t seed = 0) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>((i + seed) % 251);
    }
    return bytes;
}

}  // namespace testing_support
