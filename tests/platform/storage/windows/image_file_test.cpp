// Image files on Windows: files of a disk only, created over nothing else.
#include "platform/storage/windows/image_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/storage/failure_cause.h"
#include "seam_fixture.h"

using namespace platform::storage;
using storage_test::SeamFixture;

namespace {

using ImageFileTest = SeamFixture;

TEST_F(ImageFileTest, APlainFileIsReadWrittenAndCreatedOver) {
    const std::string path = (folder / "stick.img").string();
    { std::ofstream(path, std::ios::binary) << "old contents"; }
    FileHandle reading = OpenImageFile(path, "rb");
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->Length(), 12u);
    char text[12] = {};
    EXPECT_EQ(reading->Read(text, 1, sizeof text), sizeof text);
    EXPECT_EQ(reading->FileBytesConsumed(), 12u);
    EXPECT_TRUE(reading->Close());

    FileHandle writing = OpenImageFile(path, "w+b");
    ASSERT_TRUE(writing);
    EXPECT_EQ(writing->Write("new", 1, 3), 3u);
    EXPECT_TRUE(writing->Flush());
    EXPECT_TRUE(writing->Close());
    EXPECT_EQ(FileBytes(path), (std::vector<uint8_t>{'n', 'e', 'w'}));

    const std::string fresh = (folder / "fresh.img").string();
    EXPECT_TRUE(OpenImageFile(fresh, "w+b"));
    EXPECT_TRUE(std::filesystem::exists(fresh));
    EXPECT_FALSE(OpenImageFile((folder / "missing.img").string(), "rb"));
}

TEST_F(ImageFileTest, DevicesFoldersAndConsolesAreNoImageFiles) {
    for (const std::string& path : {std::string("\\\\.\\C:"), std::string("\\\\.\\PHYSICALDRIVE0"),
                                    std::string("\\\\?\\C:\\x.img"), folder.string(),
                                    std::string("NUL"), std::string("CON")}) {
        ClearFailureCause();
        EXPECT_FALSE(OpenImageFile(path, "rb")) << path;
        EXPECT_FALSE(OpenImageFile(path, "w+b")) << path;
        EXPECT_FALSE(FailureCause().empty()) << path;
    }
}

}  // namespace
