// The reading policy of CompressedFileStream over a scripted decoder: bounded work per Read,
// damage reported only after the bytes before it.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>

#include "platform/storage/compressed/compressed_file_stream.h"
#include "platform/storage/regular_file.h"
#include "tests/platform/storage/streams/stream_test_support.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

using Status = ImageDecoder::Status;

// Produces the bytes 0, 1, 2, ... (mod 251) in steps of at most stepBytes; a step listed in
// idleSteps produces nothing (the decoder working through a bzip2 block). After totalBytes it
// ends, or reports damage when damaged.
class ScriptedDecoder : public ImageDecoder {
  public:
    struct Script {
        size_t totalBytes = 0;
        size_t stepBytes = 64u << 10;
        size_t idleEvery = 0;  // after every idleEvery productive steps ...
        int idleSteps = 0;     // ... this many steps produce nothing
        bool damaged = false;
    };
    ScriptedDecoder(Script script, int* steps) : script_(script), steps_(steps) {}

    Status Step(unsigned char* out, size_t room, size_t* produced) override {
        ++*steps_;
        *produced = 0;
        if (idleLeft_ > 0) {
            --idleLeft_;
            return Status::kMore;
        }
        if (made_ == script_.totalBytes) {
            return script_.damaged ? Status::kDamaged : Status::kEnd;
        }
        const size_t n = std::min({room, script_.stepBytes, script_.totalBytes - made_});
        for (size_t i = 0; i < n; ++i) {
            out[i] = static_cast<unsigned char>((made_ + i) % 251);
        }
        made_ += n;
        *produced = n;
        if (script_.idleEvery != 0 && ++productive_ % script_.idleEvery == 0) {
            idleLeft_ = script_.idleSteps;
        }
        return Status::kMore;
    }
    std::optional<uint64_t> Length() const override { return std::nullopt; }
    uint64_t FileBytesConsumed() const override { return made_ / 2; }
    bool DecodedWithoutChecksum() const override { return false; }

  private:
    Script script_;
    int* steps_;
    size_t made_ = 0;
    size_t productive_ = 0;
    int idleLeft_ = 0;
};

class CompressedFileStreamTest : public StreamFolderTest {
  protected:
    FileHandle Open(ScriptedDecoder::Script script) {
        EXPECT_TRUE(WriteBytes(PathOf("file"), Bytes(1000)));
        return CompressedFileStream::Open(OpenRegularFile(PathOf("file"), false, false),
                                          std::make_unique<ScriptedDecoder>(script, &steps_));
    }
    static bool IsPattern(const Bytes& bytes) {
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] != i % 251) {
                return false;
            }
        }
        return true;
    }
    int steps_ = 0;
};

TEST_F(CompressedFileStreamTest, ASlowStretchIsSpreadOverTheReadsBeforeIt) {
    // Every 1 MiB the decoder needs 60 steps without output, as bzip2 needs for a block.
    ScriptedDecoder::Script script;
    script.totalBytes = 24u << 20;
    script.idleEvery = 16;
    script.idleSteps = 60;
    FileHandle stream = Open(script);
    ASSERT_TRUE(stream);
    int mostSteps = 0;
    Bytes all;
    unsigned char block[2048];
    for (;;) {
        const int before = steps_;
        const size_t n = stream->Read(block, 1, sizeof block);
        mostSteps = std::max(mostSteps, steps_ - before);
        all.insert(all.end(), block, block + n);
        if (n < sizeof block) {
            break;
        }
    }
    EXPECT_FALSE(stream->Error());
    EXPECT_EQ(all.size(), script.totalBytes);
    EXPECT_TRUE(IsPattern(all));
    EXPECT_LE(mostSteps, 2);
}

TEST_F(CompressedFileStreamTest, DamageFoundAheadFailsOnlyTheReadThatReachesIt) {
    ScriptedDecoder::Script script;
    script.totalBytes = 5000;
    script.damaged = true;
    FileHandle stream = Open(script);
    ASSERT_TRUE(stream);
    unsigned char block[2048];
    EXPECT_EQ(stream->Read(block, 1, sizeof block), 2048u);
    EXPECT_FALSE(stream->Error());  // the damage is known by now, but these bytes are good
    EXPECT_EQ(stream->Read(block, 1, sizeof block), 2048u);
    EXPECT_FALSE(stream->Error());
    EXPECT_EQ(stream->Read(block, 1, sizeof block), 904u);
    EXPECT_TRUE(stream->Error());
    EXPECT_EQ(stream->Read(block, 1, sizeof block), 0u);
    EXPECT_TRUE(stream->Error());
}

TEST_F(CompressedFileStreamTest, DamageAtTheStartRefusesTheOpen) {
    ScriptedDecoder::Script script;
    script.damaged = true;
    EXPECT_FALSE(Open(script));
}

TEST_F(CompressedFileStreamTest, ReadsLargerThanTheBufferAndWholeItemsWork) {
    ScriptedDecoder::Script script;
    script.totalBytes = (9u << 20) + 3;
    FileHandle stream = Open(script);
    ASSERT_TRUE(stream);
    Bytes all(script.totalBytes + 10);
    EXPECT_EQ(stream->Read(all.data(), 1, 9u << 20), 9u << 20);
    // Items of 2 bytes: one whole item of the 3 bytes left.
    EXPECT_EQ(stream->Read(all.data() + (9u << 20), 2, 5), 1u);
    all.resize(script.totalBytes);
    EXPECT_TRUE(IsPattern(all));
    EXPECT_FALSE(stream->Error());
}

}  // namespace
