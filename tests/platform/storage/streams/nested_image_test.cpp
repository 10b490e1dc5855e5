// A compressed file whose content is itself compressed: only the file's own layer is removed, the
// inner compressed file is the image.
#include <gtest/gtest.h>

#include "platform/storage/compressed/image_stream.h"
#include "tests/platform/storage/streams/stream_test_support.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

class NestedImageTest : public StreamFolderTest,
                        public testing::WithParamInterface<std::tuple<Compressor, Compressor>> {};

TEST_P(NestedImageTest, OnlyTheOuterLayerIsRemoved) {
    const auto [outer, inner] = GetParam();
    // Renamed, as the tools will not compress a file named with their own suffix again.
    const std::string innerFile = PathOf("inner");
    std::filesystem::rename(Packed("disk.img", MixedBytes(200000, 1), inner), innerFile);
    const Bytes innerBytes = ReadBytes(innerFile);
    std::string failure;
    const std::string outerFile = Compress(innerFile, outer, &failure);
    ASSERT_FALSE(outerFile.empty()) << failure;
    FileHandle stream = OpenImageStream(outerFile);
    ASSERT_TRUE(stream);
    const ReadThrough read = ReadAllOf(*stream);
    EXPECT_FALSE(read.error);
    EXPECT_TRUE(read.bytes == innerBytes)
        << "got " << read.bytes.size() << " bytes, the inner file has " << innerBytes.size();
}

INSTANTIATE_TEST_SUITE_P(Formats, NestedImageTest,
                         testing::Combine(testing::ValuesIn(kAllCompressors),
                                          testing::ValuesIn(kAllCompressors)),
                         [](const auto& info) {
                             return NameOf(std::get<1>(info.param)) + "In" +
                                    NameOf(std::get<0>(info.param));
                         });

}  // namespace
