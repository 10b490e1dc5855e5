// Zip archives as images: exactly one file, readable without a password, in a method libarchive
// knows.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/storage/compressed/image_stream.h"
#include "tests/helpers/run_program.h"
#include "tests/platform/storage/streams/stream_test_support.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

class ZipImageTest : public StreamFolderTest {
  protected:
    // Runs zip in the test's folder, so the entries are named as given.
    void Zip(const std::vector<std::string>& args) {
        std::vector<std::string> command = {"sh", "-c", "cd \"$0\" && exec zip -q \"$@\"", folder_};
        command.insert(command.end(), args.begin(), args.end());
        std::string output;
        ASSERT_EQ(RunProgram(command, &output), 0) << output;
    }
};

TEST_F(ZipImageTest, AFolderBesideTheOneFileDoesNotCount) {
    const Bytes image = MixedBytes(300000, 1);
    std::filesystem::create_directory(PathOf("images"));
    ASSERT_TRUE(WriteBytes(PathOf("images/disk.img"), image));
    Zip({"-r", "packed.zip", "images"});
    FileHandle stream = OpenImageStream(PathOf("packed.zip"));
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->Length(), image.size());
    EXPECT_TRUE(ReadAllOf(*stream).bytes == image);
}

// Stored (zip -0): libarchive ends such an entry with an empty block of no address.
TEST_F(ZipImageTest, AStoredFileIsReadWhole) {
    const Bytes image = MixedBytes(300000, 6);
    ASSERT_TRUE(WriteBytes(PathOf("disk.img"), image));
    Zip({"-0", "stored.zip", "disk.img"});
    FileHandle stream = OpenImageStream(PathOf("stored.zip"));
    ASSERT_TRUE(stream);
    const ReadThrough read = ReadAllOf(*stream);
    EXPECT_FALSE(read.error);
    EXPECT_TRUE(read.bytes == image) << "got " << read.bytes.size() << " bytes";
}

TEST_F(ZipImageTest, ArchivesWithoutExactlyOneFileAreRefused) {
    ASSERT_TRUE(WriteBytes(PathOf("a.img"), MixedBytes(5000, 2)));
    ASSERT_TRUE(WriteBytes(PathOf("b.img"), MixedBytes(5000, 3)));
    Zip({"two.zip", "a.img", "b.img"});
    EXPECT_FALSE(OpenImageStream(PathOf("two.zip")));

    std::filesystem::create_symlink("a.img", PathOf("link.img"));
    Zip({"-y", "link.zip", "link.img"});  // the link itself, not the file it names
    EXPECT_FALSE(OpenImageStream(PathOf("link.zip")));

    // An empty archive is nothing but its end record.
    Bytes empty = {'P', 'K', 5, 6};
    empty.resize(22, 0);
    ASSERT_TRUE(WriteBytes(PathOf("empty.zip"), empty));
    EXPECT_FALSE(OpenImageStream(PathOf("empty.zip")));
}

TEST_F(ZipImageTest, AnEncryptedFileIsRefused) {
    ASSERT_TRUE(WriteBytes(PathOf("disk.img"), MixedBytes(5000, 4)));
    Zip({"-P", "secret", "locked.zip", "disk.img"});
    EXPECT_FALSE(OpenImageStream(PathOf("locked.zip")));
}

// Deflate64 (method 9), which libarchive does not decode, written into a stored archive's local
// header and directory entry.
TEST_F(ZipImageTest, AnUnsupportedMethodIsRefused) {
    ASSERT_TRUE(WriteBytes(PathOf("disk.img"), MixedBytes(5000, 5)));
    Zip({"-0", "stored.zip", "disk.img"});
    ASSERT_TRUE(OpenImageStream(PathOf("stored.zip")));
    Bytes file = ReadBytes(PathOf("stored.zip"));
    const Bytes central = {'P', 'K', 1, 2};
    const auto entry = std::search(file.begin(), file.end(), central.begin(), central.end());
    ASSERT_NE(entry, file.end());
    ASSERT_EQ(file[8], 0);  // stored
    file[8] = 9;
    *(entry + 10) = 9;
    ASSERT_TRUE(WriteBytes(PathOf("deflate64.zip"), file));
    EXPECT_FALSE(OpenImageStream(PathOf("deflate64.zip")));
}

}  // namespace
