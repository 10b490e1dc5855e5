#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace platform::storage {

// Sizes a device's transfers to the speed it shows, so that waiting for the oldest transfer in
// flight takes a few milliseconds at any speed (a USB 1.1 port, a worn card, a fast disk) while
// enough stays queued to keep the device busy.
//
// The speed is learnt from completions: each transfer's service time runs from its submission,
// or from the completion before it when the device was still busy then, to its own completion.
// Until the first completion nothing is known and one small transfer is allowed in flight; then
// sizes grow at most twofold per completed transfer, so that a device which takes a first burst
// fast (a write cache, a throttle's first slice) and then slows down has little in flight.
class TransferSizer {
  public:
    using Clock = std::chrono::steady_clock;

    // Transfers take about this long at the speed measured ...
    static constexpr std::chrono::milliseconds kTransferTime{10};
    // ... and all transfers in flight together about this long.
    static constexpr std::chrono::milliseconds kQueueTime{40};
    static constexpr size_t kFirstTransfer = size_t{16} << 10;

    // Sizes are powers of two from granule (the block and memory alignment, itself a power of
    // two) up to largest.
    TransferSizer(size_t granule, size_t largest);

    // The size of the next transfer. Transfers are best aligned to their size: flash memory
    // writes whole aligned pages fastest, and a transfer then never straddles a larger one.
    size_t TransferSize() const;
    // How many bytes may be in flight at once; always at least one transfer.
    size_t InFlightBudget() const;
    // Bytes per second measured; 0 before the first completion.
    double BytesPerSecond() const { return rate_; }

    void Completed(size_t bytes, Clock::time_point submitted, Clock::time_point completed);

  private:
    size_t Granular(double bytes) const;
    size_t Grown() const { return 2 * largestDone_; }

    size_t granule_;
    size_t largest_;
    double rate_ = 0;
    size_t largestDone_ = 0;  // the largest transfer completed
    Clock::time_point lastCompletion_{};
    double windowBytes_ = 0;
    double windowSeconds_ = 0;
};

}  // namespace platform::storage
