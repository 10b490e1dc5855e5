// A plain image stream tells its file's size and how much of it the caller has read.
#include <gtest/gtest.h>

#include "platform/storage/stdio_file_stream.h"
#include "tests/platform/storage/streams/stream_test_support.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

using PlainStreamTest = StreamFolderTest;

TEST_F(PlainStreamTest, LengthAndSizeAreTheFilesAndConsumedFollowsTheReads) {
    ASSERT_TRUE(WriteBytes(PathOf("a.img"), Bytes(5000, 'x')));
    FileHandle stream = StdioFileStream::Open(PathOf("a.img"), "rb");
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->Length(), 5000u);
    EXPECT_EQ(stream->FileSize(), 5000u);
    EXPECT_EQ(stream->FileBytesConsumed(), 0u);
    unsigned char block[2048];
    EXPECT_EQ(stream->Read(block, 1, sizeof block), 2048u);
    // What the caller has been given, not what the stream's buffer read ahead.
    EXPECT_EQ(stream->FileBytesConsumed(), 2048u);
    EXPECT_EQ(stream->Read(block, 1, sizeof block), 2048u);
    EXPECT_EQ(stream->Read(block, 1, sizeof block), 904u);
    EXPECT_EQ(stream->FileBytesConsumed(), 5000u);
    EXPECT_FALSE(stream->Error());
}

}  // namespace
