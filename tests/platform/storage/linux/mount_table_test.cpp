#include "platform/storage/linux/mount_table.h"

#include <gtest/gtest.h>
#include <sys/sysmacros.h>

#include "platform/storage/drive_path.h"

using namespace platform::storage;

namespace {

MountTable DesktopTable() {
    std::optional<MountTable> table = MountTable::Load(SAMPLES_DIR "/mountinfo_desktop.txt");
    EXPECT_TRUE(table.has_value());
    return table.value_or(MountTable());
}

TEST(MountTableTest, ReadsEveryLineWithEscapesDecoded) {
    const MountTable table = DesktopTable();
    ASSERT_EQ(table.entries().size(), 19u);
    const MountEntry& stick = table.entries()[10];
    EXPECT_EQ(stick.target, "/media/user/My Stick");
    EXPECT_EQ(stick.source, "/dev/sdb1");
    EXPECT_EQ(stick.fsType, "vfat");
    EXPECT_EQ(stick.fsRoot, "/");
    EXPECT_EQ(stick.devno, makedev(8, 17));
    EXPECT_EQ(stick.mountId, 32);
    EXPECT_EQ(stick.vfsOptions, "rw,nosuid,nodev,relatime");
    EXPECT_EQ(stick.fsOptions, "rw,uid=1000,gid=1000");
    EXPECT_EQ(table.entries()[7].fsRoot, "/home/user/photos");  // a bind mount of a folder
}

TEST(MountTableTest, MissingFileIsNoTable) {
    EXPECT_FALSE(MountTable::Load(SAMPLES_DIR "/no_such_mountinfo").has_value());
}

TEST(MountTableTest, HoldingFindsTheDeepestVisibleMount) {
    const MountTable table = DesktopTable();
    const MountEntry* stick = table.Holding("/media/user/My Stick/images/a.img");
    ASSERT_NE(stick, nullptr);
    EXPECT_EQ(stick->devno, makedev(8, 17));
    EXPECT_EQ(table.Holding("/media/user/My Stick")->devno, makedev(8, 17));
    // A sibling whose name merely starts like the mount point lies on the root.
    EXPECT_EQ(table.Holding("/media/user/My Sticker/a.img")->target, "/");
    // Of two mounts on one point, the later one hides the earlier.
    EXPECT_EQ(table.Holding("/mnt/shadow/x")->fsType, "tmpfs");
    EXPECT_EQ(table.Holding("relative/path"), nullptr);
}

TEST(DrivePathTest, ParsesTheThreeForms) {
    DrivePath root = DrivePath::Parse("E:\\");
    EXPECT_EQ(root.kind, DrivePath::Kind::kRootPath);
    EXPECT_EQ(root.letter, 'E');
    DrivePath volume = DrivePath::Parse("\\\\.\\e:");
    EXPECT_EQ(volume.kind, DrivePath::Kind::kVolume);
    EXPECT_EQ(volume.letter, 'E');
    DrivePath drive = DrivePath::Parse("\\\\.\\PHYSICALDRIVE12");
    EXPECT_EQ(drive.kind, DrivePath::Kind::kPhysicalDrive);
    EXPECT_EQ(drive.number, 12u);
    EXPECT_EQ(DrivePath::Parse("\\\\.\\PHYSICALDRIVE0").number, 0u);
}

TEST(DrivePathTest, RejectsEverythingElse) {
    for (const char* path :
         {"", "E:", "E:\\x", "1:\\", "\\\\.\\E", "\\\\.\\E:\\", "\\\\.\\PHYSICALDRIVE",
          "\\\\.\\PHYSICALDRIVE01", "\\\\.\\PHYSICALDRIVE1a", "\\\\.\\PHYSICALDRIVE99999999999",
          "\\\\.\\physicaldrive1", "/dev/sda"}) {
        EXPECT_EQ(DrivePath::Parse(path).kind, DrivePath::Kind::kInvalid) << path;
    }
}

}  // namespace
