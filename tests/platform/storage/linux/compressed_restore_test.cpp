// Compressed images restored by the engine onto a loop device through the real backend (root
// only; skipped with the reason otherwise): the drive gets the decompressed bytes, and damaged,
// truncated or false files end as a failing plain image does.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/helpers/compressed_images.h"
#include "tests/platform/storage/linux/loop_device_fixture.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

constexpr size_t kDriveBytes = 16u << 20;
constexpr size_t kFilledBytes = 6u << 20;  // the drive's start, before a restore
constexpr unsigned char kFill = 0xEE;
constexpr int32_t kSizeKB = 8192;

// A loop device without a file system whose first 6 MiB hold kFill, the backend and an engine.
class RestoreOnLoopTest : public testing::Test {
  protected:
    void SetUp() override {
        LoopDevice::Options options;
        options.sizeBytes = kDriveBytes;
        options.withFileSystem = false;
        options.firstBytes.assign(kFilledBytes, kFill);
        loop_ = std::make_unique<LoopDevice>(options);
        if (!loop_->ok()) {
            GTEST_SKIP() << loop_->failure();
        }
        drive_ = storage_.PhysicalDriveNameOf(loop_->device());
        // Never aim at anything but the loop device this test created.
        ASSERT_FALSE(drive_.empty());
        ASSERT_EQ(storage_.DeviceNodeOf(drive_), loop_->device());
    }

    std::string DevicePath() const { return "\\\\.\\" + drive_; }
    std::string PathOf(const std::string& name) const { return loop_->folder() + "/" + name; }
    Bytes DriveStart() const { return ReadDevice(loop_->device(), kFilledBytes); }

    std::string Packed(const std::string& name, const Bytes& image, Compressor compressor) {
        EXPECT_TRUE(WriteBytes(PathOf(name), image));
        std::string failure;
        const std::string packed = Compress(PathOf(name), compressor, &failure);
        EXPECT_FALSE(packed.empty()) << failure;
        return packed;
    }

    // What restoring path left: the reports and the drive's start.
    struct Outcome {
        std::vector<std::string> errors;
        std::vector<std::string> messages;
        std::vector<int32_t> positions;
        Bytes drive;
        std::vector<std::string> details;
    };
    Outcome Restore(const std::string& path) {
        RecordingImager imager(storage_);
        imager.RestoreImage(path, DevicePath(), kSizeKB);
        return {imager.errors, imager.messages, imager.positions, DriveStart(), imager.details};
    }

    // Puts kFill back over the drive's start.
    void Refill() {
        ASSERT_TRUE(WriteBytes(PathOf("fill.img"), Bytes(kFilledBytes, kFill)));
        ASSERT_EQ(Restore(PathOf("fill.img")).messages, std::vector<std::string>{"Finished"});
    }

    static void ExpectImageThenFill(const Bytes& drive, const Bytes& image) {
        ASSERT_EQ(drive.size(), kFilledBytes);
        EXPECT_TRUE(std::equal(image.begin(), image.end(), drive.begin()));
        EXPECT_TRUE(std::all_of(drive.begin() + static_cast<long>(image.size()), drive.end(),
                                [](unsigned char b) { return b == kFill; }));
    }

    // The prefix the drive must hold after a restore that failed in the middle of the image.
    static void ExpectStartOfImage(const Bytes& drive, const Bytes& image) {
        const size_t before = image.size() / 5;
        EXPECT_TRUE(
            std::equal(image.begin(), image.begin() + static_cast<long>(before), drive.begin()));
    }

    std::unique_ptr<LoopDevice> loop_;
    LinuxStorage storage_;
    std::string drive_;
};

// A restore's positions: those of writing, up to its 1000, and those of the read-back after it.
std::vector<int32_t> WritePhase(const std::vector<int32_t>& positions) {
    const auto end = std::find(positions.begin(), positions.end(), 1000);
    return {positions.begin(), end == positions.end() ? end : end + 1};
}
std::vector<int32_t> ReadBackPhase(const std::vector<int32_t>& positions) {
    const size_t writing = WritePhase(positions).size();
    auto start = positions.begin() + static_cast<long>(writing);
    while (start != positions.end() && *start == 1000) {
        ++start;  // the write phase may end on 1000 more than once
    }
    return {start, positions.end()};
}

class CompressedRestoreTest : public RestoreOnLoopTest,
                              public testing::WithParamInterface<Compressor> {
  protected:
    std::string Packed(const std::string& name, const Bytes& image) {
        return RestoreOnLoopTest::Packed(name, image, GetParam());
    }
};

TEST_P(CompressedRestoreTest, TheDriveGetsTheDecompressedBytesAsFromThePlainFile) {
    // Shorter than the drive, with a partial last block.
    const Bytes image = MixedBytes((3u << 20) + 1000, 1);
    const std::string packed = Packed("disk.img", image);
    const Outcome plain = Restore(PathOf("disk.img"));
    ExpectImageThenFill(plain.drive, image);
    Refill();

    const Outcome compressed = Restore(packed);
    EXPECT_EQ(compressed.errors, plain.errors);
    EXPECT_EQ(compressed.messages, std::vector<std::string>{"Finished"});
    // Writing, the stream's length unknown, progress follows the compressed file; its read-back
    // counts the bytes written, as the plain file's does.
    const auto writing = WritePhase(compressed.positions);
    EXPECT_LT(writing.front(), 100);
    EXPECT_TRUE(std::is_sorted(writing.begin(), writing.end()));
    EXPECT_EQ(writing.back(), 1000);
    EXPECT_EQ(ReadBackPhase(compressed.positions), ReadBackPhase(plain.positions));
    EXPECT_TRUE(compressed.drive == plain.drive);
}

TEST_P(CompressedRestoreTest, DamageInTheMiddleIsAReadErrorAfterTheBytesBeforeIt) {
    const Bytes image = MixedBytes((4u << 20) + 1000, 2);
    const std::string packed = Packed("disk.img", image);
    Bytes file = ReadBytes(packed);
    for (size_t i = file.size() / 2; i < file.size() / 2 + 16; ++i) {
        file[i] ^= 0x5A;
    }
    ASSERT_TRUE(WriteBytes(packed, file));

    const Outcome outcome = Restore(packed);
    EXPECT_EQ(outcome.errors, std::vector<std::string>{"Read I/O error"});
    EXPECT_TRUE(outcome.messages.empty());
    ExpectStartOfImage(outcome.drive, image);
}

TEST_P(CompressedRestoreTest, AFileCutShortIsAReadErrorNotFinished) {
    const Bytes image = MixedBytes((4u << 20) + 1000, 3);
    const std::string packed = Packed("disk.img", image);
    std::filesystem::resize_file(packed, std::filesystem::file_size(packed) * 6 / 10);

    const Outcome outcome = Restore(packed);
    EXPECT_TRUE(outcome.messages.empty());
    if (GetParam() == Compressor::kZip) {
        // Its directory, at the end, is gone: refused before the drive is touched.
        EXPECT_EQ(outcome.errors, std::vector<std::string>{"Error opening image file"});
        ExpectImageThenFill(outcome.drive, {});
        return;
    }
    EXPECT_EQ(outcome.errors, std::vector<std::string>{"Read I/O error"});
    ExpectStartOfImage(outcome.drive, image);
}

// Stored without compression, a zip's damage shows only in the checksum at the end of its entry,
// when every block of the image has been written: that is damage in the image, not a drive too
// small for it.
TEST_F(RestoreOnLoopTest, DamageFoundAtTheEndOfAStoredZipIsAReadError) {
    const Bytes image = MixedBytes(4u << 20, 4);
    ASSERT_TRUE(WriteBytes(PathOf("disk.img"), image));
    std::string failure;
    const std::string stored = Compress(PathOf("disk.img"), Compressor::kZip, &failure, {"-0"});
    ASSERT_FALSE(stored.empty()) << failure;
    Bytes file = ReadBytes(stored);
    file[file.size() / 2] ^= 0x01;
    ASSERT_TRUE(WriteBytes(stored, file));

    const Outcome outcome = Restore(stored);

    EXPECT_EQ(outcome.errors, std::vector<std::string>{"Read I/O error"});
    ASSERT_EQ(outcome.details.size(), 1u);
    EXPECT_NE(outcome.details[0].find("is damaged"), std::string::npos) << outcome.details[0];
    EXPECT_TRUE(outcome.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, CompressedRestoreTest, testing::ValuesIn(kAllCompressors),
                         [](const auto& info) { return NameOf(info.param); });

// Files refused before the drive is opened.
using RefusedImageTest = RestoreOnLoopTest;

TEST_F(RefusedImageTest, FalseAndUnreadableFilesLeaveTheDriveUntouched) {
    ASSERT_TRUE(WriteBytes(PathOf("a.img"), MixedBytes(100000, 4)));
    ASSERT_TRUE(WriteBytes(PathOf("b.img"), MixedBytes(100000, 5)));
    const std::string twoFiles = PathOf("two.zip");
    ASSERT_EQ(RunProgram({"zip", "-q", "-j", twoFiles, PathOf("a.img"), PathOf("b.img")}), 0);
    const std::string xz = Packed("c.img", MixedBytes(100000, 6), Compressor::kXz);
    ASSERT_FALSE(xz.empty());
    std::filesystem::resize_file(xz, 10);  // inside its 12-byte header
    const std::string text = PathOf("notes.img.gz");
    ASSERT_TRUE(WriteBytes(text, Bytes(50000, 'a')));

    for (const std::string& path : {twoFiles, xz, text}) {
        const Outcome outcome = Restore(path);
        EXPECT_EQ(outcome.errors, std::vector<std::string>{"Error opening image file"}) << path;
        EXPECT_TRUE(outcome.messages.empty());
        ExpectImageThenFill(outcome.drive, {});
    }
}

}  // namespace
