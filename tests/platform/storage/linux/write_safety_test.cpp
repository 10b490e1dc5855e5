// What a write to a real device must refuse, and what a refusal must leave as it was (root only;
// skipped with the reason otherwise).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/storage/linux/direct_drive_access.h"
#include "platform/storage/linux/disk_claim.h"
#include "platform/storage/linux/unique_fd.h"
#include "tests/platform/storage/linux/write_safety_fixture.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

constexpr char kSameDrive[] = "source path belongs to the destination  physical drive";
constexpr char kCreateSameDrive[] = "destination path belongs to source physical drive";

TEST_F(WriteSafetyTest, AnImageOnALoopDeviceOverTheTargetIsRefused) {
    Attach(false);
    // A file system on a loop device set up over the target itself, holding the image.
    ScopedLoop stacked({"--offset", std::to_string(16u << 20), loop_->device()});
    ASSERT_FALSE(stacked.device().empty());
    std::string output;
    ASSERT_EQ(RunProgram({"mkfs.ext4", "-q", "-F", stacked.device()}, &output), 0) << output;
    ScopedMount mount(stacked.device(), loop_->folder() + "/stacked", "ext4");
    ASSERT_TRUE(mount.ok());
    const std::string inside = loop_->folder() + "/stacked/image.img";
    ASSERT_TRUE(WriteWholeFile(inside, RandomBytes(64 << 10, 12)));
    const State before = Now();

    ExpectRestoreRefused(inside, kSameDrive,
                         {inside + " is on " + stacked.device() + ", a loop device over " +
                          loop_->device() + ", which is on " + loop_->device()});
    EXPECT_FALSE(imager_->CreateImage(DevicePath(), loop_->folder() + "/stacked/new.img", 64));
    EXPECT_EQ(imager_->errors, std::vector<std::string>{kCreateSameDrive});
    // An image from elsewhere is not written either while the loop device uses the target.
    ExpectRestoreRefused(image_, "Write I/O error",
                         {loop_->device() + " is in use by " + stacked.device() +
                          ", a loop device over " + loop_->device()});

    EXPECT_TRUE(Now() == before);
}

TEST_F(WriteSafetyTest, ASwapAreaOnTheTargetRefusesTheWrite) {
    Attach(false);
    std::string output;
    ASSERT_EQ(RunProgram({"mkswap", loop_->device()}, &output), 0) << output;
    if (RunProgram({"swapon", loop_->device()}, &output) != 0) {
        GTEST_SKIP() << "swap areas cannot be switched on here: " << output;
    }
    const State before = Now();
    ExpectRestoreRefused(image_, "Write I/O error", {"the swap area " + loop_->device()});
    const State after = Now();
    EXPECT_EQ(RunProgram({"swapoff", loop_->device()}), 0);
    EXPECT_TRUE(after == before);
}

TEST_F(WriteSafetyTest, NonRegularImagesAndDestinationsAreRefused) {
    Attach(true);
    const std::string fifo = loop_->folder() + "/fifo.img";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketPath = loop_->folder() + "/socket.img";
    UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    const std::string folder = loop_->folder() + "/folder.img";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ScopedLoop other({loop_->folder() + "/image.img"});
    ASSERT_FALSE(other.device().empty());
    const Bytes otherBefore = ReadDevice(other.device(), 1 << 20);
    const State before = Now();

    const std::pair<std::string, std::string> images[] = {
        {fifo, "a named pipe"},
        {socketPath, "a socket"},
        {folder, "a folder"},
        {"/dev/zero", "a device node"},
        {other.device(), "a device node"},
        {"/proc/self/status", "a file of the kernel's own"},
    };
    for (const auto& [image, kind] : images) {
        ExpectRestoreRefused(image, "Error opening image file", {image + " is " + kind});
    }
    for (const std::string& destination : {fifo, folder, other.device()}) {
        RecordingImager imager(*storage_);
        EXPECT_FALSE(imager.CreateImage(DevicePath(), destination, 64)) << destination;
        EXPECT_EQ(imager.errors, std::vector<std::string>{"Error creating image file"});
    }
    EXPECT_TRUE(Now() == before);
    EXPECT_TRUE(ReadDevice(other.device(), 1 << 20) == otherBefore);
}

TEST_F(WriteSafetyTest, AFileSystemOnOrInsideTheTargetsMountUnmountsNothing) {
    Attach(true);
    const State untouched = Now();
    {
        ScopedMount over("none", loop_->mountPoint(), "tmpfs");
        ASSERT_TRUE(over.ok());
        const State before = Now();
        ExpectRestoreRefused(image_, "Write I/O error",
                             {"Another file system is mounted at " + loop_->mountPoint()});
        EXPECT_TRUE(Now() == before);
    }
    ASSERT_EQ(::mkdir((loop_->mountPoint() + "/inner").c_str(), 0700), 0);
    {
        ScopedMount inside("none", loop_->mountPoint() + "/inner", "tmpfs");
        ASSERT_TRUE(inside.ok());
        const State before = Now();
        ExpectRestoreRefused(image_, "Write I/O error",
                             {"mounted at " + loop_->mountPoint() +
                              "/inner, on or inside the "
                              "drive's volume at " +
                              loop_->mountPoint()});
        EXPECT_TRUE(Now() == before);
    }
    EXPECT_EQ(MountsIn(loop_->folder()), untouched.mounts);
}

TEST_F(WriteSafetyTest, ABusyMountBesideAnIdleOneUnmountsNeither) {
    Attach(true);
    ASSERT_TRUE(WriteWholeFile(loop_->mountPoint() + "/open.txt", RandomBytes(100, 13)));
    ScopedMount bind(loop_->mountPoint(), loop_->folder() + "/bound", nullptr);
    ASSERT_TRUE(bind.ok());
    const State before = Now();
    const std::vector<uint64_t> ids = MountIdsIn(loop_->folder());
    UniqueFd busy(::open((loop_->mountPoint() + "/open.txt").c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(busy.valid());

    // This test process holds the file open: it is named, with its pid.
    ExpectRestoreRefused(image_, "Write I/O error",
                         {"is busy, held by ", "(pid " + std::to_string(::getpid()) + ")"});

    busy = UniqueFd();
    EXPECT_TRUE(Now() == before);
    // Not unmounted and mounted again either: the idle mount beside the busy one is the same.
    EXPECT_EQ(MountIdsIn(loop_->folder()), ids);
}

TEST_F(WriteSafetyTest, AVolumePathIsNeverWritten) {
    Attach(true);
    const std::string letter = storage_->VolumeLetterOfPath(loop_->mountPoint());
    ASSERT_EQ(letter.size(), 1u);
    const State before = Now();

    DeviceHandle volume =
        storage_->CreateFile("\\\\.\\" + letter + ":", GENERIC_READ | GENERIC_WRITE, 0, 0);
    ASSERT_TRUE(volume);
    const Bytes block(4096, 0x5A);
    uint32_t written = 0;
    EXPECT_FALSE(WriteFile(volume, block.data(), 4096, &written));
    CloseHandle(volume);
    RecordingImager imager(*storage_);
    EXPECT_FALSE(imager.RestoreImage(image_, "\\\\.\\" + letter + ":", 64));
    EXPECT_EQ(imager.errors, std::vector<std::string>{"Write I/O error"});

    EXPECT_TRUE(Now() == before);
}

TEST_F(WriteSafetyTest, AnImageOnAReadOnlyFileSystemRestoresByteForByte) {
    Attach(true);
    const std::string shelf = loop_->folder() + "/shelf";
    ASSERT_EQ(::mkdir(shelf.c_str(), 0700), 0);
    const Bytes image = RandomBytes((2u << 20) + 4096, 14);
    ASSERT_TRUE(WriteWholeFile(shelf + "/image.img", image));
    ASSERT_EQ(::chmod((shelf + "/image.img").c_str(), 0444), 0);
    ScopedMount readOnly(shelf, loop_->folder() + "/dvd", nullptr);
    ASSERT_TRUE(readOnly.ok());
    ASSERT_EQ(::mount(nullptr, (loop_->folder() + "/dvd").c_str(), nullptr,
                      MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr),
              0);

    EXPECT_TRUE(imager_->RestoreImage(loop_->folder() + "/dvd/image.img", DevicePath(), 8192));

    EXPECT_EQ(imager_->messages, std::vector<std::string>{"Finished"})
        << testing::PrintToString(imager_->errors) << testing::PrintToString(imager_->details);
    EXPECT_TRUE(ReadDevice(loop_->device(), image.size()) == image);
}

TEST_F(WriteSafetyTest, AMediumSwappedAfterTheScanIsNotWritten) {
    Attach(true);
    imager_->ScanDrives();
    ASSERT_TRUE(loop_->Unmount());
    const std::string other = loop_->folder() + "/other medium";
    ASSERT_TRUE(WriteWholeFile(other, Bytes(kDeviceBytes, 0x33)));
    ASSERT_EQ(RunProgram({"losetup", "--detach", loop_->device()}), 0);
    ASSERT_EQ(RunProgram({"losetup", loop_->device(), other}), 0);

    ExpectRestoreRefused(image_, "Write I/O error",
                         {loop_->device() + " holds another medium than when the program "
                                            "started"});

    EXPECT_TRUE(ReadWholeFile(other) == Bytes(kDeviceBytes, 0x33));
}

// The loop device's medium, swapped for a file of other bytes.
void SwapMedium(const std::string& device, const std::string& otherFile) {
    ASSERT_EQ(RunProgram({"losetup", "--detach", device}), 0);
    ASSERT_EQ(RunProgram({"losetup", device, otherFile}), 0);
}

const BlockDeviceInfo* DiskOf(const SysfsBlockTree& tree, const std::string& device) {
    for (const BlockDeviceInfo* disk : tree.Disks()) {
        if ("/dev/" + disk->name == device) {
            return disk;
        }
    }
    return nullptr;
}

// CurrentDisk guards the time from the scan to the claim; IsDisk the moment between the claim's
// last look at the disks and its open: the same device number with another medium has another
// media sequence number.
TEST_F(WriteSafetyTest, ADescriptorOfAnotherMediumIsNotTheDisk) {
    Attach(false);
    const SysfsBlockTree tree = SysfsBlockTree::Load("/sys");
    const BlockDeviceInfo* scanned = DiskOf(tree, loop_->device());
    ASSERT_NE(scanned, nullptr);
    ASSERT_NE(scanned->diskSeq, 0u) << "this kernel numbers no media";
    UniqueFd before(::open(loop_->device().c_str(), O_RDONLY | O_CLOEXEC));
    EXPECT_TRUE(DiskClaim::IsDisk(before.get(), *scanned));
    before = UniqueFd();

    const std::string other = loop_->folder() + "/other medium";
    ASSERT_TRUE(WriteWholeFile(other, Bytes(kDeviceBytes, 0x44)));
    SwapMedium(loop_->device(), other);
    UniqueFd after(::open(loop_->device().c_str(), O_RDONLY | O_CLOEXEC));
    EXPECT_FALSE(DiskClaim::IsDisk(after.get(), *scanned));
    const SysfsBlockTree now = SysfsBlockTree::Load("/sys");
    ASSERT_NE(DiskOf(now, loop_->device()), nullptr);
    EXPECT_TRUE(DiskClaim::IsDisk(after.get(), *DiskOf(now, loop_->device())));
}

// Swaps the medium just before the claim opens the disk: after every look, before the open.
class SwapBeforeOpen : public DirectDriveAccess {
  public:
    SwapBeforeOpen(std::string device, std::string otherFile)
        : device_(std::move(device)), otherFile_(std::move(otherFile)) {}
    StepResult Open(const BlockDeviceInfo& disk, int flags, UniqueFd* fd) override {
        SwapMedium(device_, otherFile_);
        return DirectDriveAccess::Open(disk, flags, fd);
    }

  private:
    std::string device_;
    std::string otherFile_;
};

TEST_F(WriteSafetyTest, AClaimWhoseMediumIsSwappedBeforeItsOpenTakesNothing) {
    Attach(false);
    const SysfsBlockTree tree = SysfsBlockTree::Load("/sys");
    const BlockDeviceInfo* scanned = DiskOf(tree, loop_->device());
    ASSERT_NE(scanned, nullptr);
    const std::string other = loop_->folder() + "/other medium";
    ASSERT_TRUE(WriteWholeFile(other, Bytes(kDeviceBytes, 0x55)));
    SwapBeforeOpen swapping(loop_->device(), other);

    DiskClaim::Claimed claimed;
    const StepResult taken =
        DiskClaim(swapping, "/sys", "/proc/self/mountinfo").Take(*scanned, O_RDWR, &claimed);

    EXPECT_FALSE(taken.ok());
    EXPECT_FALSE(claimed.fd.valid());
    EXPECT_NE(taken.cause().find("The device opened is not the disk that was listed"),
              std::string::npos)
        << taken.cause();
    EXPECT_TRUE(ReadWholeFile(other) == Bytes(kDeviceBytes, 0x55));
}

// A DriveAccess whose chosen step fails, to see what a failure after the first unmount undoes.
class FailingStep : public DirectDriveAccess {
  public:
    int failUnmountNumber = 0;  // 1: the first unmount fails; 0: none does
    bool failOpen = false;
    int unmounts = 0;

    StepResult Unmount(const MountEntry& mount) override {
        if (++unmounts == failUnmountNumber) {
            return StepResult::Failed(EBUSY);
        }
        return DirectDriveAccess::Unmount(mount);
    }
    StepResult Open(const BlockDeviceInfo& disk, int flags, UniqueFd* fd) override {
        if (failOpen) {
            return StepResult::Failed(EIO);
        }
        return DirectDriveAccess::Open(disk, flags, fd);
    }
};

TEST_F(WriteSafetyTest, WhatWasUnmountedBeforeALaterStepFailedIsMountedAgainAsItWas) {
    Attach(true);
    ASSERT_EQ(::mkdir((loop_->mountPoint() + "/photos").c_str(), 0700), 0);
    ASSERT_EQ(::mount(nullptr, loop_->mountPoint().c_str(), nullptr,
                      MS_REMOUNT | MS_NOATIME | MS_NODEV | MS_NOSUID, "errors=remount-ro"),
              0);
    ScopedMount bind(loop_->mountPoint() + "/photos", loop_->folder() + "/photos", nullptr);
    ASSERT_TRUE(bind.ok());
    const State before = Now();
    const BlockDeviceInfo* disk = nullptr;
    const SysfsBlockTree tree = SysfsBlockTree::Load("/sys");
    for (const BlockDeviceInfo* candidate : tree.Disks()) {
        if ("/dev/" + candidate->name == loop_->device()) {
            disk = candidate;
        }
    }
    ASSERT_NE(disk, nullptr);

    FailingStep secondUnmountFails;
    secondUnmountFails.failUnmountNumber = 2;
    DiskClaim::Claimed claimed;
    EXPECT_FALSE(DiskClaim(secondUnmountFails, "/sys", "/proc/self/mountinfo")
                     .Take(*disk, O_RDWR | O_DIRECT, &claimed)
                     .ok());
    EXPECT_FALSE(claimed.fd.valid());
    EXPECT_EQ(MountsIn(loop_->folder()), before.mounts);

    FailingStep openFails;
    openFails.failOpen = true;
    EXPECT_FALSE(DiskClaim(openFails, "/sys", "/proc/self/mountinfo")
                     .Take(*disk, O_RDWR | O_DIRECT, &claimed)
                     .ok());
    EXPECT_EQ(openFails.unmounts, 2);
    // Mounting again updates the file system's own records, so only the mounts are compared.
    EXPECT_EQ(MountsIn(loop_->folder()), before.mounts);
}

}  // namespace
