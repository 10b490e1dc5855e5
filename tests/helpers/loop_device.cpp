#include "tests/helpers/loop_device.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "tests/helpers/run_program.h"
#include "tests/helpers/temp_folder.h"

namespace testing_support {

namespace {

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

LoopDevice::LoopDevice(Options options) {
    if (::geteuid() != 0) {
        failure_ = "loop devices need root";
        return;
    }
    folder_ = MakeTempFolder("sectorsmith-loop-", &failure_);
    if (folder_.empty()) {
        return;
    }
    backingFile_ = folder_ + "/backing.img";
    const int fd = ::open(backingFile_.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
    const bool sized = fd >= 0 && ::ftruncate(fd, static_cast<off_t>(options.sizeBytes)) == 0 &&
                       ::pwrite(fd, options.firstBytes.data(), options.firstBytes.size(), 0) ==
                           static_cast<ssize_t>(options.firstBytes.size());
    if (fd >= 0) {
        ::close(fd);
    }
    if (!sized) {
        failure_ = "cannot create the backing file";
        return;
    }
    std::string output;
    readOnly_ = options.readOnly;
    // A read-only device cannot be formatted: its file system is made in the backing file.
    if (options.withFileSystem && readOnly_ &&
        RunProgram({"mkfs.ext4", "-q", "-F", backingFile_}, &output) != 0) {
        failure_ = "mkfs.ext4 failed: " + Trimmed(output);
        return;
    }
    output.clear();
    std::vector<std::string> losetup = {"losetup", "--find", "--show", "--sector-size",
                                        std::to_string(options.sectorSize)};
    if (options.partitionScan) {
        losetup.push_back("--partscan");
    }
    if (readOnly_) {
        losetup.push_back("--read-only");
    }
    if (options.directIo) {
        losetup.push_back("--direct-io=on");
    }
    losetup.push_back(backingFile_);
    const int status = RunProgram(losetup, &output);
    if (status != 0 || output.compare(0, 5, "/dev/") != 0) {
        failure_ = "losetup failed (no loop devices here?): " + Trimmed(output);
        return;
    }
    device_ = Trimmed(output);
    if (!options.withFileSystem) {
        return;
    }
    output.clear();
    std::vector<std::string> mkfs = {
        "mkfs.ext4", "-q", "-F", "-E", "lazy_itable_init=0,lazy_journal_init=0", device_};
    if (options.fileSystemBytes != 0) {
        mkfs.push_back(std::to_string(options.fileSystemBytes >> 10) + "k");
    }
    if (!readOnly_ && RunProgram(mkfs, &output) != 0) {
        failure_ = "mkfs.ext4 failed: " + Trimmed(output);
        return;
    }
    mountPoint_ = folder_ + "/mount point";
    std::error_code error;
    std::filesystem::create_directory(mountPoint_, error);
    if (error || !Mount()) {
        failure_ = "cannot mount the loop device's file system";
    }
}

LoopDevice::~LoopDevice() {
    if (!mountPoint_.empty()) {
        Unmount();
    }
    if (!device_.empty()) {
        RunProgram({"losetup", "--detach", device_});
    }
    if (!folder_.empty()) {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
}

bool LoopDevice::Mount() {
    // No access-time updates: the file system then writes only when a test writes to it.
    const unsigned long flags = MS_NOATIME | (readOnly_ ? MS_RDONLY : 0);
    return ::mount(device_.c_str(), mountPoint_.c_str(), "ext4", flags, nullptr) == 0;
}

bool LoopDevice::Unmount() {
    return ::umount2(mountPoint_.c_str(), UMOUNT_NOFOLLOW) == 0;
}

}  // namespace testing_support
