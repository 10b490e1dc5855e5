#include "platform/storage/linux/linux_storage.h"

#include <gtest/gtest.h>

using namespace platform::storage;

namespace {

LinuxStorage DesktopStorage() {
    return LinuxStorage(SAMPLES_DIR "/sys_desktop", SAMPLES_DIR "/mountinfo_desktop.txt");
}

TEST(LinuxStorageTest, DriveTypesFollowTheDiskUnderTheVolume) {
    LinuxStorage storage = DesktopStorage();
    EXPECT_EQ(storage.GetLogicalDrives(), 0b11'1111'1100u);
    EXPECT_EQ(storage.GetDriveType("C:\\"), DRIVE_FIXED);      // LVM on LUKS on a SATA disk
    EXPECT_EQ(storage.GetDriveType("E:\\"), DRIVE_FIXED);      // a SATA partition
    EXPECT_EQ(storage.GetDriveType("F:\\"), DRIVE_REMOVABLE);  // USB stick
    EXPECT_EQ(storage.GetDriveType("G:\\"), DRIVE_FIXED);      // RAID
    EXPECT_EQ(storage.GetDriveType("H:\\"), DRIVE_CDROM);
    EXPECT_EQ(storage.GetDriveType("I:\\"), DRIVE_REMOVABLE);  // SD card, removable flag 0
    EXPECT_EQ(storage.GetDriveType("J:\\"), DRIVE_RAMDISK);    // zram
    EXPECT_EQ(storage.GetDriveType("K:\\"), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(storage.GetDriveType("\\\\.\\F:"), DRIVE_NO_ROOT_DIR);
}

TEST(LinuxStorageTest, PhysicalDrivesAreNumberedInDeviceOrder) {
    LinuxStorage storage = DesktopStorage();
    EXPECT_EQ(storage.DeviceNodeOf("PHYSICALDRIVE0"), "/dev/loop0");
    EXPECT_EQ(storage.DeviceNodeOf("PHYSICALDRIVE2"), "/dev/sdb");
    EXPECT_EQ(storage.DeviceNodeOf("PHYSICALDRIVE13"), "/dev/nvme0n1");
    EXPECT_EQ(storage.DeviceNodeOf("PHYSICALDRIVE14"), "");
    EXPECT_EQ(storage.DeviceNodeOf("F:"), "");
}

TEST(LinuxStorageTest, UnknownPathsDoNotOpen) {
    LinuxStorage storage = DesktopStorage();
    for (const char* path : {"\\\\.\\PHYSICALDRIVE14", "\\\\.\\K:", "K:\\", "/dev/sdb", ""}) {
        EXPECT_FALSE(storage.CreateFile(path, GENERIC_READ, FILE_SHARE_READ, 0)) << path;
    }
}

}  // namespace
