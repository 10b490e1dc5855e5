#include "platform/storage/linux/drive_describer.h"

#include <gtest/gtest.h>

#include "platform/storage/linux/linux_storage.h"

using namespace platform::storage;

namespace {

constexpr char kSys[] = SAMPLES_DIR "/sys_desktop";
constexpr char kUdev[] = SAMPLES_DIR "/udev_desktop";

// The recorded desktop's disk diskName, described with the given mount table and udev records.
DriveDescription Describe(const std::string& diskName, const std::string& mountInfo,
                          const std::string& udevRoot = kUdev) {
    const SysfsBlockTree tree = SysfsBlockTree::Load(kSys);
    const MountTable mounts = MountTable::Load(mountInfo).value_or(MountTable());
    const VolumeMap volumes = VolumeMap::Build(mounts, tree);
    const BlockDeviceInfo* disk = tree.FindByName(diskName);
    EXPECT_NE(disk, nullptr);
    return disk ? DriveDescriber(kSys, udevRoot).Describe(*disk, tree, mounts, volumes)
                : DriveDescription();
}

std::string Volumes(const DriveDescription& description) {
    std::string text;
    for (const VolumeDescription& v : description.volumes) {
        text += v.letter + "=" + v.mountPoint + "|" + v.fileSystem + "|" + v.label + ";";
    }
    return text;
}

TEST(DriveDescriberTest, DiskWithTwoVolumesOneBehindLvm) {
    const DriveDescription sda = Describe("sda", SAMPLES_DIR "/mountinfo_desktop.txt");
    EXPECT_EQ(sda.deviceNode, "/dev/sda");
    EXPECT_EQ(sda.vendor, "ATA");  // padding blanks removed
    EXPECT_EQ(sda.model, "Samsung SSD 870");
    EXPECT_EQ(sda.transport, "SATA");
    EXPECT_EQ(sda.capacityBytes, 1000215216ull * 512);
    // The root file system lies on LVM over sda2; the bind mount of a folder of it is no volume.
    EXPECT_EQ(Volumes(sda), "C=/|ext4|root;E=/boot/efi|vfat|ESP;");
}

TEST(DriveDescriberTest, RemovableDrivesTellTheirTransportAndLabels) {
    const DriveDescription stick = Describe("sdb", SAMPLES_DIR "/mountinfo_desktop.txt");
    EXPECT_EQ(stick.vendor, "SanDisk");
    EXPECT_EQ(stick.model, "Cruzer Blade");
    EXPECT_EQ(stick.transport, "USB");
    EXPECT_EQ(stick.capacityBytes, 3911680ull * 512);
    // The label as written on the volume, blank included, not udev's safe spelling.
    EXPECT_EQ(Volumes(stick), "F=/media/user/My Stick|vfat|MY STICK;");

    const DriveDescription card = Describe("mmcblk0", SAMPLES_DIR "/mountinfo_desktop.txt");
    EXPECT_EQ(card.vendor, "");
    EXPECT_EQ(card.model, "SC32G");
    EXPECT_EQ(card.transport, "SD/MMC");
    EXPECT_EQ(Volumes(card), "I=/media/user/SD CARD|exfat|;");
}

TEST(DriveDescriberTest, FuseMountedVolumeTakesItsTypeFromUdevOrStaysUnknown) {
    const std::string mounts = SAMPLES_DIR "/mountinfo_fuse_stick.txt";
    EXPECT_EQ(Volumes(Describe("sdb", mounts)), "D=/media/user/USB DISK|vfat|MY STICK;");
    EXPECT_EQ(Volumes(Describe("sdb", mounts, SAMPLES_DIR "/no_udev")),
              "D=/media/user/USB DISK||;");
    // A disk without mounted volumes is described all the same.
    EXPECT_EQ(Describe("sdc", mounts).volumes.size(), 0u);
}

TEST(DriveDescriberTest, StorageDescribesTheDrivesItNumbered) {
    LinuxStorage storage(kSys, SAMPLES_DIR "/mountinfo_desktop.txt");
    storage.GetLogicalDrives();
    const std::optional<DriveDescription> stick = storage.DescribePhysicalDrive("PHYSICALDRIVE2");
    ASSERT_TRUE(stick.has_value());
    EXPECT_EQ(stick->name, "PHYSICALDRIVE2");
    EXPECT_EQ(stick->deviceNode, "/dev/sdb");
    EXPECT_EQ(stick->model, "Cruzer Blade");
    ASSERT_EQ(stick->volumes.size(), 1u);
    EXPECT_EQ(stick->volumes[0].letter, "F");
    EXPECT_EQ(stick->volumes[0].fileSystem, "vfat");
    for (const char* name : {"PHYSICALDRIVE14", "PHYSICALDRIVE", "F:", ""}) {
        EXPECT_FALSE(storage.DescribePhysicalDrive(name).has_value()) << name;
    }
}

TEST(DriveDescriberTest, DiskListLeavesOutRamAndStackedDisks) {
    // No mount table: no volume, so nothing is opened, and every disk lacks a mounted volume.
    LinuxStorage storage(kSys, SAMPLES_DIR "/no_such_mountinfo");
    storage.GetLogicalDrives();
    std::vector<std::string> listed;
    for (const DriveDescription& disk : storage.DescribeDisks()) {
        listed.push_back(disk.name + "=" + disk.deviceNode);
        EXPECT_EQ(disk.whyNotOffered, "it has no mounted volume") << disk.name;
        EXPECT_GT(disk.capacityBytes, 0u) << disk.name;
    }
    // Left out: md127 and dm-* (stacked on other disks), zram0 (RAM).
    EXPECT_EQ(listed,
              (std::vector<std::string>{
                  "PHYSICALDRIVE0=/dev/loop0", "PHYSICALDRIVE1=/dev/sda", "PHYSICALDRIVE2=/dev/sdb",
                  "PHYSICALDRIVE3=/dev/sdc", "PHYSICALDRIVE4=/dev/sdd", "PHYSICALDRIVE6=/dev/sr0",
                  "PHYSICALDRIVE7=/dev/mmcblk0", "PHYSICALDRIVE13=/dev/nvme0n1"}));
}

}  // namespace
