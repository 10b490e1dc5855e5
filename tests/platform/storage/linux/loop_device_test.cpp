// The real backend on loop devices (root only; skipped with the reason otherwise).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/storage/linux/unique_fd.h"
#include "tests/platform/storage/linux/loop_device_fixture.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

int32_t DfSizeKB(const std::string& mountPoint) {
    std::string output;
    if (RunProgram({"df", "-k", "--output=size", mountPoint}, &output) != 0) {
        return -1;
    }
    return std::atoi(output.substr(output.find('\n') + 1).c_str());
}

using LoopScanTest = LoopDeviceTest;

TEST_P(LoopScanTest, FilesOnePhysicalDriveWithTheVolume) {
    // Letters follow the mounted volumes; scan again if a volume of someone else came or went.
    std::string letter;
    for (int attempt = 0; attempt < 5; ++attempt) {
        letter = storage_->VolumeLetterOfPath(loop_->mountPoint());
        imager_->ScanDrives();
        if (storage_->VolumeLetterOfPath(loop_->mountPoint()) == letter) {
            break;
        }
    }
    ASSERT_EQ(letter.size(), 1u);
    const PhysicalDriveEntry* entry = imager_->FindPhysicalDrive(drive_);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->volumeList, letter + ":\\ ");
    EXPECT_EQ(entry->totalKB, DfSizeKB(loop_->mountPoint()));
    EXPECT_GT(entry->totalKB, 0);
    ASSERT_EQ(entry->volumes.count(letter), 1u);
    EXPECT_EQ(entry->volumes.at(letter)->driveKind, 1);  // a loop device is a fixed disk
    EXPECT_EQ(storage_->GetDriveType(letter + ":\\"), DRIVE_FIXED);
    EXPECT_TRUE(imager_->IsOnPhysicalDrive(letter, DevicePath()));
    EXPECT_EQ(storage_->VolumeLetterOfPath(loop_->mountPoint() + "/not/yet/there.img"), letter);
    EXPECT_NE(storage_->VolumeLetterOfPath(loop_->folder()), letter);
    EXPECT_TRUE(IsMountPoint(loop_->mountPoint()));  // the scan leaves the volume alone
}

// The scan opens every volume for writing: a user who may not write the device gets no drive.
TEST_P(LoopScanTest, AUserWhoMayNotWriteTheDeviceGetsNoDrive) {
    constexpr uid_t kNobody = 65534;
    // Readable by everyone, so only the lack of write permission keeps the drive out.
    struct stat node {};
    ASSERT_EQ(::stat(loop_->device().c_str(), &node), 0);
    ASSERT_EQ(::chmod(loop_->device().c_str(), 0644), 0);
    const pid_t child = ::fork();
    if (child < 0) {
        ::chmod(loop_->device().c_str(), node.st_mode & 07777);
    }
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setresgid(kNobody, kNobody, kNobody) != 0 ||
            ::setresuid(kNobody, kNobody, kNobody) != 0) {
            ::_exit(2);
        }
        LinuxStorage storage;
        DiskImager imager(storage);
        imager.ScanDrives();
        ::_exit(imager.FindPhysicalDrive(drive_) == nullptr ? 0 : 1);
    }
    int status = 0;
    const pid_t waited = ::waitpid(child, &status, 0);
    ::chmod(loop_->device().c_str(), node.st_mode & 07777);
    ASSERT_EQ(waited, child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

using LoopTransferTest = LoopDeviceTest;

TEST_P(LoopTransferTest, RestorePutsExactlyTheImageOnTheDevice) {
    // The first restore unmounts the volume; the second, shorter and ending inside a sector,
    // must leave everything after its last byte as the first one wrote it.
    const Bytes first = RandomBytes(3u << 20, 1);
    const Bytes second = RandomBytes((1u << 20) + 2048 * 3 + 1000, 2);
    const std::string image = loop_->folder() + "/image.img";
    ASSERT_TRUE(WriteWholeFile(image, first));
    EXPECT_TRUE(imager_->RestoreImage(image, DevicePath(), 8192));
    EXPECT_EQ(imager_->errors, std::vector<std::string>{})
        << testing::PrintToString(imager_->details);
    EXPECT_EQ(imager_->messages, std::vector<std::string>{"Finished"});
    EXPECT_FALSE(IsMountPoint(loop_->mountPoint()));
    EXPECT_EQ(ReadDevice(loop_->device(), first.size()), first);

    ASSERT_TRUE(WriteWholeFile(image, second));
    EXPECT_TRUE(imager_->RestoreImage(image, DevicePath(), 8192));
    EXPECT_EQ(imager_->errors, std::vector<std::string>{});
    Bytes expected = first;
    std::copy(second.begin(), second.end(), expected.begin());
    EXPECT_EQ(ReadDevice(loop_->device(), first.size()), expected);
}

TEST_P(LoopTransferTest, CreateImageCopiesTheFirstKilobytes) {
    const std::string image = loop_->folder() + "/copy.img";
    EXPECT_TRUE(imager_->CreateImage(DevicePath(), image, 1001));
    EXPECT_EQ(imager_->ReportCount(), 0);
    const Bytes copy = ReadWholeFile(image);
    EXPECT_EQ(copy.size(), 1002u * 1024);  // whole 2 KB blocks
    const Bytes device = ReadDevice(loop_->device(), 1002 * 1024);
    ASSERT_EQ(copy.size(), device.size());
    const auto differ = std::mismatch(copy.begin(), copy.end(), device.begin());
    EXPECT_TRUE(differ.first == copy.end())
        << "first difference at " << (differ.first - copy.begin());
    EXPECT_TRUE(IsMountPoint(loop_->mountPoint()));  // reading does not unmount
}

INSTANTIATE_TEST_SUITE_P(SectorSizes, LoopScanTest, testing::Values(512u, 4096u));
INSTANTIATE_TEST_SUITE_P(SectorSizes, LoopTransferTest, testing::Values(512u, 4096u));

using LoopSafetyTest = LoopDeviceTest;

TEST_P(LoopSafetyTest, ImageOnTheTargetDriveIsRefusedAndNothingWritten) {
    const std::string inside = loop_->mountPoint() + "/image.img";
    ASSERT_TRUE(WriteWholeFile(inside, RandomBytes(64 << 10, 3)));
    ASSERT_EQ(::mkdir((loop_->mountPoint() + "/sub").c_str(), 0700), 0);
    ASSERT_TRUE(WriteWholeFile(loop_->mountPoint() + "/sub/image.img", RandomBytes(4096, 4)));
    ScopedMount bind(loop_->mountPoint() + "/sub", loop_->folder() + "/bound", nullptr);
    ASSERT_TRUE(bind.ok());
    SyncFileSystem(loop_->mountPoint());
    const Bytes before = ReadDevice(loop_->device(), kDeviceBytes);

    for (const std::string& image : {inside, loop_->folder() + "/bound/image.img"}) {
        RecordingImager imager(*storage_);
        EXPECT_FALSE(imager.RestoreImage(image, DevicePath(), 8192)) << image;
        EXPECT_EQ(imager.errors, std::vector<std::string>{
                                     "source path belongs to the destination  physical drive"});
    }
    const std::string created = loop_->mountPoint() + "/new.img";
    EXPECT_FALSE(imager_->CreateImage(DevicePath(), created, 64));
    EXPECT_EQ(imager_->errors,
              std::vector<std::string>{"destination path belongs to source physical drive"});
    EXPECT_NE(::access(created.c_str(), F_OK), 0);

    EXPECT_TRUE(IsMountPoint(loop_->mountPoint()));
    EXPECT_TRUE(ReadDevice(loop_->device(), kDeviceBytes) == before);
}

TEST_P(LoopSafetyTest, BusyVolumeLeavesTheDriveUntouched) {
    const std::string image = loop_->folder() + "/image.img";
    ASSERT_TRUE(WriteWholeFile(image, RandomBytes(1 << 20, 5)));
    ASSERT_TRUE(WriteWholeFile(loop_->mountPoint() + "/open.txt", RandomBytes(100, 6)));
    SyncFileSystem(loop_->mountPoint());
    const Bytes before = ReadDevice(loop_->device(), kDeviceBytes);
    {
        UniqueFd busy(::open((loop_->mountPoint() + "/open.txt").c_str(), O_RDONLY | O_CLOEXEC));
        ASSERT_TRUE(busy.valid());
        EXPECT_FALSE(imager_->RestoreImage(image, DevicePath(), 8192));
        EXPECT_EQ(imager_->errors, std::vector<std::string>{"Write I/O error"});
        EXPECT_TRUE(imager_->messages.empty());
    }
    EXPECT_TRUE(IsMountPoint(loop_->mountPoint()));
    EXPECT_TRUE(ReadDevice(loop_->device(), kDeviceBytes) == before);
}

INSTANTIATE_TEST_SUITE_P(SectorSizes, LoopSafetyTest, testing::Values(512u));

TEST(LoopWriteProtectedTest, RestoreFailsWithoutUnmounting) {
    LoopDevice::Options options;
    options.readOnly = true;
    LoopDevice loop(options);
    if (!loop.ok()) {
        GTEST_SKIP() << loop.failure();
    }
    LinuxStorage storage;
    RecordingImager imager(storage);
    const std::string drive = storage.PhysicalDriveNameOf(loop.device());
    ASSERT_FALSE(drive.empty());
    ASSERT_EQ(storage.DeviceNodeOf(drive), loop.device());
    const std::string image = loop.folder() + "/image.img";
    ASSERT_TRUE(WriteWholeFile(image, RandomBytes(64 << 10, 7)));
    const Bytes before = ReadDevice(loop.device(), 1 << 20);

    EXPECT_FALSE(imager.RestoreImage(image, "\\\\.\\" + drive, 8192));
    EXPECT_EQ(imager.errors, std::vector<std::string>{"Write I/O error"});
    EXPECT_EQ(imager.details, std::vector<std::string>{
                                  loop.device() + " is write-protected (a card's lock switch, or "
                                                  "the system marks it read-only). Nothing was "
                                                  "unmounted or written."});
    EXPECT_TRUE(IsMountPoint(loop.mountPoint()));
    EXPECT_TRUE(ReadDevice(loop.device(), 1 << 20) == before);
}

}  // namespace
