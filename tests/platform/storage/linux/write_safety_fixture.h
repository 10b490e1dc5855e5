#pragma once

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/storage/linux/mount_table.h"
#include "tests/platform/storage/linux/loop_device_fixture.h"

namespace testing_support {

// The mounts whose mount points lie in folder, as "target source type vfs-options fs-options",
// sorted: what a refused write must leave exactly as it was.
inline std::vector<std::string> MountsIn(const std::string& folder) {
    std::vector<std::string> mounts;
    const auto table = platform::storage::MountTable::Load("/proc/self/mountinfo");
    for (const auto& entry :
         table ? table->entries() : std::vector<platform::storage::MountEntry>()) {
        if (entry.target.compare(0, folder.size(), folder) == 0) {
            mounts.push_back(entry.target + " " + entry.source + " " + entry.fsType + " " +
                             entry.vfsOptions + " " + entry.fsOptions);
        }
    }
    std::sort(mounts.begin(), mounts.end());
    return mounts;
}

// The IDs of the mounts whose mount points lie in folder, sorted: a mount unmounted and mounted
// again looks the same in MountsIn, but has a new ID. The kernel's unique IDs are taken where it
// has them (6.8 on): the IDs of the mount table are reused at once.
inline std::vector<uint64_t> MountIdsIn(const std::string& folder) {
    constexpr unsigned kUniqueMountId = 0x4000;  // STATX_MNT_ID_UNIQUE
    std::vector<uint64_t> ids;
    const auto table = platform::storage::MountTable::Load("/proc/self/mountinfo");
    for (const auto& entry :
         table ? table->entries() : std::vector<platform::storage::MountEntry>()) {
        if (entry.target.compare(0, folder.size(), folder) != 0) {
            continue;
        }
        struct statx stx {};
        const bool unique = ::statx(AT_FDCWD, entry.target.c_str(), AT_SYMLINK_NOFOLLOW,
                                    kUniqueMountId, &stx) == 0 &&
                            (stx.stx_mask & kUniqueMountId) != 0;
        ids.push_back(unique ? stx.stx_mnt_id : static_cast<uint64_t>(entry.mountId));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

// A loop device attached to a file or device with losetup, detached when it goes out of scope.
class ScopedLoop {
  public:
    explicit ScopedLoop(const std::vector<std::string>& losetupArgs) {
        std::vector<std::string> args = {"losetup", "--find", "--show"};
        args.insert(args.end(), losetupArgs.begin(), losetupArgs.end());
        std::string output;
        if (RunProgram(args, &output) == 0) {
            device_ = output.substr(0, output.find('\n'));
        }
    }
    ~ScopedLoop() {
        if (!device_.empty()) {
            RunProgram({"losetup", "--detach", device_});
        }
    }
    ScopedLoop(const ScopedLoop&) = delete;
    ScopedLoop& operator=(const ScopedLoop&) = delete;
    const std::string& device() const { return device_; }

  private:
    std::string device_;
};

// A target loop device (with or without a mounted ext4 volume), the real backend and an engine.
class WriteSafetyTest : public testing::Test {
  protected:
    static constexpr uint64_t kDeviceBytes = 32u << 20;

    void Attach(bool withFileSystem) {
        LoopDevice::Options options;
        options.sizeBytes = kDeviceBytes;
        options.withFileSystem = withFileSystem;
        loop_ = std::make_unique<LoopDevice>(options);
        if (!loop_->ok()) {
            GTEST_SKIP() << loop_->failure();
        }
        storage_ = std::make_unique<platform::storage::LinuxStorage>();
        imager_ = std::make_unique<RecordingImager>(*storage_);
        drive_ = storage_->PhysicalDriveNameOf(loop_->device());
        // Never aim at anything but the loop device this test created.
        ASSERT_FALSE(drive_.empty());
        ASSERT_EQ(storage_->DeviceNodeOf(drive_), loop_->device());
        image_ = loop_->folder() + "/image.img";
        ASSERT_TRUE(WriteWholeFile(image_, RandomBytes(1 << 20, 11)));
    }

    std::string DevicePath() const { return "\\\\.\\" + drive_; }

    // The target's bytes and the mounts of the test's folder, to compare before and after.
    struct State {
        Bytes bytes;
        std::vector<std::string> mounts;
        bool operator==(const State& other) const = default;
    };
    State Now() {
        if (!loop_->mountPoint().empty() && IsMountPoint(loop_->mountPoint())) {
            SyncFileSystem(loop_->mountPoint());
        }
        return {ReadDevice(loop_->device(), kDeviceBytes), MountsIn(loop_->folder())};
    }

    // Restores the test's image and expects exactly one report, the given error, with a detail
    // that holds each of the given parts, and all of it within half a second: a refusal is
    // decided before anything is written.
    void ExpectRestoreRefused(const std::string& image, const std::string& error,
                              const std::vector<std::string>& detailParts = {}) {
        RecordingImager imager(*storage_);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(imager.RestoreImage(image, DevicePath(), 8192)) << image;
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(imager.errors, std::vector<std::string>{error}) << image;
        EXPECT_TRUE(imager.messages.empty()) << image;
        ASSERT_EQ(imager.details.size(), 1u) << image;
        for (const std::string& part : detailParts) {
            EXPECT_NE(imager.details[0].find(part), std::string::npos)
                << image << ": \"" << part << "\" is not in \"" << imager.details[0] << "\"";
        }
        EXPECT_LT(took, std::chrono::milliseconds(500))
            << image << " took " << std::chrono::duration<double>(took).count() << " s";
    }

    std::unique_ptr<LoopDevice> loop_;
    std::unique_ptr<platform::storage::LinuxStorage> storage_;
    std::unique_ptr<RecordingImager> imager_;
    std::string drive_;
    std::string image_;
};

}  // namespace testing_support
