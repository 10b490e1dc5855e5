#include "platform/storage/transfer_slots.h"

#include <algorithm>

#include "platform/storage/device_wait.h"

namespace platform::storage {

namespace {

uint64_t AlignDown(uint64_t value, size_t granule) {
    return value / granule * granule;
}

}  // namespace

std::unique_ptr<TransferSlots> TransferSlots::Create(std::unique_ptr<IoQueue> queue,
                                                     Geometry geometry) {
    if (!queue) {
        return nullptr;
    }
    std::unique_ptr<TransferSlots> slots(new TransferSlots(geometry, std::move(queue)));
    for (Slot& slot : slots->slots_) {
        slot.buffer = std::unique_ptr<unsigned char, Free>(
            new (std::align_val_t{geometry.granule}, std::nothrow) unsigned char[geometry.largest],
            Free{geometry.granule});
        if (!slot.buffer) {
            return nullptr;
        }
    }
    return slots;
}

TransferSlots::TransferSlots(Geometry geometry, std::unique_ptr<IoQueue> queue)
    : geometry_(geometry),
      queue_(std::move(queue)),
      writeSizer_(geometry.granule, geometry.largest),
      readSizer_(geometry.granule, geometry.largest) {}

// The queue, destroyed before the buffers, waits for what is still in flight.
TransferSlots::~TransferSlots() = default;

bool TransferSlots::Any(State state) const {
    return std::any_of(std::begin(slots_), std::end(slots_),
                       [state](const Slot& slot) { return slot.state == state; });
}

bool TransferSlots::WritesInFlight() const {
    return Any(State::kWriting);
}

TransferSlots::Slot* TransferSlots::FindFree() {
    for (Slot& slot : slots_) {
        if (slot.state == State::kFree) {
            return &slot;
        }
    }
    return nullptr;
}

bool TransferSlots::Allows(const TransferSizer& sizer) const {
    return inFlight_ == 0 || inFlight_ + sizer.TransferSize() <= sizer.InFlightBudget();
}

void TransferSlots::Poll() {
    while (Reap(false)) {
    }
}

bool TransferSlots::Reap(bool wait) {
    for (;;) {
        const std::optional<IoQueue::Completion> completion =
            queue_->Next(wait ? kDeviceWaitSlice : std::chrono::milliseconds(0));
        if (completion) {
            if (completion->tag == kSyncTag) {
                syncResult_ = completion->result;
            } else {
                Completed(slots_[completion->tag], completion->result);
            }
            return true;
        }
        if (!wait || queue_->Outstanding() == 0) {
            return false;
        }
        WhileDeviceWaits();
    }
}

bool TransferSlots::Send(Slot& slot) {
    const auto tag = static_cast<uint32_t>(&slot - slots_);
    unsigned char* at = slot.buffer.get() + slot.done;
    const size_t rest = slot.length - slot.done;
    const uint64_t offset = slot.offset + slot.done;
    return slot.state == State::kWriting ? queue_->Write(tag, at, rest, offset)
                                         : queue_->Read(tag, at, rest, offset);
}

void TransferSlots::Completed(Slot& slot, int64_t result) {
    if (result > 0) {
        slot.done += static_cast<size_t>(result);
        // A short transfer goes on with its rest; a read stops only at the end of the device.
        if (slot.done < slot.length) {
            if (Send(slot)) {
                return;
            }
            slot.error = queue_->QueueError() != 0 ? queue_->QueueError() : queue_->IoErrorCode();
        }
    } else if (result < 0) {
        slot.error = static_cast<int>(-result);
    } else if (slot.state == State::kWriting) {
        slot.error = queue_->IoErrorCode();  // a write that moved nothing
    }
    inFlight_ -= slot.length;
    if (slot.state == State::kWriting) {
        CompletedWrite(slot);
    } else {
        CompletedRead(slot);
    }
}

void TransferSlots::CompletedWrite(Slot& slot) {
    if (slot.error != 0) {
        if (!writeFailure_) {
            writeFailure_ = Failure{slot.offset + slot.done, slot.error};
        }
    } else {
        writeSizer_.Completed(slot.length, slot.submitted, TransferSizer::Clock::now());
    }
    slot.state = State::kFree;
}

void TransferSlots::CompletedRead(Slot& slot) {
    if (slot.error == 0 && slot.done > 0) {
        readSizer_.Completed(slot.done, slot.submitted, TransferSizer::Clock::now());
    }
    slot.state = State::kHeld;
}

unsigned char* TransferSlots::WriteBuffer() {
    DropReads();
    Poll();
    while (!writeFailure_) {
        Slot* slot = FindFree();
        if (slot != nullptr && Allows(writeSizer_)) {
            slot->state = State::kGathering;
            gathering_ = slot;
            gatherSize_ = writeSizer_.TransferSize();
            return slot->buffer.get();
        }
        if (!Reap(true)) {
            break;
        }
    }
    return nullptr;
}

bool TransferSlots::SubmitWrite(uint64_t offset, size_t length) {
    Slot* slot = gathering_;
    gathering_ = nullptr;
    if (slot == nullptr) {
        return false;
    }
    slot->state = State::kWriting;
    slot->offset = offset;
    slot->length = length;
    slot->done = 0;
    slot->error = 0;
    slot->submitted = TransferSizer::Clock::now();
    if (!Send(*slot)) {
        slot->state = State::kFree;
        if (!writeFailure_) {
            writeFailure_ = Failure{offset, queue_->QueueError()};
        }
        return false;
    }
    inFlight_ += length;
    Poll();
    return !writeFailure_;
}

bool TransferSlots::DrainWrites() {
    while (WritesInFlight() && Reap(true)) {
    }
    return !writeFailure_;
}

bool TransferSlots::Sync() {
    if (!DrainWrites()) {
        return false;
    }
    syncResult_.reset();
    if (!queue_->Fsync(kSyncTag)) {
        syncError_ = queue_->QueueError();
        return false;
    }
    while (!syncResult_ && Reap(true)) {
    }
    if (!syncResult_ || *syncResult_ < 0) {
        syncError_ = syncResult_ ? static_cast<int>(-*syncResult_) : queue_->IoErrorCode();
        return false;
    }
    return true;
}

void TransferSlots::DropReads() {
    while (Any(State::kReading) && Reap(true)) {
    }
    for (Slot& slot : slots_) {
        if (slot.state == State::kHeld) {
            slot.state = State::kFree;
        }
    }
}

TransferSlots::Slot* TransferSlots::Holding(uint64_t offset) {
    for (Slot& slot : slots_) {
        const bool read = slot.state == State::kReading || slot.state == State::kHeld;
        if (read && offset >= slot.offset && offset < slot.offset + slot.length) {
            return &slot;
        }
    }
    return nullptr;
}

void TransferSlots::FillReads() {
    while (readNext_ < geometry_.sizeBytes && Allows(readSizer_)) {
        Slot* slot = FindFree();
        if (slot == nullptr) {
            return;
        }
        // Aligned to its size, as writes are, and no further than the end of the device.
        const size_t size = readSizer_.TransferSize();
        const uint64_t toEnd = geometry_.sizeBytes - readNext_;
        const size_t length = std::min<size_t>(
            size - static_cast<size_t>(readNext_ % size),
            static_cast<size_t>(std::min<uint64_t>(
                AlignDown(toEnd + geometry_.granule - 1, geometry_.granule), size)));
        slot->state = State::kReading;
        slot->offset = readNext_;
        slot->length = length;
        slot->done = 0;
        slot->error = 0;
        slot->submitted = TransferSizer::Clock::now();
        if (!Send(*slot)) {
            slot->state = State::kHeld;  // a read that never started: its reader retries alone
            slot->error = queue_->QueueError();
            readNext_ += slot->length;
            return;
        }
        inFlight_ += slot->length;
        readNext_ += slot->length;
    }
}

std::optional<TransferSlots::ReadSpan> TransferSlots::ReadAt(uint64_t offset, Failure* failure) {
    Slot* slot = Holding(offset);
    if (slot == nullptr) {
        DropReads();
        readNext_ = AlignDown(offset, geometry_.granule);
    }
    // What lies wholly before offset has been read.
    for (Slot& held : slots_) {
        if (held.state == State::kHeld && held.offset + held.length <= offset) {
            held.state = State::kFree;
        }
    }
    Poll();
    FillReads();
    slot = Holding(offset);
    while (slot != nullptr && slot->state == State::kReading && Reap(true)) {
        FillReads();
    }
    if (slot == nullptr || slot->state != State::kHeld) {
        *failure = Failure{offset, queue_->IoErrorCode()};
        return std::nullopt;
    }
    if (slot->error != 0) {
        *failure = Failure{slot->offset + slot->done, slot->error};
        slot->state = State::kFree;
        return std::nullopt;
    }
    return ReadSpan{slot->buffer.get(), slot->offset, slot->done};
}

}  // namespace platform::storage
