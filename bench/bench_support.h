#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>

#include "transfer/disk_imager.h"

namespace bench {

// A DiskImager that keeps its last report instead of showing it.
class QuietImager : public DiskImager {
  public:
    using DiskImager::DiskImager;
    void ReportError(std::string text) override { error = text; }
    void ReportMessage(std::string text) override { message = text; }
    std::string error;
    std::string message;
};

// Writes size bytes of seeded random data to path; false when that failed.
bool WriteRandomImage(const std::string& path, uint64_t size, uint64_t seed);

// The shortest of rounds runs of run() in seconds; -1 as soon as one run fails.
template <typename Run>
double BestSeconds(int rounds, Run run) {
    double best = 1e30;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        if (!run()) {
            return -1;
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

}  // namespace bench
