#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// What a restore wrote, kept as one digest per mebibyte of the drive, so that reading the drive
// back tells whether it stored those bytes (and where it did not) without holding them.
class WrittenDigest {
  public:
    static constexpr uint64_t kChunkBytes = uint64_t{1} << 20;

    WrittenDigest();
    ~WrittenDigest();
    WrittenDigest(const WrittenDigest&) = delete;
    WrittenDigest& operator=(const WrittenDigest&) = delete;

    // The next bytes written to the drive, in order from its start.
    void AddWritten(const void* bytes, size_t size);
    uint64_t WrittenBytes() const { return written_; }

    // The next bytes read back, in order from the drive's start. False as soon as a chunk
    // completed by them differs from what was written.
    bool AddReadBack(const void* bytes, size_t size);
    // After the read-back: whether exactly the bytes written were read back, the last partial
    // chunk included.
    bool FinishReadBack();
    // Where the first difference was found: the start of the chunk that differs.
    uint64_t MismatchOffset() const { return mismatchAt_; }

  private:
    class Hasher;

    void StartReadBack();
    bool ChunkMatches();
    template <typename AtChunkEnd>
    bool Feed(const void* bytes, size_t size, uint64_t* count, AtChunkEnd atChunkEnd);

    std::unique_ptr<Hasher> hasher_;
    std::vector<uint64_t> chunks_;  // digests of the written chunks, the last one partial
    uint64_t written_ = 0;
    uint64_t readBack_ = 0;
    bool writing_ = true;
    uint64_t mismatchAt_ = 0;
};
