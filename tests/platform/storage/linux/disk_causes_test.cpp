// The causes the storage gives must be the true ones: for root whom the system itself refuses a
// disk, and for a member of the disk group, who may open the disk but not unmount its volumes
// (root and loop devices; skipped with the reason otherwise).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/storage/linux/direct_drive_access.h"
#include "platform/storage/linux/disk_claim.h"
#include "tests/helpers/disk_group_node.h"
#include "tests/helpers/user_process.h"
#include "tests/platform/storage/linux/write_safety_fixture.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

// A cgroup of the devices controller that denies one block device, even to root; removed again.
class DeniedDevice {
  public:
    explicit DeniedDevice(const std::string& node) {
        struct stat st {};
        folder_ = "/sys/fs/cgroup/devices/sectorsmith-test-" + std::to_string(::getpid());
        if (::stat(node.c_str(), &st) != 0 || ::mkdir(folder_.c_str(), 0755) != 0) {
            folder_.clear();
            return;
        }
        std::ofstream deny(folder_ + "/devices.deny");
        deny << "b " << major(st.st_rdev) << ":" << minor(st.st_rdev) << " rwm\n";
        ok_ = static_cast<bool>(deny.flush());
    }
    ~DeniedDevice() {
        if (!folder_.empty()) {
            ::rmdir(folder_.c_str());
        }
    }
    DeniedDevice(const DeniedDevice&) = delete;
    DeniedDevice& operator=(const DeniedDevice&) = delete;
    bool ok() const { return ok_; }
    // Moves the calling process into the group.
    bool Enter() const {
        std::ofstream procs(folder_ + "/cgroup.procs");
        procs << ::getpid() << "\n";
        return static_cast<bool>(procs.flush());
    }

  private:
    std::string folder_;
    bool ok_ = false;
};

class DiskCausesTest : public WriteSafetyTest {
  protected:
    void SetUp() override {
        Attach(true);
        // The user may look into the test's folder and read the image.
        ASSERT_EQ(::chmod(loop_->folder().c_str(), 0755), 0);
        ASSERT_EQ(::chmod(image_.c_str(), 0644), 0);
    }

    // What the disk list says of the test's disk, in this process.
    std::string ListedReason() {
        LinuxStorage storage;
        RecordingImager imager(storage);
        imager.ScanDrives();
        for (const DriveDescription& disk : storage.DescribeDisks()) {
            if (disk.deviceNode == loop_->device()) {
                return disk.whyNotOffered.empty() ? "offered" : disk.whyNotOffered;
            }
        }
        return "unlisted";
    }
};

TEST_F(DiskCausesTest, RootWhomTheSystemRefusesTheDiskIsToldSoNotAboutUdisks) {
    DeniedDevice denied(loop_->device());
    if (!denied.ok()) {
        GTEST_SKIP() << "the cgroup v1 devices controller is not available";
    }
    const std::string letter = storage_->VolumeLetterOfPath(loop_->mountPoint());
    const std::string reason = RunAsUser(0, 0, [&]() -> std::string {
        if (!denied.Enter()) {
            return "cannot enter the cgroup";
        }
        return ListedReason();
    });
    EXPECT_EQ(reason, "its volume " + letter +
                          ":\\ cannot be opened: the system refuses it, not even by root "
                          "(Operation not permitted)");
}

// As a user without udisks2: one who may not open the disk is told that, and why udisks2 could
// not stand in; a member of the disk group has it offered.
TEST_F(DiskCausesTest, AUsersCausesWithoutUdisksAreTheirOwn) {
    DiskGroupNode node(loop_->device());
    ASSERT_TRUE(node.ok());
    const auto reasonAs = [&](const std::vector<gid_t>& groups) {
        return RunAsUser(
            kNobody, kNoGroup,
            [&] {
                ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/system_bus_socket", 1);
                return ListedReason();
            },
            60, groups);
    };
    EXPECT_EQ(reasonAs({}), "you may not open it yourself, and udisks2 or polkit is not running");
    EXPECT_EQ(reasonAs({DiskGroup()}), "offered");
}

TEST_F(DiskCausesTest, AnUnmountTheProcessMayNotDoIsNeverCalledBusy) {
    const State before = Now();
    const std::string device = loop_->device();
    const std::string cause = RunAsUser(kNobody, kNoGroup, [&]() -> std::string {
        const SysfsBlockTree tree = SysfsBlockTree::Load("/sys");
        for (const BlockDeviceInfo* disk : tree.Disks()) {
            if ("/dev/" + disk->name == device) {
                DirectDriveAccess direct;
                DiskClaim::Claimed claimed;
                return DiskClaim(direct, "/sys", "/proc/self/mountinfo")
                    .Take(*disk, O_RDWR, &claimed)
                    .cause();
            }
        }
        return "no disk " + device;
    });
    EXPECT_EQ(cause, "Unmounting " + loop_->mountPoint() + " failed: Operation not permitted.");
    EXPECT_TRUE(Now() == before);
}

// Without udisks2, a member of the disk group can open the disk but nobody can unmount its
// volume for them: the true cause and what to do, nothing unmounted or written.
TEST_F(DiskCausesTest, ADiskGroupMemberWithoutUdisksIsToldWhatToDo) {
    DiskGroupNode node(loop_->device());
    ASSERT_TRUE(node.ok());
    const State before = Now();
    const std::string device = DevicePath();
    const std::string outcome = RunAsUser(
        kNobody, kNoGroup,
        [&]() -> std::string {
            ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/system_bus_socket", 1);
            LinuxStorage storage;
            RecordingImager imager(storage);
            imager.ScanDrives();
            imager.RestoreImage(image_, device, 8192);
            return testing::PrintToString(imager.errors) + " " +
                   testing::PrintToString(imager.details);
        },
        60, {DiskGroup()});
    EXPECT_NE(outcome.find("{ \"Write I/O error\" }"), std::string::npos) << outcome;
    EXPECT_NE(outcome.find("only root or udisks2 may unmount its volume " + loop_->mountPoint()),
              std::string::npos)
        << outcome;
    EXPECT_EQ(outcome.find("busy"), std::string::npos) << outcome;
    EXPECT_TRUE(Now() == before);
}

}  // namespace
