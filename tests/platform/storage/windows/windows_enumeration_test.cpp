// What the scan learns of the drives through kernel32: letters, types, sizes, extents, bus type.
#include <gtest/gtest.h>

#include "platform/storage/windows/windows_storage.h"
#include "seam_fixture.h"
#include "tests/helpers/recording_imager.h"

using namespace platform::storage;
using storage_test::SeamFixture;
using testing_support::RecordingImager;

namespace {

constexpr uint64_t MB = 1000 * 1000;

class WindowsEnumeration : public SeamFixture {
  protected:
    WindowsEnumeration() {
        AddDisk(0, 4 * MB);
        calls.disks[0].busType = BusTypeSata;
        calls.disks[0].removable = false;
        AddVolume('C', 0, DRIVE_FIXED, 4 * MB);
        AddDisk(2, 2 * MB);
        AddVolume('E', 2, DRIVE_REMOVABLE, 1 * MB);
        AddVolume('F', 2, DRIVE_REMOVABLE, 500 * 1000).extents.front().StartingOffset = 1 * MB;
        AddVolume('G', 3, DRIVE_REMOVABLE, 100 * 1000);  // on a disk that does not open
        calls.volumes['G'].extents.push_back({2, 0, 4096});
    }
    WindowsStorage storage{calls};
};

TEST_F(WindowsEnumeration, TheInventoryFilesVolumesUnderTheDisksOfTheirExtents) {
    RecordingImager imager(storage);
    imager.ScanDrives();

    ASSERT_EQ(imager.PhysicalDriveCount(), 3);
    const PhysicalDriveEntry* stick = imager.FindPhysicalDrive("PHYSICALDRIVE2");
    ASSERT_NE(stick, nullptr);
    EXPECT_EQ(stick->volumeList, "E:\\ F:\\ ");
    EXPECT_EQ(stick->totalKB, static_cast<int32_t>((1 * MB >> 10) + (500 * 1000 >> 10)));
    EXPECT_EQ(stick->volumes.at("E")->driveKind, 5);
    EXPECT_EQ(stick->volumes.at("E")->busType, BusTypeUsb);
    const PhysicalDriveEntry* system = imager.FindPhysicalDrive("PHYSICALDRIVE0");
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->volumes.at("C")->driveKind, 1);
    // A volume spanning disks is filed under the disk of its first extent.
    EXPECT_NE(imager.FindPhysicalDrive("PHYSICALDRIVE3"), nullptr);
}

TEST_F(WindowsEnumeration, AStickOnAnotherBusIsNotTakenForUsb) {
    calls.disks[2].busType = BusTypeSd;
    RecordingImager imager(storage);
    imager.ScanDrives();
    EXPECT_NE(imager.FindPhysicalDrive("PHYSICALDRIVE2")->volumes.at("E")->busType, BusTypeUsb);
}

TEST_F(WindowsEnumeration, RootPathsAreAskedOnlyInTheirOwnForm) {
    EXPECT_EQ(storage.GetLogicalDrives(), (1u << 2) | (1u << 4) | (1u << 5) | (1u << 6));
    EXPECT_EQ(storage.GetDriveType("E:\\"), static_cast<DriveType>(DRIVE_REMOVABLE));
    EXPECT_EQ(storage.GetDriveType("E:"), static_cast<DriveType>(DRIVE_NO_ROOT_DIR));
    uint64_t total = 0;
    EXPECT_TRUE(storage.GetDiskFreeSpaceEx("F:\\", &total));
    EXPECT_EQ(total, 500 * 1000u);
    EXPECT_FALSE(storage.GetDiskFreeSpaceEx("\\\\.\\F:", &total));
    EXPECT_FALSE(storage.GetDiskFreeSpaceEx("K:\\", &total));
}

TEST_F(WindowsEnumeration, DisksAreDescribedWithTheirVolumesAndCapacity) {
    uint64_t length = 0;
    ASSERT_TRUE(storage.GetPhysicalDriveLength("PHYSICALDRIVE2", &length));
    EXPECT_EQ(length, 2 * MB);
    EXPECT_FALSE(storage.GetPhysicalDriveLength("PHYSICALDRIVE3", &length));
    EXPECT_FALSE(storage.GetPhysicalDriveLength("PHYSICALDRIVE02", &length));

    calls.volumes['E'].label = "HOLIDAYS";
    calls.volumes['E'].fileSystem = "FAT32";
    const auto stick = storage.DescribePhysicalDrive("PHYSICALDRIVE2");
    ASSERT_TRUE(stick.has_value());
    EXPECT_EQ(stick->capacityBytes, 2 * MB);
    EXPECT_EQ(stick->transport, "USB");
    EXPECT_EQ(stick->model, "Stick");
    ASSERT_EQ(stick->volumes.size(), 3u);  // G:\ reaches onto it too
    EXPECT_EQ(stick->volumes[0].mountPoint, "E:\\");
    EXPECT_EQ(stick->volumes[0].label, "HOLIDAYS");
    EXPECT_EQ(stick->volumes[0].fileSystem, "FAT32");
    // A volume whose file system the system does not recognise has neither.
    EXPECT_EQ(stick->volumes[1].fileSystem, "");
    EXPECT_EQ(stick->volumes[1].label, "");

    AddDisk(5, 1 * MB);  // a disk without a lettered volume
    const std::vector<DriveDescription> disks = storage.DescribeDisks();
    ASSERT_EQ(disks.size(), 3u);
    EXPECT_EQ(disks[0].name, "PHYSICALDRIVE0");
    EXPECT_EQ(disks[1].name, "PHYSICALDRIVE2");
    EXPECT_EQ(disks[1].whyNotOffered, "");
    EXPECT_EQ(disks[2].name, "PHYSICALDRIVE5");
    EXPECT_EQ(disks[2].whyNotOffered, "it has no volume with a drive letter");
}

TEST_F(WindowsEnumeration, AFileLiesOnTheDisksOfItsVolume) {
    // The test's own files: on C:\, which the seam files under disk 0, or on a drive (Z:\)
    // the seam does not list.
    const std::string here = (folder / "image.img").string();
    const bool onC = here[0] == 'C' || here[0] == 'c';
    EXPECT_EQ(storage.VolumeLetterOfPath(here), onC ? "C" : "") << here;
    EXPECT_EQ(storage.PhysicalDrivesOfPath(here),
              onC ? std::vector<std::string>{"PHYSICALDRIVE0"} : std::vector<std::string>{});
    EXPECT_EQ(storage.ExplainPathOnDrive(here, "PHYSICALDRIVE2"), "");

    EXPECT_EQ(storage.VolumeLetterOfPath("F:\\images\\stick.img"), "F");
    EXPECT_EQ(storage.VolumeLetterOfPath("f:/images/../stick.img"), "F");
    EXPECT_EQ(storage.VolumeLetterOfPath("K:\\stick.img"), "");
    EXPECT_EQ(storage.VolumeLetterOfPath("\\\\server\\share\\stick.img"), "");
    EXPECT_EQ(storage.PhysicalDrivesOfPath("G:\\x.img"),
              (std::vector<std::string>{"PHYSICALDRIVE3", "PHYSICALDRIVE2"}));
    EXPECT_EQ(storage.ExplainPathOnDrive("F:\\stick.img", "PHYSICALDRIVE2"),
              "F:\\stick.img is on F:\\, a volume of PHYSICALDRIVE2, the drive it would be "
              "written to.");
    EXPECT_EQ(storage.ExplainPathOnDrive("F:\\stick.img", "PHYSICALDRIVE0"), "");
}

// V:\ is a virtual disk (disk 7) whose file lies on E:\ of the stick (disk 2), reached from it
// in turn through W:\, a virtual disk on V:\: an image on V:\ or W:\ lies on the stick too.
TEST_F(WindowsEnumeration, AFileOnAVirtualDiskLiesOnTheDiskThatHoldsTheVirtualDisksFile) {
    AddDisk(7, 1 * MB);
    AddVolume('V', 7, DRIVE_FIXED, 1 * MB).virtualDiskHosts = {"E:\\"};
    AddDisk(8, 1 * MB);
    AddVolume('W', 8, DRIVE_FIXED, 1 * MB).virtualDiskHosts = {"\\\\?\\Volume{V}\\",
                                                               "\\\\?\\Volume{E}\\"};
    EXPECT_EQ(storage.PhysicalDrivesOfPath("V:\\stick.img"),
              (std::vector<std::string>{"PHYSICALDRIVE7", "PHYSICALDRIVE2"}));
    EXPECT_EQ(storage.PhysicalDrivesOfPath("W:\\stick.img"),
              (std::vector<std::string>{"PHYSICALDRIVE8", "PHYSICALDRIVE7", "PHYSICALDRIVE2"}));
    EXPECT_EQ(storage.ExplainPathOnDrive("V:\\stick.img", "PHYSICALDRIVE2"),
              "V:\\stick.img is on V:\\, a virtual disk whose file lies on PHYSICALDRIVE2, the "
              "drive it would be written to.");
    EXPECT_EQ(storage.ExplainPathOnDrive("V:\\stick.img", "PHYSICALDRIVE7"),
              "V:\\stick.img is on V:\\, a volume of PHYSICALDRIVE7, the drive it would be "
              "written to.");
    // A real disk's volume has no host volumes: the system's refusal leaves it as it was.
    EXPECT_EQ(storage.PhysicalDrivesOfPath("C:\\stick.img"),
              std::vector<std::string>{"PHYSICALDRIVE0"});
}

}  // namespace
