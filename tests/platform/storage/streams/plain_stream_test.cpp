// The plain image streams: what they tell of their file while it is read.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/storage/simulated/simulated_devices.h"
#include "platform/storage/stdio_file_stream.h"
#include "tests/helpers/temp_folder.h"

using namespace platform::storage;

namespace {

class PlainStreamTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string failure;
        folder_ = testing_support::MakeTempFolder("sectorsmith-plain-", &failure);
        ASSERT_FALSE(folder_.empty()) << failure;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Write(const std::string& name, size_t size) const {
        const std::string path = folder_ + "/" + name;
        std::ofstream(path, std::ios::binary) << std::string(size, 'x');
        return path;
    }

    std::string folder_;
};

TEST_F(PlainStreamTest, LengthAndSizeAreTheFilesAndConsumedFollowsTheReads) {
    const std::string path = Write("a.img", 5000);
    FileHandle stream = StdioFileStream::Open(path, "rb");
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->Length(), 5000u);
    EXPECT_EQ(stream->FileSize(), 5000u);
    EXPECT_EQ(stream->FileBytesConsumed(), 0u);
    std::vector<char> block(2048);
    EXPECT_EQ(stream->Read(block.data(), 1, 2048), 2048u);
    // What the caller has been given, not what the stream's buffer read ahead.
    EXPECT_EQ(stream->FileBytesConsumed(), 2048u);
    EXPECT_EQ(stream->Read(block.data(), 1, 2048), 2048u);
    EXPECT_EQ(stream->Read(block.data(), 1, 2048), 904u);
    EXPECT_EQ(stream->FileBytesConsumed(), 5000u);
    EXPECT_FALSE(stream->Error());
}

TEST_F(PlainStreamTest, AnEmptyFileHasLengthZeroAndANewOneStartsEmpty) {
    FileHandle empty = StdioFileStream::Open(Write("empty.img", 0), "rb");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Length(), 0u);
    FileHandle created = StdioFileStream::Open(Write("old.img", 300), "w+b");
    ASSERT_TRUE(created);
    EXPECT_EQ(created->FileSize(), 0u);  // "w" truncated it
}

TEST_F(PlainStreamTest, AFifoOrFolderIsStillRefused) {
    const std::string fifo = folder_ + "/pipe.img";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(StdioFileStream::Open(fifo, "rb"));
    EXPECT_FALSE(StdioFileStream::Open(folder_, "rb"));
    EXPECT_FALSE(StdioFileStream::Open("/proc/self/status", "rb"));
}

TEST(SimulatedStreamTest, LengthAndConsumedFollowTheFileInMemory) {
    simulated::SimulatedFile file;
    file.bytes.assign(3000, 7);
    simulated::SimulatedFileStream stream(file);
    EXPECT_EQ(stream.Length(), 3000u);
    EXPECT_EQ(stream.FileSize(), 3000u);
    std::vector<char> block(2048);
    stream.Read(block.data(), 1, 2048);
    EXPECT_EQ(stream.FileBytesConsumed(), 2048u);
}

}  // namespace
