#include "platform/storage/transfer_sizer.h"

#include <algorithm>

namespace platform::storage {

namespace {

// The speed is an average over about this much device time, so that one slow transfer does
// not shrink the next ones at once and a change of speed is followed within a fraction of a
// second.
constexpr double kWindowSeconds = 0.2;

double Seconds(TransferSizer::Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

TransferSizer::TransferSizer(size_t granule, size_t largest)
    : granule_(granule), largest_(std::max(largest, granule)) {}

size_t TransferSizer::Granular(double bytes) const {
    size_t size = granule_;
    while (size * 2 <= largest_ && static_cast<double>(size * 2) <= bytes) {
        size *= 2;
    }
    return size;
}

size_t TransferSizer::TransferSize() const {
    if (rate_ <= 0) {
        return Granular(static_cast<double>(kFirstTransfer));
    }
    return Granular(std::min(rate_ * Seconds(kTransferTime), static_cast<double>(Grown())));
}

size_t TransferSizer::InFlightBudget() const {
    if (rate_ <= 0) {
        return TransferSize();
    }
    const double budget = std::min(rate_ * Seconds(kQueueTime), 2.0 * static_cast<double>(Grown()));
    return std::max(TransferSize(), static_cast<size_t>(budget));
}

void TransferSizer::Completed(size_t bytes, Clock::time_point submitted,
                              Clock::time_point completed) {
    const Clock::time_point start = std::max(submitted, lastCompletion_);
    lastCompletion_ = completed;
    largestDone_ = std::max(largestDone_, bytes);
    const double seconds = std::max(Seconds(completed - start), 1e-6);
    if (rate_ > 0 && static_cast<double>(bytes) / seconds < rate_ / 2) {
        // A device that slowed down (its cache is full, say) is believed at once, so that what
        // is in flight shrinks before the next transfers are sized.
        windowBytes_ = 0;
        windowSeconds_ = 0;
    }
    windowBytes_ += static_cast<double>(bytes);
    windowSeconds_ += seconds;
    rate_ = windowBytes_ / windowSeconds_;
    if (windowSeconds_ >= kWindowSeconds) {
        windowBytes_ /= 2;  // older samples count less and less
        windowSeconds_ /= 2;
    }
}

}  // namespace platform::storage
