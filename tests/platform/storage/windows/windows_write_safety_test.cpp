// Opening a physical drive for writing: volume locks all or nothing, the listed disk only, no
// write-protected medium; and how the engine ends when the open is refused.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/storage/failure_cause.h"
#include "platform/storage/windows/windows_storage.h"
#include "seam_fixture.h"
#include "tests/helpers/recording_imager.h"

using namespace platform::storage;
using storage_test::SeamFixture;
using testing_support::RecordingImager;

namespace {

constexpr uint64_t kDiskBytes = 1 << 20;
constexpr char kStick[] = "\\\\.\\PHYSICALDRIVE1";

class WindowsWriteSafety : public SeamFixture {
  protected:
    WindowsWriteSafety() {
        diskFile = AddDisk(1, kDiskBytes);
        AddVolume('E', 1, DRIVE_REMOVABLE, kDiskBytes / 2);
        AddVolume('F', 1, DRIVE_REMOVABLE, kDiskBytes / 4).extents.front().StartingOffset =
            kDiskBytes / 2;
        storage.GetLogicalDrives();  // the scan
        calls.events.clear();
    }
    DeviceHandle OpenForWriting() {
        ClearFailureCause();
        return storage.CreateFile(kStick, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  FILE_FLAG_NO_BUFFERING);
    }
    bool Touched(const std::string& prefix) const {
        return std::any_of(calls.events.begin(), calls.events.end(),
                           [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
    }
    // The locks, dismounts and unlocks in the order they happened.
    std::vector<std::string> LockSteps() const {
        std::vector<std::string> steps;
        for (const std::string& e : calls.events) {
            if (e.rfind("lock", 0) == 0 || e.rfind("dismount", 0) == 0 ||
                e.rfind("unlock", 0) == 0) {
                steps.push_back(e);
            }
        }
        return steps;
    }
    WindowsStorage storage{calls};
    std::string diskFile;
};

TEST_F(WindowsWriteSafety, EveryVolumeIsLockedThenDismountedAndUnlockedAfterTheDiskCloses) {
    DeviceHandle disk = OpenForWriting();
    ASSERT_TRUE(disk) << FailureCause();
    EXPECT_EQ(calls.locked, (std::set<char>{'E', 'F'}));
    EXPECT_EQ(LockSteps(),
              (std::vector<std::string>{"lock E", "lock F", "dismount E", "dismount F"}));

    const std::vector<uint8_t> bytes(4096, 0x5A);
    uint32_t written = 0;
    ASSERT_TRUE(WriteFile(disk, bytes.data(), 4096, &written));
    EXPECT_FALSE(calls.locked.empty());
    calls.events.clear();
    ASSERT_TRUE(CloseHandle(disk));
    // What was gathered goes to the disk, is flushed, then the partition table is read again.
    ASSERT_GE(calls.events.size(), 3u);
    EXPECT_EQ(calls.events[0], "write @0+4096");
    EXPECT_EQ(calls.events[1], "flush");
    EXPECT_EQ(calls.events[2], "update 1");
    EXPECT_TRUE(calls.locked.empty());
    EXPECT_EQ(calls.openHandles(), 0);
    // The unlocks come after the disk's handle closed: nothing opens the volumes in between.
    EXPECT_EQ(calls.events.back(), "unlock F");
}

TEST_F(WindowsWriteSafety, OneVolumeInUseUnlocksTheOthersAndWritesNothing) {
    calls.volumes['F'].refusesLock = true;
    DeviceHandle disk = OpenForWriting();
    EXPECT_FALSE(disk);
    EXPECT_NE(FailureCause().find("F:\\"), std::string::npos) << FailureCause();
    EXPECT_NE(FailureCause().find("in use"), std::string::npos) << FailureCause();
    EXPECT_EQ(LockSteps(), (std::vector<std::string>{"lock E", "lock refused F", "unlock E"}));
    EXPECT_TRUE(calls.locked.empty());
    EXPECT_FALSE(Touched("dismount"));
    EXPECT_FALSE(Touched("write"));
    EXPECT_EQ(calls.openHandles(), 0);
}

TEST_F(WindowsWriteSafety, TheRestoreEndsWithAWriteErrorNamingTheVolumeInUse) {
    calls.volumes['E'].refusesLock = true;
    const std::string image = (folder / "image.img").string();
    {
        std::vector<uint8_t> bytes = testing_support::PatternBytes(64 * 1024);
        std::FILE* file = std::fopen(image.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    RecordingImager imager(storage);
    imager.ScanDrives();
    EXPECT_FALSE(imager.RestoreImage(image, kStick, 64));
    ASSERT_FALSE(imager.errors.empty());
    EXPECT_EQ(imager.errors.back(), "Write I/O error");
    EXPECT_NE(imager.details.back().find("E:\\"), std::string::npos) << imager.details.back();
    EXPECT_FALSE(Touched("write"));
    EXPECT_EQ(FileBytes(diskFile), std::vector<uint8_t>(kDiskBytes, 0xEE));
}

TEST_F(WindowsWriteSafety, ADiskSwappedSinceTheScanIsRefusedBeforeAnythingIsLocked) {
    calls.disks[1].serial = "0002";  // another stick of the same make and size
    EXPECT_FALSE(OpenForWriting());
    EXPECT_NE(FailureCause().find("no longer the disk"), std::string::npos) << FailureCause();

    calls.disks[1].serial = "0001";
    calls.disks[1].length = kDiskBytes * 2;  // another card in the reader
    EXPECT_FALSE(OpenForWriting());

    calls.disks[1].length = kDiskBytes;
    calls.disks[1].reportedNumber = 4;  // the number now leads elsewhere
    EXPECT_FALSE(OpenForWriting());
    EXPECT_FALSE(Touched("lock"));

    calls.disks[1].reportedNumber.reset();
    EXPECT_TRUE(OpenForWriting()) << FailureCause();
}

TEST_F(WindowsWriteSafety, ADiskTheScanDidNotSeeIsRefused) {
    AddDisk(7, kDiskBytes);
    AddVolume('H', 7, DRIVE_REMOVABLE, kDiskBytes);
    ClearFailureCause();
    EXPECT_FALSE(storage.CreateFile("\\\\.\\PHYSICALDRIVE7", GENERIC_WRITE, 0, 0));
    EXPECT_NE(FailureCause().find("not seen"), std::string::npos) << FailureCause();
    EXPECT_FALSE(Touched("lock"));
}

TEST_F(WindowsWriteSafety, AWriteProtectedMediumIsRefusedAtOnce) {
    calls.disks[1].writeProtected = true;
    EXPECT_FALSE(OpenForWriting());
    EXPECT_NE(FailureCause().find("write-protected"), std::string::npos) << FailureCause();
    EXPECT_FALSE(Touched("lock"));
    // Reading it is fine.
    EXPECT_TRUE(storage.CreateFile(kStick, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 0));
}

TEST_F(WindowsWriteSafety, VolumesAreNeverWrittenThroughTheirOwnHandles) {
    DeviceHandle volume = storage.CreateFile("\\\\.\\E:", GENERIC_READ | GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, 0);
    ASSERT_TRUE(volume);
    EXPECT_FALSE(calls.events.empty());
    EXPECT_EQ(calls.events.front(), "open \\\\.\\E:");  // asked for reading only
    uint32_t written = 0;
    const uint8_t byte = 1;
    EXPECT_FALSE(WriteFile(volume, &byte, 1, &written));
    EXPECT_FALSE(Touched("lock"));
}

}  // namespace
