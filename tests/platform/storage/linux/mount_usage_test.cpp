#include "platform/storage/linux/mount_usage.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <memory>

#include "tests/helpers/loop_device.h"

namespace {

using platform::storage::MountEntry;
using platform::storage::MountTable;
using platform::storage::MountUsage;
using testing_support::LoopDevice;

// A mounted loop volume and its entry in this process's mount table.
class MountUsageTest : public testing::Test {
  protected:
    void SetUp() override {
        loop_ = std::make_unique<LoopDevice>(LoopDevice::Options{});
        if (!loop_->ok()) {
            GTEST_SKIP() << loop_->failure();
        }
        ASSERT_TRUE(Reload());
    }

    bool Reload() {
        auto table = MountTable::Load("/proc/self/mountinfo");
        if (!table) {
            return false;
        }
        table_ = *table;
        const MountEntry* mount = table_.Holding(loop_->mountPoint());
        if (mount == nullptr || mount->target != loop_->mountPoint()) {
            return false;
        }
        mount_ = *mount;
        return true;
    }

    std::unique_ptr<LoopDevice> loop_;
    MountTable table_;
    MountEntry mount_;
};

TEST_F(MountUsageTest, OpenFileOrFolderHoldsTheVolumeUntilClosed) {
    EXPECT_FALSE(MountUsage::IsHeld(mount_, table_));

    const int file = ::open((loop_->mountPoint() + "/held").c_str(), O_CREAT | O_RDWR, 0600);
    ASSERT_GE(file, 0);
    EXPECT_TRUE(MountUsage::IsHeld(mount_, table_));
    ::close(file);
    EXPECT_FALSE(MountUsage::IsHeld(mount_, table_));

    const int folder = ::open(loop_->mountPoint().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    EXPECT_TRUE(MountUsage::IsHeld(mount_, table_));
    ::close(folder);
}

TEST_F(MountUsageTest, MountBeneathHoldsTheVolume) {
    const std::string beneath = loop_->mountPoint() + "/beneath";
    ASSERT_EQ(::mkdir(beneath.c_str(), 0700), 0);
    ASSERT_EQ(::mount("tmpfs", beneath.c_str(), "tmpfs", 0, nullptr), 0);
    const MountEntry volume = mount_;
    const bool reloaded = Reload();
    ::umount2(beneath.c_str(), UMOUNT_NOFOLLOW);
    ASSERT_TRUE(reloaded);
    EXPECT_TRUE(MountUsage::IsHeld(volume, table_));
}

TEST_F(MountUsageTest, OtherVolumesAreNotHeldByThisOne) {
    const int file = ::open((loop_->mountPoint() + "/held").c_str(), O_CREAT | O_RDWR, 0600);
    ASSERT_GE(file, 0);
    MountEntry other = mount_;
    other.devno = makedev(7, 250);
    other.mountId = -1;
    other.target = loop_->folder() + "/elsewhere";
    EXPECT_FALSE(MountUsage::IsHeld(other, table_));
    ::close(file);
}

}  // namespace
