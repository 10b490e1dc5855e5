// Whether a stream says its image went unchecked: only data decoded without a checksum of its own
// (zstd --no-check, xz --check=none) does; plain files and checked formats do not.
#include <gtest/gtest.h>

#include "platform/storage/compressed/image_stream.h"
#include "tests/platform/storage/streams/stream_test_support.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

class UncheckedImageTest : public StreamFolderTest {
  protected:
    // The stream's answer after the whole image is read, and again after Close.
    bool SaysUnchecked(const std::string& path, const Bytes& image) {
        FileHandle stream = OpenImageStream(path);
        EXPECT_TRUE(stream);
        if (!stream) {
            return false;
        }
        const ReadThrough read = ReadAllOf(*stream);
        EXPECT_FALSE(read.error);
        EXPECT_TRUE(read.bytes == image);
        const bool unchecked = stream->DecodedWithoutChecksum();
        stream->Close();
        EXPECT_EQ(stream->DecodedWithoutChecksum(), unchecked) << "changed by Close";
        return unchecked;
    }
    Bytes image_ = MixedBytes(300000, 1);
};

TEST_F(UncheckedImageTest, FormatsWithTheirChecksumsAndPlainFilesSayChecked) {
    for (Compressor compressor : kAllCompressors) {
        const std::string name = "disk" + NameOf(compressor) + ".img";
        EXPECT_FALSE(SaysUnchecked(Packed(name, image_, compressor), image_)) << name;
    }
    ASSERT_TRUE(WriteBytes(PathOf("plain.img"), image_));
    EXPECT_FALSE(SaysUnchecked(PathOf("plain.img"), image_));
}

TEST_F(UncheckedImageTest, ZstdWithoutItsChecksumAndXzWithoutACheckSayUnchecked) {
    EXPECT_TRUE(SaysUnchecked(Packed("a.img", image_, Compressor::kZstd, {"--no-check"}), image_));
    EXPECT_TRUE(SaysUnchecked(Packed("b.img", image_, Compressor::kXz, {"--check=none"}), image_));
    // xz's other checks are verified.
    for (const std::string check : {"crc32", "sha256"}) {
        const std::string packed =
            Packed(check + ".img", image_, Compressor::kXz, {"--check=" + check});
        EXPECT_FALSE(SaysUnchecked(packed, image_)) << check;
    }
}

// A frame or stream without one after checked ones: the stream says so once it has got there.
TEST_F(UncheckedImageTest, ALaterUncheckedPartCounts) {
    for (auto [compressor, option] :
         {std::pair{Compressor::kZstd, "--no-check"}, std::pair{Compressor::kXz, "--check=none"}}) {
        Bytes file = ReadBytes(Packed("first.img", image_, compressor));
        const Bytes second = ReadBytes(Packed("second.img", image_, compressor, {option}));
        file.insert(file.end(), second.begin(), second.end());
        ASSERT_TRUE(WriteBytes(PathOf("both.img"), file));
        Bytes both = image_;
        both.insert(both.end(), image_.begin(), image_.end());
        EXPECT_TRUE(SaysUnchecked(PathOf("both.img"), both)) << option;
    }
}

}  // namespace
