#include "platform/storage/linux/device_stack.h"

#include <gtest/gtest.h>
#include <sys/sysmacros.h>

using namespace platform::storage;

namespace {

// The recorded desktop: LVM (dm-1 on dm-0 on sda2), RAID (md127 on sdc1 and sdd1), a USB stick.
class DeviceStackTest : public testing::Test {
  protected:
    SysfsBlockTree tree = SysfsBlockTree::Load(SAMPLES_DIR "/sys_desktop");
    MountTable mounts;
    DeviceStack stack{tree, mounts, SAMPLES_DIR "/sys_desktop", SAMPLES_DIR "/no_swaps"};
};

TEST_F(DeviceStackTest, AStackedDeviceRestsOnEveryDiskBeneathIt) {
    EXPECT_EQ(stack.DisksBeneath(makedev(253, 1)), (std::set<std::string>{"sda"}));
    EXPECT_EQ(stack.DisksBeneath(makedev(9, 127)), (std::set<std::string>{"sdc", "sdd"}));
    EXPECT_EQ(stack.DisksBeneath(makedev(8, 17)), (std::set<std::string>{"sdb"}));
    EXPECT_TRUE(stack.DisksBeneath(makedev(0, 44)).empty());  // tmpfs, proc and the like
}

TEST_F(DeviceStackTest, ADeviceStackedOnTheDiskIsAUser) {
    EXPECT_EQ(stack.UserOf(*tree.FindByName("sda")).rfind("/dev/dm-0, a device stacked on it", 0),
              0u);
    EXPECT_EQ(stack.UserOf(*tree.FindByName("sdd")).rfind("/dev/md127, a device stacked", 0), 0u);
    EXPECT_EQ(stack.UserOf(*tree.FindByName("sdb")), "");
}

}  // namespace
