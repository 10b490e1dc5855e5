#include "transfer/written_digest.h"

#define XXH_STATIC_LINKING_ONLY  // the state's layout, to hold it by value
#include <xxhash.h>
#if defined(SECTORSMITH_XXH_DISPATCH)
#include <xxh_x86dispatch.h>  // the library's fastest code for this processor (AVX2, AVX-512)
#endif

#include <algorithm>

// One chunk's running digest (XXH3: several GB/s, far above any drive's speed).
class WrittenDigest::Hasher {
  public:
    Hasher() { Reset(); }
    void Reset() { XXH3_64bits_reset(&state_); }
    void Add(const void* bytes, size_t size) { XXH3_64bits_update(&state_, bytes, size); }
    uint64_t Digest() const { return XXH3_64bits_digest(&state_); }

  private:
    XXH3_state_t state_;
};

WrittenDigest::WrittenDigest() : hasher_(std::make_unique<Hasher>()) {}
WrittenDigest::~WrittenDigest() = default;

template <typename AtChunkEnd>
bool WrittenDigest::Feed(const void* bytes, size_t size, uint64_t* count, AtChunkEnd atChunkEnd) {
    const auto* at = static_cast<const unsigned char*>(bytes);
    while (size > 0) {
        const uint64_t room = kChunkBytes - *count % kChunkBytes;
        const size_t n = static_cast<size_t>(std::min<uint64_t>(room, size));
        hasher_->Add(at, n);
        *count += n;
        at += n;
        size -= n;
        if (*count % kChunkBytes == 0 && !atChunkEnd()) {
            return false;
        }
    }
    return true;
}

void WrittenDigest::AddWritten(const void* bytes, size_t size) {
    Feed(bytes, size, &written_, [this] {
        chunks_.push_back(hasher_->Digest());
        hasher_->Reset();
        return true;
    });
}

void WrittenDigest::StartReadBack() {
    if (!writing_) {
        return;
    }
    // The chunk being written when the restore ended is the last, partial one.
    if (written_ % kChunkBytes != 0) {
        chunks_.push_back(hasher_->Digest());
    }
    hasher_->Reset();
    writing_ = false;
}

bool WrittenDigest::ChunkMatches() {
    const uint64_t chunk = (readBack_ - 1) / kChunkBytes;
    const bool same = chunk < chunks_.size() && chunks_[chunk] == hasher_->Digest();
    hasher_->Reset();
    if (!same) {
        mismatchAt_ = chunk * kChunkBytes;
    }
    return same;
}

bool WrittenDigest::AddReadBack(const void* bytes, size_t size) {
    StartReadBack();
    return Feed(bytes, size, &readBack_, [this] { return ChunkMatches(); });
}

bool WrittenDigest::FinishReadBack() {
    StartReadBack();
    if (readBack_ != written_) {
        mismatchAt_ = std::min(readBack_, written_) / kChunkBytes * kChunkBytes;
        return false;
    }
    return readBack_ % kChunkBytes == 0 || ChunkMatches();
}
