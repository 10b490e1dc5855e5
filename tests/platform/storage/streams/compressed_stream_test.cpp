// Compressed images read through OpenImageStream: the decompressed bytes, what the stream tells
// of the file, and the damaged, truncated and false files it must not pass on as images.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/storage/compressed/image_stream.h"
#include "tests/platform/storage/streams/stream_test_support.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

constexpr size_t kImageBytes = (2u << 20) + 1000;  // a partial last block
// Long enough that a cut or damage in the middle of the file is past bzip2's first block of
// 900 kB, whose bytes are all wrong when any of its input is.
constexpr size_t kLongImageBytes = (4u << 20) + 1000;

class CompressedStreamTest : public StreamFolderTest,
                             public testing::WithParamInterface<Compressor> {
  protected:
    bool IsZip() const { return GetParam() == Compressor::kZip; }
};

TEST_P(CompressedStreamTest, GivesTheDecompressedBytesAndTellsTheFile) {
    const Bytes image = MixedBytes(kImageBytes, 1);
    const std::string packed = Packed("disk.img", image, GetParam());
    FileHandle stream = OpenImageStream(packed);
    ASSERT_TRUE(stream);
    const uint64_t fileSize = std::filesystem::file_size(packed);
    EXPECT_EQ(stream->FileSize(), fileSize);
    // Only a zip records the length before the data.
    EXPECT_EQ(stream->Length(), IsZip() ? std::optional<uint64_t>(kImageBytes) : std::nullopt);

    const ReadThrough read = ReadAllOf(*stream);
    EXPECT_FALSE(read.error);
    EXPECT_TRUE(read.bytes == image) << "got " << read.bytes.size() << " bytes";
    EXPECT_TRUE(read.consumedNeverFell);
    // A zip's directory after the data is not read through.
    EXPECT_LE(read.consumedAtEnd, fileSize);
    EXPECT_GT(read.consumedAtEnd, IsZip() ? fileSize / 2 : fileSize - 1);
    EXPECT_EQ(stream->Read(nullptr, 1, 0), 0u);
    EXPECT_TRUE(stream->Close());
}

TEST_P(CompressedStreamTest, AnEmptyImageEndsAtOnce) {
    FileHandle stream = OpenImageStream(Packed("empty.img", {}, GetParam()));
    ASSERT_TRUE(stream);
    unsigned char block[2048];
    EXPECT_EQ(stream->Read(block, 1, sizeof block), 0u);
    EXPECT_FALSE(stream->Error());
}

TEST_P(CompressedStreamTest, AFileCutShortIsAnErrorNotAnEnd) {
    const Bytes image = MixedBytes(kLongImageBytes, 2);
    const std::string packed = Packed("disk.img", image, GetParam());
    std::filesystem::resize_file(packed, std::filesystem::file_size(packed) * 6 / 10);
    FileHandle stream = OpenImageStream(packed);
    if (IsZip()) {
        EXPECT_FALSE(stream);  // its directory, at the end, is gone
        return;
    }
    ASSERT_TRUE(stream);
    const ReadThrough read = ReadAllOf(*stream);
    EXPECT_TRUE(read.error);
    ASSERT_LT(read.bytes.size(), image.size());
    EXPECT_TRUE(std::equal(read.bytes.begin(), read.bytes.end(), image.begin()));
}

TEST_P(CompressedStreamTest, DamageInTheMiddleIsAnErrorAfterTheBytesBeforeIt) {
    const Bytes image = MixedBytes(kLongImageBytes, 3);
    const std::string packed = Packed("disk.img", image, GetParam());
    Bytes file = ReadBytes(packed);
    for (size_t i = file.size() / 2; i < file.size() / 2 + 16; ++i) {
        file[i] ^= 0x5A;
    }
    ASSERT_TRUE(WriteBytes(packed, file));
    FileHandle stream = OpenImageStream(packed);
    ASSERT_TRUE(stream);
    const ReadThrough read = ReadAllOf(*stream);
    EXPECT_TRUE(read.error);
    const size_t before = image.size() / 5;
    ASSERT_GE(read.bytes.size(), before);
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + before, read.bytes.begin()));
}

TEST_P(CompressedStreamTest, AFileThatOnlyStartsLikeTheFormatIsRefused) {
    const std::string packed = Packed("disk.img", MixedBytes(4096, 4), GetParam());
    Bytes file = ReadBytes(packed);
    const Bytes garbage = MixedBytes(64u << 10, 5);  // random bytes first
    file.resize(6);
    file.insert(file.end(), garbage.begin(), garbage.end());
    ASSERT_TRUE(WriteBytes(packed, file));
    EXPECT_FALSE(OpenImageStream(packed));
}

TEST_P(CompressedStreamTest, ContentNotNameTellsTheFormat) {
    const Bytes image = MixedBytes(100000, 8);
    const std::string packed = Packed("disk.img", image, GetParam());
    const std::string renamed = PathOf("renamed.img");
    std::filesystem::rename(packed, renamed);
    FileHandle stream = OpenImageStream(renamed);
    ASSERT_TRUE(stream);
    EXPECT_TRUE(ReadAllOf(*stream).bytes == image);
}

INSTANTIATE_TEST_SUITE_P(Formats, CompressedStreamTest, testing::ValuesIn(kAllCompressors),
                         [](const auto& info) { return NameOf(info.param); });

// Streams one after another (a zip holds files, not a sequence of streams).
using ConcatenatedStreamTest = CompressedStreamTest;

TEST_P(ConcatenatedStreamTest, ImagesThatFollowEachOtherInOneFileAreOneImage) {
    const Bytes first = MixedBytes(300000, 6);
    const Bytes second = MixedBytes(200000, 7);
    Bytes file = ReadBytes(Packed("first.img", first, GetParam()));
    const Bytes more = ReadBytes(Packed("second.img", second, GetParam()));
    file.insert(file.end(), more.begin(), more.end());
    ASSERT_TRUE(WriteBytes(PathOf("both.img"), file));
    FileHandle stream = OpenImageStream(PathOf("both.img"));
    ASSERT_TRUE(stream);
    Bytes both = first;
    both.insert(both.end(), second.begin(), second.end());
    const ReadThrough read = ReadAllOf(*stream);
    EXPECT_FALSE(read.error);
    EXPECT_TRUE(read.bytes == both) << "got " << read.bytes.size() << " bytes";
}

INSTANTIATE_TEST_SUITE_P(Formats, ConcatenatedStreamTest,
                         testing::Values(Compressor::kXz, Compressor::kGzip, Compressor::kBzip2,
                                         Compressor::kZstd),
                         [](const auto& info) { return NameOf(info.param); });

using ZstdImageTest = StreamFolderTest;

// As pzstd writes them: a skippable frame (here of 4 bytes) before the first frame with data.
TEST_F(ZstdImageTest, AFileOpeningWithASkippableFrameIsZstd) {
    const Bytes image = MixedBytes(100000, 11);
    Bytes file = {0x50, 0x2A, 0x4D, 0x18, 4, 0, 0, 0, 1, 2, 3, 4};
    const Bytes frame = ReadBytes(Packed("disk.img", image, Compressor::kZstd));
    file.insert(file.end(), frame.begin(), frame.end());
    ASSERT_TRUE(WriteBytes(PathOf("skippable.img"), file));
    FileHandle stream = OpenImageStream(PathOf("skippable.img"));
    ASSERT_TRUE(stream);
    const ReadThrough read = ReadAllOf(*stream);
    EXPECT_FALSE(read.error);
    EXPECT_TRUE(read.bytes == image);
    EXPECT_FALSE(stream->DecodedWithoutChecksum());
}

using PlainImageTest = StreamFolderTest;

TEST_F(PlainImageTest, APlainImageIsReadAsItIs) {
    const Bytes image = MixedBytes(10000, 9);
    ASSERT_TRUE(WriteBytes(PathOf("disk.img"), image));
    FileHandle stream = OpenImageStream(PathOf("disk.img"));
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->Length(), image.size());
    EXPECT_TRUE(ReadAllOf(*stream).bytes == image);
}

TEST_F(PlainImageTest, PlainContentUnderACompressedNameIsRefused) {
    const Bytes text(5000, 'a');
    for (const char* name : {"notes.img.gz", "disk.IMG.XZ", "disk.bz2", "disk.zst", "disk.zip"}) {
        ASSERT_TRUE(WriteBytes(PathOf(name), text));
        EXPECT_FALSE(OpenImageStream(PathOf(name))) << name;
    }
    // A name that merely contains one of the endings is a plain image's.
    ASSERT_TRUE(WriteBytes(PathOf("disk.gz.img"), text));
    EXPECT_TRUE(OpenImageStream(PathOf("disk.gz.img")));
}

TEST_F(PlainImageTest, AFifoNamedAsCompressedIsRefusedAsAPlainOneIs) {
    ASSERT_EQ(::mkfifo(PathOf("pipe.img.xz").c_str(), 0600), 0);
    EXPECT_FALSE(OpenImageStream(PathOf("pipe.img.xz")));
}

TEST_F(PlainImageTest, AnXzFileCutInsideItsHeaderIsRefused) {
    const std::string packed = Packed("disk.img", MixedBytes(100000, 10), Compressor::kXz);
    for (uintmax_t size : {8u, 12u, 20u}) {
        std::filesystem::resize_file(packed, size);
        EXPECT_FALSE(OpenImageStream(packed)) << size << " bytes";
    }
}

}  // namespace
