// A partitioned loop device: partition volumes belong to their disk, a restore unmounts them and
// the kernel then knows the new partition table. Skipped where the kernel reads no MBR tables.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/platform/storage/linux/loop_device_fixture.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

struct PartitionSpan {
    uint32_t start;  // in 512-byte sectors
    uint32_t sectors;
};

// An image holding a master boot record with Linux partitions, then zeros.
Bytes MasterBootRecord(const std::vector<PartitionSpan>& partitions, size_t imageSize) {
    Bytes image(imageSize, 0);
    auto put32 = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            image[at + i] = static_cast<unsigned char>(value >> (8 * i));
        }
    };
    for (size_t i = 0; i < partitions.size(); ++i) {
        const size_t entry = 446 + 16 * i;
        image[entry + 4] = 0x83;
        put32(entry + 8, partitions[i].start);
        put32(entry + 12, partitions[i].sectors);
    }
    image[510] = 0x55;
    image[511] = 0xAA;
    return image;
}

std::string Attribute(const std::string& path) {
    const Bytes bytes = ReadWholeFile(path);
    std::string text(bytes.begin(), bytes.end());
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

TEST(LoopPartitionTest, RestoreUnmountsThePartitionsAndTheNewTableAppears) {
    LoopDevice::Options options;
    options.withFileSystem = false;
    options.partitionScan = true;
    options.firstBytes = MasterBootRecord({{2048, 16384}}, 512);
    LoopDevice loop(options);
    if (!loop.ok()) {
        GTEST_SKIP() << loop.failure();
    }
    const std::string disk = loop.device().substr(std::string("/dev/").size());
    const std::string sys = "/sys/block/" + disk + "/" + disk;
    if (!std::filesystem::exists(sys + "p1")) {
        GTEST_SKIP() << "this kernel reads no MBR partition tables";
    }
    ASSERT_EQ(RunProgram({"mkfs.ext4", "-q", "-F", "-E", "lazy_itable_init=0,lazy_journal_init=0",
                          loop.device() + "p1"}),
              0);
    const std::string mountPoint = loop.folder() + "/part one";
    ScopedMount mounted(loop.device() + "p1", mountPoint, "ext4");
    ASSERT_TRUE(mounted.ok());

    LinuxStorage storage;
    RecordingImager imager(storage);
    const std::string drive = storage.PhysicalDriveNameOf(loop.device());
    ASSERT_FALSE(drive.empty());
    ASSERT_EQ(storage.DeviceNodeOf(drive), loop.device());
    std::string letter;
    for (int attempt = 0; attempt < 5; ++attempt) {  // until no other volume came or went
        letter = storage.VolumeLetterOfPath(mountPoint);
        imager.ScanDrives();
        if (storage.VolumeLetterOfPath(mountPoint) == letter) {
            break;
        }
    }
    ASSERT_EQ(letter.size(), 1u);
    const PhysicalDriveEntry* entry = imager.FindPhysicalDrive(drive);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->volumeList, letter + ":\\ ");
    {
        DeviceHandle volume = storage.CreateFile("\\\\.\\" + letter + ":", GENERIC_READ,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE, 0);
        ASSERT_TRUE(volume);
        std::vector<DiskExtent> extents;
        ASSERT_TRUE(volume->GetVolumeDiskExtents(&extents));
        ASSERT_EQ(extents.size(), 1u);
        EXPECT_EQ("PHYSICALDRIVE" + std::to_string(extents[0].DiskNumber), drive);
        EXPECT_EQ(extents[0].StartingOffset, 2048 * 512);
        EXPECT_EQ(extents[0].ExtentLength, 16384 * 512);
    }

    const std::string image = loop.folder() + "/image.img";
    ASSERT_TRUE(WriteWholeFile(image, MasterBootRecord({{2048, 8192}, {10240, 8192}}, 1 << 20)));
    EXPECT_TRUE(imager.RestoreImage(image, "\\\\.\\" + drive, 8192));
    EXPECT_EQ(imager.errors, std::vector<std::string>{});
    EXPECT_EQ(imager.messages, std::vector<std::string>{"Finished"});
    EXPECT_FALSE(IsMountPoint(mountPoint));
    EXPECT_EQ(Attribute(sys + "p1/size"), "8192");
    EXPECT_EQ(Attribute(sys + "p2/start"), "10240");
}

}  // namespace
