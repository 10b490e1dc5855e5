#include "platform/storage/linux/volume_map.h"

#include <gtest/gtest.h>
#include <sys/sysmacros.h>

using namespace platform::storage;

namespace {

VolumeMap DesktopVolumes() {
    const SysfsBlockTree tree = SysfsBlockTree::Load(SAMPLES_DIR "/sys_desktop");
    const std::optional<MountTable> mounts = MountTable::Load(SAMPLES_DIR "/mountinfo_desktop.txt");
    EXPECT_TRUE(mounts.has_value());
    return VolumeMap::Build(mounts.value_or(MountTable()), tree);
}

TEST(VolumeMapTest, RootIsCAndTheRestFollowInDeviceOrder) {
    const VolumeMap volumes = DesktopVolumes();
    std::string letters;
    for (const Volume& volume : volumes.volumes()) {
        letters += volume.letter;
        letters += '=';
        letters += volume.deviceName;
        letters += ' ';
    }
    // No letter for proc, tmpfs or nfs; one per device however often it is mounted.
    EXPECT_EQ(letters, "C=dm-1 D=loop0 E=sda1 F=sdb1 G=md127 H=sr0 I=mmcblk0p1 J=zram0 ");
    EXPECT_EQ(volumes.LetterMask(), 0b11'1111'1100u);
}

TEST(VolumeMapTest, RootPathIsTheFirstMountOfTheWholeFileSystem) {
    const VolumeMap volumes = DesktopVolumes();
    EXPECT_EQ(volumes.ByLetter('C')->mountPoint, "/");
    EXPECT_EQ(volumes.ByLetter('F')->mountPoint, "/media/user/My Stick");
    // The card's first mount shows only a folder of it; the full mount is its root path.
    EXPECT_EQ(volumes.ByLetter('I')->mountPoint, "/media/user/SD CARD");
    EXPECT_EQ(volumes.ByLetter('K'), nullptr);
    EXPECT_EQ(volumes.ByDevice(makedev(8, 17))->letter, 'F');
}

TEST(VolumeMapTest, PathsFindTheirVolumeThroughBindMounts) {
    const VolumeMap volumes = DesktopVolumes();
    EXPECT_EQ(volumes.LetterOfPath("/media/user/My Stick/a.img"), 'F');
    EXPECT_EQ(volumes.LetterOfPath("/mnt/stick bind/a.img"), 'F');
    EXPECT_EQ(volumes.LetterOfPath("/home/user/stick backup/a.img"), 'F');
    EXPECT_EQ(volumes.LetterOfPath("/srv/photos/a.img"), 'C');
    EXPECT_EQ(volumes.LetterOfPath("/mnt/camera/a.img"), 'I');
    EXPECT_EQ(volumes.LetterOfPath("/home/user/a.img"), 'C');
    EXPECT_EQ(volumes.LetterOfPath("/run/a.img"), 0);         // tmpfs
    EXPECT_EQ(volumes.LetterOfPath("/mnt/nfs/a.img"), 0);     // network
    EXPECT_EQ(volumes.LetterOfPath("/mnt/shadow/a.img"), 0);  // tmpfs over a bind of sda1
}

TEST(VolumeMapTest, WithoutABlockDeviceAtRootCStaysFree) {
    const SysfsBlockTree tree = SysfsBlockTree::Load(SAMPLES_DIR "/sys_desktop");
    MountTable mounts({
        {"overlay", "/", "/", "overlay", makedev(0, 40), 1, "rw", "rw"},
        {"/dev/sdb1", "/media/stick", "/", "vfat", makedev(8, 17), 2, "rw", "rw"},
    });
    const VolumeMap volumes = VolumeMap::Build(mounts, tree);
    ASSERT_EQ(volumes.volumes().size(), 1u);
    EXPECT_EQ(volumes.volumes()[0].letter, 'D');
}

}  // namespace
