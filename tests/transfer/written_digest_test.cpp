#include "transfer/written_digest.h"

#include <gtest/gtest.h>

#include "tests/helpers/recording_imager.h"

using testing_support::PatternBytes;

namespace {

constexpr uint64_t kChunk = WrittenDigest::kChunkBytes;

// Feeds bytes in pieces of the engine's 2048-byte blocks.
bool ReadBackInBlocks(WrittenDigest& digest, const std::vector<uint8_t>& bytes) {
    for (size_t at = 0; at < bytes.size(); at += 2048) {
        if (!digest.AddReadBack(bytes.data() + at, std::min<size_t>(2048, bytes.size() - at))) {
            return false;
        }
    }
    return true;
}

TEST(WrittenDigest, TheSameBytesReadBackMatchInWholeAndPartialChunks) {
    const auto bytes = PatternBytes(3 * kChunk + 5000);
    WrittenDigest digest;
    for (size_t at = 0; at < bytes.size(); at += 2048) {
        digest.AddWritten(bytes.data() + at, std::min<size_t>(2048, bytes.size() - at));
    }
    EXPECT_EQ(digest.WrittenBytes(), bytes.size());
    EXPECT_TRUE(ReadBackInBlocks(digest, bytes));
    EXPECT_TRUE(digest.FinishReadBack());
}

TEST(WrittenDigest, ADifferenceIsFoundAtTheEndOfItsChunk) {
    const auto bytes = PatternBytes(3 * kChunk);
    WrittenDigest digest;
    digest.AddWritten(bytes.data(), bytes.size());
    auto stored = bytes;
    stored[kChunk + 77] ^= 1;

    EXPECT_TRUE(digest.AddReadBack(stored.data(), kChunk));
    EXPECT_TRUE(digest.AddReadBack(stored.data() + kChunk, kChunk - 1));
    EXPECT_FALSE(digest.AddReadBack(stored.data() + 2 * kChunk - 1, 1));
    EXPECT_EQ(digest.MismatchOffset(), kChunk);
}

TEST(WrittenDigest, TheLastPartialChunkAndTheLengthAreChecked) {
    const auto bytes = PatternBytes(kChunk + 3000);
    {
        WrittenDigest digest;
        digest.AddWritten(bytes.data(), bytes.size());
        auto stored = bytes;
        stored.back() ^= 0x80;
        EXPECT_TRUE(ReadBackInBlocks(digest, stored));
        EXPECT_FALSE(digest.FinishReadBack());
        EXPECT_EQ(digest.MismatchOffset(), kChunk);
    }
    {
        WrittenDigest digest;
        digest.AddWritten(bytes.data(), bytes.size());
        EXPECT_TRUE(digest.AddReadBack(bytes.data(), bytes.size() - 1));
        EXPECT_FALSE(digest.FinishReadBack());  // one byte was never read back
    }
    {
        WrittenDigest nothing;
        EXPECT_TRUE(nothing.FinishReadBack());
    }
}

}  // namespace
