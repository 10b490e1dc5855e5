#include <gtest/gtest.h>

#include <limits>

#include "tests/helpers/recording_imager.h"

using namespace platform::storage;
using platform::storage::simulated::SimulatedStorage;
using testing_support::RecordingImager;

namespace {

constexpr uint64_t KB = 1024;

class DriveInventory : public ::testing::Test {
  protected:
    SimulatedStorage storage;
    RecordingImager imager{storage};
};

TEST_F(DriveInventory, GroupsVolumesOfOneDriveInLetterOrder) {
    storage.AddDisk(1, 1000000 * KB);
    storage.AddVolume('F', 1, DRIVE_REMOVABLE, 300000 * KB);
    storage.AddVolume('E', 1, DRIVE_REMOVABLE, 500000 * KB);
    storage.AddVolume('C', 0, DRIVE_FIXED, 80000000 * KB);

    imager.ScanDrives();

    ASSERT_EQ(imager.PhysicalDriveCount(), 2);
    const PhysicalDriveEntry* entry = imager.FindPhysicalDrive("PHYSICALDRIVE1");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->name, "PHYSICALDRIVE1");
    EXPECT_EQ(entry->totalKB, 800000);
    EXPECT_EQ(entry->volumeList, "E:\\ F:\\ ");
    ASSERT_EQ(entry->volumes.size(), 2u);
    const LogicalDriveEntry& e = *entry->volumes.at("E");
    EXPECT_EQ(e.letter, "E");
    EXPECT_EQ(e.sizeKB, 500000);
    EXPECT_EQ(e.driveKind, 5);
    EXPECT_EQ(e.physicalDrive, "PHYSICALDRIVE1");
    EXPECT_EQ(imager.FindPhysicalDrive("PHYSICALDRIVE0")->volumes.at("C")->driveKind, 1);
    EXPECT_EQ(imager.ReportCount(), 0);
}

TEST_F(DriveInventory, FailedOpenOrExtentsLeaveTheLetterOut) {
    storage.AddVolume('D', 0, DRIVE_FIXED, 100 * KB).openFails = true;
    storage.AddVolume('E', 1, DRIVE_REMOVABLE, 100 * KB).extentsFail = true;
    storage.AddVolume('F', std::nullopt, DRIVE_REMOTE, 100 * KB);
    storage.AddVolume('G', 2, DRIVE_CDROM, 100 * KB);

    imager.ScanDrives();

    EXPECT_EQ(imager.PhysicalDriveCount(), 1);
    const PhysicalDriveEntry* entry = imager.FindPhysicalDrive("PHYSICALDRIVE2");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->volumes.at("G")->driveKind, 0);
    EXPECT_EQ(imager.VolumeToPhysicalDrive("D"), "");
    EXPECT_EQ(imager.VolumeToPhysicalDrive("E"), "");
    EXPECT_EQ(imager.VolumeToPhysicalDrive("Z"), "");
}

TEST_F(DriveInventory, FailedSizeQueryFilesTheVolumeWithZero) {
    storage.AddVolume('E', 1, DRIVE_REMOVABLE, 500 * KB).sizeFails = true;
    storage.AddVolume('F', 1, DRIVE_REMOVABLE, 700 * KB).sizeFails = true;

    imager.ScanDrives();

    const PhysicalDriveEntry* entry = imager.FindPhysicalDrive("PHYSICALDRIVE1");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->volumes.at("E")->sizeKB, 0);
    EXPECT_EQ(entry->totalKB, 0);
    EXPECT_EQ(imager.VolumeSizeKB("Q:\\"), 0);
}

TEST_F(DriveInventory, BusTypeIsSetOnlyForAProbedUsbRemovable) {
    storage.AddVolume('E', 1, DRIVE_REMOVABLE, KB).busType = BusTypeUsb;
    auto& probeOpenFails = storage.AddVolume('F', 2, DRIVE_REMOVABLE, KB);
    probeOpenFails.busType = BusTypeUsb;
    probeOpenFails.probeOpenFails = true;
    auto& probeFails = storage.AddVolume('G', 3, DRIVE_REMOVABLE, KB);
    probeFails.busType = BusTypeUsb;
    probeFails.probeFails = true;
    storage.AddVolume('H', 4, DRIVE_REMOVABLE, KB).busType = BusTypeSd;
    storage.AddVolume('I', 5, DRIVE_FIXED, KB).busType = BusTypeUsb;

    imager.ScanDrives();

    auto busType = [&](const char* drive, const char* letter) {
        return imager.FindPhysicalDrive(drive)->volumes.at(letter)->busType;
    };
    EXPECT_EQ(busType("PHYSICALDRIVE1", "E"), 7);
    EXPECT_EQ(busType("PHYSICALDRIVE2", "F"), 0);
    EXPECT_EQ(busType("PHYSICALDRIVE3", "G"), 0);
    EXPECT_EQ(busType("PHYSICALDRIVE4", "H"), 0);
    EXPECT_EQ(busType("PHYSICALDRIVE5", "I"), 0);
}

TEST_F(DriveInventory, HugeSizesSaturateInsteadOfWrapping) {
    const uint64_t threeTB = 3ull << 40;
    storage.AddVolume('E', 1, DRIVE_FIXED, threeTB);
    storage.AddVolume('F', 2, DRIVE_FIXED, (1536ull << 30));  // 1.5 TB each: the sum overflows
    storage.AddVolume('G', 2, DRIVE_FIXED, (1536ull << 30));

    imager.ScanDrives();

    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(imager.FindPhysicalDrive("PHYSICALDRIVE1")->totalKB, kMax);
    EXPECT_EQ(imager.FindPhysicalDrive("PHYSICALDRIVE2")->totalKB, kMax);
    EXPECT_EQ(imager.VolumeSizeKB("F:\\"), 1610612736);
}

TEST_F(DriveInventory, SpannedVolumeIsFiledUnderItsFirstExtent) {
    storage.AddVolume('E', 3, DRIVE_FIXED, KB).furtherDisks = {1};
    EXPECT_EQ(imager.VolumeToPhysicalDrive("E"), "PHYSICALDRIVE3");
}

TEST_F(DriveInventory, LookupsAndRescans) {
    storage.AddVolume('E', 1, DRIVE_REMOVABLE, 64 * KB);
    imager.ScanDrives();
    imager.ScanDrives();

    EXPECT_EQ(imager.PhysicalDriveCount(), 1);
    EXPECT_EQ(imager.FindPhysicalDrive("PHYSICALDRIVE1")->volumeList, "E:\\ ");
    EXPECT_EQ(imager.FindPhysicalDrive(""), nullptr);
    EXPECT_EQ(imager.FindPhysicalDrive("PHYSICALDRIVE9"), nullptr);

    imager.ClearDrives();
    EXPECT_EQ(imager.PhysicalDriveCount(), 0);
}

TEST_F(DriveInventory, NoLettersGiveAnEmptyInventory) {
    imager.ScanDrives();
    EXPECT_EQ(imager.PhysicalDriveCount(), 0);
}

TEST(AddVolume, FilesACopyAndAccumulates) {
    SimulatedStorage storage;
    RecordingImager imager(storage);
    LogicalDriveEntry record{"E", 10, 7, 5, "PHYSICALDRIVE4"};
    imager.AddVolume(record, "PHYSICALDRIVE4");
    record.letter = "F";
    record.sizeKB = 5;
    imager.AddVolume(record, "PHYSICALDRIVE4");

    const PhysicalDriveEntry* entry = imager.FindPhysicalDrive("PHYSICALDRIVE4");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->totalKB, 15);
    EXPECT_EQ(entry->volumeList, "E:\\ F:\\ ");
    EXPECT_EQ(entry->volumes.at("E")->sizeKB, 10);
    EXPECT_EQ(entry->volumes.at("E")->busType, 7);
}

}  // namespace
