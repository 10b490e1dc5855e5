#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/storage/linux/linux_storage.h"
#include "tests/helpers/loop_device.h"
#include "tests/helpers/recording_imager.h"
#include "tests/helpers/run_program.h"

namespace testing_support {

using Bytes = std::vector<unsigned char>;

inline Bytes RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (unsigned char& b : bytes) {
        b = static_cast<unsigned char>(random());
    }
    return bytes;
}

inline bool WriteWholeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return static_cast<bool>(out.flush());
}

inline Bytes ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Reads the start of the device unbuffered, as it is on the medium (a mounted file system may
// hold newer metadata in the page cache), independently of the backend.
inline Bytes ReadDevice(const std::string& node, size_t size) {
    constexpr size_t kAlign = 4096;
    const size_t rounded = (size + kAlign - 1) / kAlign * kAlign;
    std::unique_ptr<unsigned char, decltype(&std::free)> buffer(
        static_cast<unsigned char*>(std::aligned_alloc(kAlign, rounded)), &std::free);
    const int fd = ::open(node.c_str(), O_RDONLY | O_DIRECT | O_CLOEXEC);
    size_t done = 0;
    while (fd >= 0 && buffer && done < rounded) {
        const ssize_t n =
            ::pread(fd, buffer.get() + done, rounded - done, static_cast<off_t>(done));
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return Bytes(buffer.get(), buffer.get() + std::min(done, size));
}

inline bool IsMountPoint(const std::string& path) {
    struct stat here {
    }, parent{};
    return ::stat(path.c_str(), &here) == 0 && ::stat((path + "/..").c_str(), &parent) == 0 &&
           here.st_dev != parent.st_dev;
}

// Writes everything the file system holds to the device, so that a snapshot of the device stays
// valid while nothing is written to the file system.
inline void SyncFileSystem(const std::string& mountPoint) {
    const int fd = ::open(mountPoint.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
    }
}

// A mount (a bind mount when fsType is null), removed when it goes out of scope.
class ScopedMount {
  public:
    ScopedMount(const std::string& source, const std::string& target, const char* fsType)
        : target_(target) {
        ::mkdir(target.c_str(), 0700);
        ok_ = ::mount(source.c_str(), target.c_str(), fsType, fsType ? MS_NOATIME : MS_BIND,
                      nullptr) == 0;
    }
    ~ScopedMount() {
        if (ok_) {
            ::umount2(target_.c_str(), UMOUNT_NOFOLLOW);
        }
    }
    ScopedMount(const ScopedMount&) = delete;
    ScopedMount& operator=(const ScopedMount&) = delete;
    bool ok() const { return ok_; }

  private:
    std::string target_;
    bool ok_ = false;
};

// A loop device with a mounted ext4 file system, the real backend and an engine over it.
class LoopDeviceTest : public testing::TestWithParam<uint32_t> {
  protected:
    static constexpr uint64_t kDeviceBytes = 32u << 20;

    void SetUp() override {
        LoopDevice::Options options;
        options.sizeBytes = kDeviceBytes;
        options.sectorSize = GetParam();
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
    }

    std::string DevicePath() const { return "\\\\.\\" + drive_; }

    std::unique_ptr<LoopDevice> loop_;
    std::unique_ptr<platform::storage::LinuxStorage> storage_;
    std::unique_ptr<RecordingImager> imager_;
    std::string drive_;
};

}  // namespace testing_support
