// The real backend as an unprivileged desktop user, who lists and writes drives through udisks2
// and polkit, against services the test starts for its own loop device (root; skipped with the
// reason otherwise).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <QCoreApplication>
#include <filesystem>
#include <memory>

#include "tests/helpers/disk_group_node.h"
#include "tests/helpers/system_services.h"
#include "tests/platform/storage/linux/loop_device_fixture.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

constexpr int32_t kImageKB = 2048;

// What the engine reported, for a message that explains a failure.
std::string Reports(const RecordingImager& imager) {
    std::string text;
    for (const std::string& line : imager.errors) {
        text += "error: " + line + "; ";
    }
    for (const std::string& line : imager.messages) {
        text += "message: " + line + "; ";
    }
    return text;
}

// What the disk list says of device after a scan: its reason, or "offered"; "unlisted" when
// it is not listed.
std::string ListedReason(LinuxStorage& storage, RecordingImager& imager,
                         const std::string& device) {
    imager.ScanDrives();
    for (const DriveDescription& disk : storage.DescribeDisks()) {
        if (disk.deviceNode == device) {
            return disk.whyNotOffered.empty() ? "offered" : disk.whyNotOffered;
        }
    }
    return "unlisted";
}

// Runs the engine in the test user's process, with the application object udisks2's calls
// need; body returns empty for success, otherwise what went wrong.
std::string AsUser(const SystemServices& services,
                   const std::function<std::string(LinuxStorage&, RecordingImager&)>& body) {
    return services.RunAsUser([&] {
        int argc = 1;
        char name[] = "desktop_user_test";
        char* argv[] = {name, nullptr};
        QCoreApplication application(argc, argv);
        LinuxStorage storage;
        RecordingImager imager(storage);
        return body(storage, imager);
    });
}

class DesktopUserTest : public testing::Test {
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
        // The user may look into the test's folder (for the volume's size) and read the image.
        ASSERT_EQ(::chmod(loop_->folder().c_str(), 0755), 0);
        image_ = loop_->folder() + "/image.img";
        imageBytes_ = RandomBytes(1 << 20, 31);
        ASSERT_TRUE(WriteWholeFile(image_, imageBytes_));
        ASSERT_EQ(::chmod(image_.c_str(), 0644), 0);
        SyncFileSystem(loop_->mountPoint());
        before_ = ReadDevice(loop_->device(), 4 << 20);
    }

    void TearDown() override {
        loop_.reset();
        services_.reset();
    }

    // Restores the image as the user and expects exactly one report, whose detail holds
    // detailPart.
    std::string RestoreAsUser(const std::string& image, const std::string& report,
                              const std::string& detailPart = "") {
        const std::string device = loop_->device();
        return AsUser(*services_, [&](LinuxStorage& storage, RecordingImager& imager) {
            const std::string drive = storage.PhysicalDriveNameOf(device);
            if (drive.empty()) {
                return device + " is not numbered";
            }
            imager.RestoreImage(image, "\\\\.\\" + drive, kImageKB);
            if (imager.ReportCount() != 1 ||
                (imager.errors != std::vector<std::string>{report} &&
                 imager.messages != std::vector<std::string>{report})) {
                return "expected only \"" + report + "\", got " + Reports(imager);
            }
            if (imager.details.at(0).find(detailPart) == std::string::npos) {
                return "the detail \"" + imager.details.at(0) + "\" lacks \"" + detailPart + "\"";
            }
            return std::string();
        });
    }

    std::unique_ptr<SystemServices> services_;
    std::unique_ptr<LoopDevice> loop_;
    std::string image_;
    Bytes imageBytes_;
    Bytes before_;
};

TEST_F(DesktopUserTest, TheUserSeesTheDriveAndRestoresItByteForByte) {
    const std::string device = loop_->device();
    const std::string mountPoint = loop_->mountPoint();
    const std::string listed =
        AsUser(*services_, [&](LinuxStorage& storage, RecordingImager& imager) {
            imager.ScanDrives();
            const std::string letter = storage.VolumeLetterOfPath(mountPoint);
            const PhysicalDriveEntry* entry =
                imager.FindPhysicalDrive(storage.PhysicalDriveNameOf(device));
            if (letter.size() != 1 || entry == nullptr) {
                return device + " is not listed";
            }
            if (entry->volumeList != letter + ":\\ " || entry->totalKB <= 0) {
                return "listed as " + entry->volumeList + " of " + std::to_string(entry->totalKB);
            }
            const std::string reason = ListedReason(storage, imager, device);
            return reason == "offered" ? std::string() : "the disk list says: " + reason;
        });
    EXPECT_EQ(listed, "");

    EXPECT_EQ(RestoreAsUser(image_, "Finished"), "");

    EXPECT_TRUE(ReadDevice(device, imageBytes_.size()) == imageBytes_);
    EXPECT_FALSE(IsMountPoint(mountPoint));
}

// A member of the disk group writes the disk through a descriptor of their own, and udisks2
// unmounts the volume they mounted themselves, which needs no password: with polkit's defaults
// and no agent that could ask for one, the restore works (only the partition table is not
// re-read, which would need one).
TEST_F(DesktopUserTest, ADiskGroupMemberRestoresTheVolumeTheyMountedWithoutAPassword) {
    const std::string device = loop_->device();
    ASSERT_TRUE(loop_->Unmount());
    const std::string mounted = services_->RunAsUser([&] {
        std::string output;
        const int status =
            RunProgram({"udisksctl", "mount", "--no-user-interaction", "-b", device}, &output);
        return status == 0 ? std::string() : output;
    });
    ASSERT_EQ(mounted, "");
    ASSERT_TRUE(services_->SetRule(SystemServices::Rule::kNone));
    DiskGroupNode node(device);
    ASSERT_TRUE(node.ok());

    const std::string outcome = services_->RunAsUser(
        [&] {
            int argc = 1;
            char name[] = "desktop_user_test";
            char* argv[] = {name, nullptr};
            QCoreApplication application(argc, argv);
            LinuxStorage storage;
            RecordingImager imager(storage);
            imager.ScanDrives();
            imager.RestoreImage(image_, "\\\\.\\" + storage.PhysicalDriveNameOf(device), kImageKB);
            if (imager.messages != std::vector<std::string>{"Finished"}) {
                return Reports(imager) + testing::PrintToString(imager.details);
            }
            // Re-reading the partition table would need a password too: the image is there and
            // checked all the same, and the user learns when its volumes show.
            const std::string note =
                "so the volumes of the image show only after the drive is "
                "plugged in again.";
            return imager.details.at(0).find(note) != std::string::npos
                       ? std::string()
                       : "the detail lacks the note: " + imager.details.at(0);
        },
        {DiskGroup()});

    EXPECT_EQ(outcome, "");
    EXPECT_TRUE(ReadDevice(device, imageBytes_.size()) == imageBytes_);
}

TEST_F(DesktopUserTest, AUserPolkitRefusesGetsNoDriveAndWritesNothing) {
    ASSERT_TRUE(services_->SetRule(SystemServices::Rule::kDeny));
    const std::string device = loop_->device();
    const std::string listed =
        AsUser(*services_, [&](LinuxStorage& storage, RecordingImager& imager) {
            imager.ScanDrives();
            return imager.FindPhysicalDrive(storage.PhysicalDriveNameOf(device)) == nullptr
                       ? std::string()
                       : device + " is listed";
        });
    EXPECT_EQ(listed, "");

    EXPECT_EQ(RestoreAsUser(image_, "Write I/O error", "polkit refuses udisks2's open-device"), "");

    EXPECT_TRUE(IsMountPoint(loop_->mountPoint()));
    EXPECT_TRUE(ReadDevice(device, 4 << 20) == before_);
}

TEST_F(DesktopUserTest, TheDiskListSaysPolkitRefusedTheDisk) {
    ASSERT_TRUE(services_->SetRule(SystemServices::Rule::kDeny));
    const std::string device = loop_->device();
    EXPECT_EQ(AsUser(*services_,
                     [&](LinuxStorage& storage, RecordingImager& imager) {
                         return ListedReason(storage, imager, device);
                     }),
              "polkit refused to let you open it through udisks2");
}

// A process of root's that works in a folder, stopped and reaped when it goes out of scope.
class ProcessIn {
  public:
    explicit ProcessIn(const std::string& folder) : pid_(::fork()) {
        if (pid_ == 0) {
            if (::chdir(folder.c_str()) == 0) {
                ::pause();
            }
            ::_exit(0);
        }
    }
    ~ProcessIn() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ProcessIn(const ProcessIn&) = delete;
    ProcessIn& operator=(const ProcessIn&) = delete;
    // Once the process works in folder (within a few seconds).
    bool WorksIn(const std::string& folder) const {
        const std::string cwd = "/proc/" + std::to_string(pid_) + "/cwd";
        for (int attempt = 0; pid_ > 0 && attempt < 5000; ++attempt) {
            std::error_code error;
            if (std::filesystem::read_symlink(cwd, error) == folder) {
                return true;
            }
            ::usleep(1000);
        }
        return false;
    }

  private:
    pid_t pid_;
};

TEST_F(DesktopUserTest, ABusyVolumeIsNeitherUnmountedNorWritten) {
    const Bytes before = ReadDevice(loop_->device(), 4 << 20);
    ProcessIn busy(loop_->mountPoint());
    ASSERT_TRUE(busy.WorksIn(loop_->mountPoint()));

    // Root's process holds it: the user may not see who.
    EXPECT_EQ(RestoreAsUser(image_, "Write I/O error",
                            loop_->mountPoint() + " is busy, held by a process of another user"),
              "");

    EXPECT_TRUE(IsMountPoint(loop_->mountPoint()));
    EXPECT_TRUE(ReadDevice(loop_->device(), 4 << 20) == before);
}

TEST_F(DesktopUserTest, AnImageOnTheTargetsVolumeIsRefused) {
    const std::string inside = loop_->mountPoint() + "/image.img";
    ASSERT_TRUE(WriteWholeFile(inside, imageBytes_));
    ASSERT_EQ(::chmod(inside.c_str(), 0644), 0);
    SyncFileSystem(loop_->mountPoint());
    const Bytes before = ReadDevice(loop_->device(), 4 << 20);

    EXPECT_EQ(RestoreAsUser(inside, "source path belongs to the destination  physical drive",
                            inside + " is on " + loop_->device()),
              "");

    EXPECT_TRUE(IsMountPoint(loop_->mountPoint()));
    EXPECT_TRUE(ReadDevice(loop_->device(), 4 << 20) == before);
}

}  // namespace
