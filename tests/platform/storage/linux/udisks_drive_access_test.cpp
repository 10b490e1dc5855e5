#include "platform/storage/linux/udisks_drive_access.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

#include "platform/storage/device_wait.h"
#include "platform/storage/linux/disk_claim.h"
#include "tests/helpers/loop_device.h"
#include "tests/helpers/system_services.h"

namespace {

using platform::storage::BlockDeviceInfo;
using platform::storage::DiskClaim;
using platform::storage::MountEntry;
using platform::storage::MountTable;
using platform::storage::StepResult;
using platform::storage::SysfsBlockTree;
using platform::storage::UdisksDriveAccess;
using platform::storage::UniqueFd;
using testing_support::LoopDevice;
using testing_support::SystemServices;
using Bytes = std::vector<unsigned char>;

constexpr int kWriteFlags = O_RDWR | O_EXCL | O_DIRECT | O_CLOEXEC;
constexpr off_t kWriteOffset = 1 << 20;
constexpr size_t kWriteSize = 64 << 10;

std::string Failed(const std::string& what, const StepResult& result) {
    return what + " (" + std::strerror(result.error()) + ": " + result.cause() + ")";
}

std::string Failed(const std::string& what) {
    return what + " (" + std::strerror(errno) + ")";
}

// The current mount of a device in this process's namespace.
std::optional<MountEntry> MountOf(dev_t devno) {
    const auto table = MountTable::Load("/proc/self/mountinfo");
    for (const MountEntry& entry : table ? table->entries() : std::vector<MountEntry>{}) {
        if (entry.devno == devno) {
            return entry;
        }
    }
    return std::nullopt;
}

Bytes ReadFileRange(const std::string& path, off_t offset, size_t size) {
    Bytes bytes(size);
    std::ifstream in(path, std::ios::binary);
    in.seekg(offset);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    return bytes;
}

// Writes the pattern through the descriptor with O_DIRECT-aligned memory.
std::string WriteAligned(int fd, const Bytes& pattern) {
    std::unique_ptr<unsigned char, decltype(&std::free)> buffer(
        static_cast<unsigned char*>(std::aligned_alloc(4096, pattern.size())), &std::free);
    std::memcpy(buffer.get(), pattern.data(), pattern.size());
    if (::pwrite(fd, buffer.get(), pattern.size(), kWriteOffset) !=
        static_cast<ssize_t>(pattern.size())) {
        return Failed("pwrite");
    }
    return ::fdatasync(fd) == 0 ? "" : Failed("fdatasync");
}

// The processes whose parent is this one.
int ChildProcessCount() {
    int count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line) || line.rfind(')') == std::string::npos) {
            continue;
        }
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        char state = 0;
        pid_t parent = 0;
        if (fields >> state >> parent && parent == ::getpid()) {
            ++count;
        }
    }
    return count;
}

// The test's own services, a loop device with a mounted ext4 volume that udisks2 knows, and
// a way to run UdisksDriveAccess as the unprivileged test user.
class UdisksDriveAccessTest : public testing::Test {
  protected:
    void SetUp() override {
        services_ = std::make_unique<SystemServices>();
        if (!services_->ok()) {
            GTEST_SKIP() << services_->failure();
        }
        loop_ = std::make_unique<LoopDevice>(LoopDevice::Options{});
        if (!loop_->ok()) {
            GTEST_SKIP() << loop_->failure();
        }
        ASSERT_TRUE(services_->Adopt(loop_->device()));
        const SysfsBlockTree tree = SysfsBlockTree::Load("/sys");
        const BlockDeviceInfo* disk =
            tree.FindByName(std::filesystem::path(loop_->device()).filename().string());
        ASSERT_NE(disk, nullptr);
        disk_ = *disk;
        const auto mount = MountOf(disk_.devno);
        ASSERT_TRUE(mount.has_value());
        mount_ = *mount;
    }

    // Runs body as the test user, with an application object as in the program.
    std::string AsUser(const std::function<std::string(UdisksDriveAccess&)>& body) {
        return services_->RunAsUser([&] {
            int argc = 1;
            char name[] = "udisks-client";
            char* argv[] = {name, nullptr};
            QCoreApplication application(argc, argv);
            UdisksDriveAccess access;
            return body(access);
        });
    }

    std::string BackingFile() const { return loop_->folder() + "/backing.img"; }

    // Declared first, destroyed last: the loop device goes while udev still runs.
    std::unique_ptr<SystemServices> services_;
    std::unique_ptr<LoopDevice> loop_;
    BlockDeviceInfo disk_;
    MountEntry mount_;
};

TEST_F(UdisksDriveAccessTest, GrantedUserUnmountsOpensWritesAndRescans) {
    Bytes pattern(kWriteSize);
    for (size_t i = 0; i < pattern.size(); ++i) {
        pattern[i] = static_cast<unsigned char>(i * 7 + 3);
    }
    const BlockDeviceInfo disk = disk_;
    const MountEntry mount = mount_;
    EXPECT_EQ(AsUser([&](UdisksDriveAccess& access) -> std::string {
                  // The waits run the caller's hook, as the engine's pump is run: only that lets
                  // the timer fire, since nothing else runs an event loop here.
                  bool timerFired = false;
                  QTimer::singleShot(0, [&timerFired] { timerFired = true; });
                  const platform::storage::DeviceWaitHook pumping(
                      [] { QCoreApplication::processEvents(); });
                  if (StepResult may = access.MayWrite(disk); !may.ok()) {
                      return Failed("MayWrite", may);
                  }
                  if (!timerFired) {
                      return "events were not delivered while waiting for the bus";
                  }
                  UniqueFd fd;
                  if (access.Open(disk, kWriteFlags, &fd).ok()) {
                      return "an exclusive open succeeded while the volume was mounted";
                  }
                  if (StepResult idle = access.CanUnmount(mount); !idle.ok()) {
                      return Failed("CanUnmount", idle);
                  }
                  if (StepResult unmounted = access.Unmount(mount); !unmounted.ok()) {
                      return Failed("Unmount", unmounted);
                  }
                  struct stat info {};
                  if (StepResult opened = access.Open(disk, kWriteFlags, &fd);
                      !opened.ok() || ::fstat(fd.get(), &info) != 0) {
                      return Failed("Open", opened);
                  }
                  if (info.st_rdev != disk.devno) {
                      return "the descriptor is not the loop device";
                  }
                  if ((::fcntl(fd.get(), F_GETFL) & O_DIRECT) == 0) {
                      return "the descriptor lacks O_DIRECT";
                  }
                  const std::string written = WriteAligned(fd.get(), pattern);
                  if (!written.empty()) {
                      return written;
                  }
                  fd.Close();
                  const StepResult reread = access.RereadPartitions(disk);
                  return reread.ok() ? "" : Failed("RereadPartitions", reread);
              }),
              "");
    EXPECT_FALSE(MountOf(disk_.devno).has_value());
    EXPECT_TRUE(ReadFileRange(BackingFile(), kWriteOffset, kWriteSize) == pattern)
        << "the written bytes are not in the loop device's file";
}

TEST_F(UdisksDriveAccessTest, UnmountedVolumeIsMountedAgain) {
    const MountEntry mount = mount_;
    EXPECT_EQ(AsUser([&](UdisksDriveAccess& access) -> std::string {
                  if (StepResult unmounted = access.Unmount(mount); !unmounted.ok()) {
                      return Failed("Unmount", unmounted);
                  }
                  const StepResult mounted = access.Remount(mount);
                  return mounted.ok() ? "" : Failed("Remount", mounted);
              }),
              "");
    const auto again = MountOf(disk_.devno);
    ASSERT_TRUE(again.has_value());
    // udisks2 chooses the place, under the user's folder in /media.
    EXPECT_EQ(again->target.rfind("/media/" + std::string(SystemServices::kUserName) + "/", 0), 0u)
        << again->target;
    EXPECT_EQ(again->fsType, "ext4");
}

TEST_F(UdisksDriveAccessTest, BusyVolumeIsNotUnmounted) {
    const int held = ::open((loop_->mountPoint() + "/held").c_str(), O_CREAT | O_RDWR, 0600);
    ASSERT_GE(held, 0);
    const MountEntry mount = mount_;
    EXPECT_EQ(AsUser([&](UdisksDriveAccess& access) -> std::string {
                  const StepResult unmounted = access.Unmount(mount);
                  if (unmounted.ok()) {
                      return "a busy volume was unmounted";
                  }
                  return unmounted.error() == EBUSY
                             ? ""
                             : Failed("Unmount failed, but not as busy", unmounted);
              }),
              "");
    ::close(held);
    const auto still = MountOf(disk_.devno);
    ASSERT_TRUE(still.has_value());
    EXPECT_EQ(still->target, loop_->mountPoint());
}

// The write path's claim of a whole disk, through udisks2 as the user: every mount goes, the
// descriptor is the disk; a busy volume makes it give up with the mount left in place.
TEST_F(UdisksDriveAccessTest, DiskClaimTakesTheDiskThroughUdisks) {
    const BlockDeviceInfo disk = disk_;
    EXPECT_EQ(AsUser([&](UdisksDriveAccess& access) -> std::string {
                  DiskClaim claim(access, "/sys", "/proc/self/mountinfo");
                  DiskClaim::Claimed claimed;
                  if (StepResult taken = claim.Take(disk, O_RDWR | O_DIRECT | O_CLOEXEC, &claimed);
                      !taken.ok()) {
                      return Failed("Take", taken);
                  }
                  return DiskClaim::IsDisk(claimed.fd.get(), disk) ? "" : "not the disk";
              }),
              "");
    EXPECT_FALSE(MountOf(disk_.devno).has_value());
}

TEST_F(UdisksDriveAccessTest, DiskClaimLeavesABusyVolumeMounted) {
    const int held = ::open((loop_->mountPoint() + "/held").c_str(), O_CREAT | O_RDWR, 0600);
    ASSERT_GE(held, 0);
    const BlockDeviceInfo disk = disk_;
    EXPECT_EQ(
        AsUser([&](UdisksDriveAccess& access) -> std::string {
            DiskClaim claim(access, "/sys", "/proc/self/mountinfo");
            // Root holds the volume: only udisks2's refusal to unmount stops the claim.
            DiskClaim::Claimed claimed;
            const StepResult taken = claim.Take(disk, O_RDWR | O_DIRECT | O_CLOEXEC, &claimed);
            if (taken.ok()) {
                return std::string("a disk with a busy volume was taken");
            }
            return taken.error() == EBUSY ? "" : Failed("Take failed, but not as busy", taken);
        }),
        "");
    ::close(held);
    const auto still = MountOf(disk_.devno);
    ASSERT_TRUE(still.has_value());
    EXPECT_EQ(still->target, loop_->mountPoint());
}

// What a user may not do leaves the device's bytes and its mount as they were.
class RefusedUdisksDriveAccessTest : public UdisksDriveAccessTest {
  protected:
    // causePart: what the storage's cause of the refused open must say.
    void ExpectRefused(bool mayWrite, const std::string& causePart) {
        const Bytes before = ReadFileRange(BackingFile(), 0, 4 << 20);
        const BlockDeviceInfo disk = disk_;
        const MountEntry mount = mount_;
        EXPECT_EQ(AsUser([&](UdisksDriveAccess& access) -> std::string {
                      if (access.MayWrite(disk).ok() != mayWrite) {
                          return "MayWrite answered " + std::to_string(!mayWrite);
                      }
                      // Not exclusive: only polkit stands in the way of this open.
                      UniqueFd fd;
                      const StepResult opened = access.Open(disk, O_RDWR | O_CLOEXEC, &fd);
                      if (opened.ok()) {
                          return std::string("the device was opened");
                      }
                      if (opened.error() != EACCES) {
                          return Failed("Open failed, but not as refused", opened);
                      }
                      if (opened.cause().find(causePart) == std::string::npos) {
                          return "the cause \"" + opened.cause() + "\" lacks \"" + causePart + "\"";
                      }
                      return access.Unmount(mount).ok() ? "the volume was unmounted" : "";
                  }),
                  "");
        EXPECT_TRUE(ReadFileRange(BackingFile(), 0, 4 << 20) == before)
            << "the device's bytes changed";
        const auto still = MountOf(disk_.devno);
        ASSERT_TRUE(still.has_value());
        EXPECT_EQ(still->target, loop_->mountPoint());
    }
};

TEST_F(RefusedUdisksDriveAccessTest, UserPolkitRefusesMayNotWrite) {
    ASSERT_TRUE(services_->SetRule(SystemServices::Rule::kDeny));
    ExpectRefused(false, "polkit refused");
}

// polkit's own defaults want an administrator's password: MayWrite says yes (a prompt would
// come), but with no agent to ask, nothing is opened or unmounted.
TEST_F(RefusedUdisksDriveAccessTest, WithoutRuleAndAgentNothingIsOpened) {
    ASSERT_TRUE(services_->SetRule(SystemServices::Rule::kNone));
    ExpectRefused(true, "no polkit authentication agent runs in this session");
}

TEST(SystemServicesTest, LeaveNoDaemonUserOrRuleBehind) {
    {
        SystemServices services;
        if (!services.ok()) {
            GTEST_SKIP() << services.failure();
        }
        EXPECT_NE(::getpwnam(SystemServices::kUserName), nullptr);
        EXPECT_EQ(ChildProcessCount(), 4);  // bus, polkit, udev, udisks2
    }
    EXPECT_EQ(ChildProcessCount(), 0);
    EXPECT_EQ(::getpwnam(SystemServices::kUserName), nullptr);
    EXPECT_FALSE(std::filesystem::exists("/etc/polkit-1/rules.d/10-sectorsmith-test.rules"));
    EXPECT_FALSE(std::filesystem::exists("/run/sectorsmith-test"));
}

}  // namespace
