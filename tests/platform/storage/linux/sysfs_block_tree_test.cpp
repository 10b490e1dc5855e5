#include "platform/storage/linux/sysfs_block_tree.h"

#include <gtest/gtest.h>
#include <sys/sysmacros.h>

using namespace platform::storage;

namespace {

const SysfsBlockTree& Desktop() {
    static const SysfsBlockTree tree = SysfsBlockTree::Load(SAMPLES_DIR "/sys_desktop");
    return tree;
}

std::string DiskOf(dev_t devno) {
    const BlockDeviceInfo* disk = Desktop().UnderlyingDisk(devno);
    return disk ? disk->name : "";
}

TEST(SysfsBlockTreeTest, DisksInAscendingDeviceNumber) {
    std::vector<std::string> names;
    for (const BlockDeviceInfo* disk : Desktop().Disks()) {
        names.push_back(disk->name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"loop0", "sda", "sdb", "sdc", "sdd", "md127", "sr0",
                                               "mmcblk0", "zram0", "dm-0", "dm-1", "dm-5", "dm-6",
                                               "nvme0n1"}));
}

TEST(SysfsBlockTreeTest, PartitionsBelongToTheirDisk) {
    const BlockDeviceInfo* part = Desktop().Find(makedev(8, 17));
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->name, "sdb1");
    EXPECT_TRUE(part->partition);
    EXPECT_EQ(part->startSector, 2048u);
    EXPECT_EQ(part->sizeSectors, 3909632u);
    EXPECT_EQ(DiskOf(makedev(8, 17)), "sdb");
    EXPECT_EQ(DiskOf(makedev(259, 1)), "nvme0n1");
    EXPECT_EQ(DiskOf(makedev(8, 0)), "sda");
}

TEST(SysfsBlockTreeTest, StackedVolumesMapThroughTheirFirstSlave) {
    EXPECT_EQ(DiskOf(makedev(253, 0)), "sda");  // LUKS on sda2
    EXPECT_EQ(DiskOf(makedev(253, 1)), "sda");  // LVM on that LUKS volume
    EXPECT_EQ(DiskOf(makedev(9, 127)), "sdc");  // RAID over sdd1 and sdc1: first by name
    EXPECT_EQ(DiskOf(makedev(253, 5)), "");     // a loop in a damaged tree ends, unmapped
    EXPECT_EQ(DiskOf(makedev(1, 99)), "");
}

TEST(SysfsBlockTreeTest, DependsOnFollowsEverySlave) {
    EXPECT_TRUE(Desktop().DependsOn(makedev(9, 127), "sdd"));
    EXPECT_TRUE(Desktop().DependsOn(makedev(9, 127), "sdc"));
    EXPECT_TRUE(Desktop().DependsOn(makedev(253, 1), "sda"));
    EXPECT_FALSE(Desktop().DependsOn(makedev(253, 1), "sdb"));
    EXPECT_FALSE(Desktop().DependsOn(makedev(253, 5), "sda"));
}

TEST(SysfsBlockTreeTest, BusKindAndRemovability) {
    struct Expected {
        const char* name;
        uint32_t bus;
        bool removable;
        DiskKind kind;
    };
    for (const Expected& e : {
             Expected{"sda", BusTypeSata, false, DiskKind::kOrdinary},
             Expected{"sdb", BusTypeUsb, true, DiskKind::kOrdinary},
             Expected{"mmcblk0", BusTypeSd, true, DiskKind::kOrdinary},
             Expected{"nvme0n1", BusTypeNvme, false, DiskKind::kOrdinary},
             Expected{"sr0", BusTypeSata, true, DiskKind::kOptical},
             Expected{"zram0", BusTypeVirtual, false, DiskKind::kRam},
             Expected{"loop0", BusTypeVirtual, false, DiskKind::kOrdinary},
         }) {
        const BlockDeviceInfo* disk = Desktop().FindByName(e.name);
        ASSERT_NE(disk, nullptr) << e.name;
        EXPECT_EQ(disk->busType, e.bus) << e.name;
        EXPECT_EQ(disk->removable, e.removable) << e.name;
        EXPECT_EQ(disk->kind, e.kind) << e.name;
    }
    EXPECT_EQ(Desktop().FindByName("sdb")->diskSeq, 9u);
    EXPECT_TRUE(Desktop().FindByName("mmcblk0")->readOnly);  // the card's switch is on
    EXPECT_FALSE(Desktop().FindByName("sdb")->readOnly);
}

TEST(SysfsBlockTreeTest, MissingRootGivesNoDevices) {
    EXPECT_TRUE(SysfsBlockTree::Load(SAMPLES_DIR "/no_such_sys").Disks().empty());
}

TEST(SysfsBlockTreeTest, ParsesDevNumbers) {
    dev_t devno = 0;
    EXPECT_TRUE(ParseDevNumber("259:17", &devno));
    EXPECT_EQ(devno, makedev(259, 17));
    for (const char* bad : {"", "8", ":1", "8:", "8:1x", "-8:1", "99999999999:1"}) {
        EXPECT_FALSE(ParseDevNumber(bad, &devno)) << bad;
    }
}

}  // namespace
