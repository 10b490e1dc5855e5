#include "tests/helpers/faulty_loop_device.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "tests/helpers/run_program.h"
#include "tests/helpers/temp_folder.h"

namespace testing_support {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(5);
constexpr auto kPoll = std::chrono::milliseconds(10);

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

std::string Range(uint64_t offset, uint64_t length) {
    return std::to_string(offset) + " " + std::to_string(length);
}

// True once the daemon has exited (and was reaped); its status goes to *status.
bool Exited(pid_t pid, int* status) {
    return ::waitpid(pid, status, WNOHANG) == pid;
}

}  // namespace

FaultyLoopDevice::FaultyLoopDevice(Options options) {
    if (::geteuid() != 0) {
        failure_ = "FUSE mounts and loop devices need root";
        return;
    }
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        failure_ = "no /dev/fuse here (FUSE is not available)";
        return;
    }
    folder_ = MakeTempFolder("sectorsmith-faultfs-", &failure_);
    if (folder_.empty()) {
        return;
    }
    backingFile_ = folder_ + "/backing.img";
    const int fd = ::open(backingFile_.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
    const bool sized = fd >= 0 && ::ftruncate(fd, static_cast<off_t>(options.sizeBytes)) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    mountPoint_ = folder_ + "/mount";
    if (!sized || ::mkdir(mountPoint_.c_str(), 0700) != 0) {
        failure_ = "cannot create the backing file and the mount point";
        return;
    }
    if (StartDaemon() && WaitForMount() && Attach(options.sectorSize) && options.withFileSystem) {
        MakeVolume();
    }
}

FaultyLoopDevice::~FaultyLoopDevice() {
    if (!volume_.empty()) {
        UnmountVolume();
    }
    if (!device_.empty()) {
        Detach();
    }
    StopDaemon();
    if (!mountPoint_.empty()) {
        // Normally gone with the daemon; a killed daemon leaves an aborted mount behind.
        ::umount2(mountPoint_.c_str(), MNT_DETACH | UMOUNT_NOFOLLOW);
    }
    if (!folder_.empty()) {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
}

bool FaultyLoopDevice::StartDaemon() {
    // Everything the child needs is prepared before fork: it only execs.
    std::vector<std::string> args = {FAULT_FS_PROGRAM, backingFile_, mountPoint_};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        failure_ = std::string("cannot fork the FUSE daemon: ") + std::strerror(errno);
        return false;
    }
    if (pid == 0) {
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    daemon_ = pid;
    return true;
}

bool FaultyLoopDevice::WaitForMount() {
    struct stat folder {};
    if (::stat(folder_.c_str(), &folder) != 0) {
        failure_ = "the temporary folder vanished";
        return false;
    }
    const auto deadline = Clock::now() + kPatience;
    while (Clock::now() < deadline) {
        struct stat mount {};
        if (::stat(mountPoint_.c_str(), &mount) == 0 && mount.st_dev != folder.st_dev) {
            return true;
        }
        int status = 0;
        if (Exited(daemon_, &status)) {
            daemon_ = -1;
            failure_ = "the FUSE daemon " FAULT_FS_PROGRAM " exited with status " +
                       std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
            return false;
        }
        std::this_thread::sleep_for(kPoll);
    }
    failure_ = "the FUSE file system did not come up within 5 s";
    return false;
}

bool FaultyLoopDevice::Attach(uint32_t sectorSize) {
    std::string output;
    const int status = RunProgram({"losetup", "--find", "--show", "--sector-size",
                                   std::to_string(sectorSize), mountPoint_ + "/disk"},
                                  &output);
    if (status != 0 || output.compare(0, 5, "/dev/") != 0) {
        failure_ = "losetup failed (no loop devices here?): " + Trimmed(output);
        return false;
    }
    device_ = Trimmed(output);
    return true;
}

bool FaultyLoopDevice::MakeVolume() {
    std::string output;
    const std::string volume = folder_ + "/volume";
    if (::mkdir(volume.c_str(), 0700) != 0 ||
        RunProgram(
            {"mkfs.ext4", "-q", "-F", "-E", "lazy_itable_init=0,lazy_journal_init=0", device_},
            &output) != 0) {
        failure_ = "mkfs.ext4 on the faulty device failed: " + Trimmed(output);
        return false;
    }
    if (::mount(device_.c_str(), volume.c_str(), "ext4", MS_NOATIME, nullptr) != 0) {
        failure_ = std::string("cannot mount the faulty device's volume: ") + std::strerror(errno);
        return false;
    }
    volume_ = volume;
    return true;
}

// A device still open elsewhere (udev probing it, say) is detached by the kernel on its last
// close: wait for that, so the daemon is not stopped under a bound loop device.
// A test may have unmounted it already. A file still open on it for a moment (a write-out left
// running after a Stop) makes it busy: that is waited for, and only then is it detached lazily,
// so that the loop device is never left behind.
void FaultyLoopDevice::UnmountVolume() {
    const auto deadline = Clock::now() + kPatience;
    while (::umount2(volume_.c_str(), UMOUNT_NOFOLLOW) != 0 && errno == EBUSY) {
        if (Clock::now() >= deadline) {
            ::umount2(volume_.c_str(), MNT_DETACH | UMOUNT_NOFOLLOW);
            return;
        }
        std::this_thread::sleep_for(kPoll);
    }
}

void FaultyLoopDevice::Detach() {
    RunProgram({"losetup", "--detach", device_});
    const std::string bound =
        "/sys/block/" + std::filesystem::path(device_).filename().string() + "/loop";
    const auto deadline = Clock::now() + kPatience;
    while (::access(bound.c_str(), F_OK) == 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(kPoll);
    }
}

// SIGTERM lets the daemon unmount itself; one that does not go in time is killed.
void FaultyLoopDevice::StopDaemon() {
    if (daemon_ <= 0) {
        return;
    }
    ::kill(daemon_, SIGTERM);
    int status = 0;
    const auto deadline = Clock::now() + kPatience;
    while (!Exited(daemon_, &status)) {
        if (Clock::now() >= deadline) {
            ::kill(daemon_, SIGKILL);
            ::waitpid(daemon_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(kPoll);
    }
    daemon_ = -1;
}

bool FaultyLoopDevice::Command(const std::string& line) {
    if (!ok()) {
        return false;
    }
    const int fd = ::open((mountPoint_ + "/control").c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const std::string text = line + "\n";
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return written;
}

bool FaultyLoopDevice::FailWrites(uint64_t offset, uint64_t length) {
    return Command("fail-writes " + Range(offset, length));
}

bool FaultyLoopDevice::FailReads(uint64_t offset, uint64_t length) {
    return Command("fail-reads " + Range(offset, length));
}

bool FaultyLoopDevice::DropWrites(uint64_t offset, uint64_t length) {
    return Command("drop-writes " + Range(offset, length));
}

bool FaultyLoopDevice::ShortReads(uint64_t offset, uint64_t length) {
    return Command("short-reads " + Range(offset, length));
}

bool FaultyLoopDevice::FailFsync(bool fail) {
    return Command(fail ? "fail-fsync 1" : "fail-fsync 0");
}

bool FaultyLoopDevice::SlowWrites(uint64_t bytesPerSecond) {
    return Command("slow-writes " + std::to_string(bytesPerSecond));
}

bool FaultyLoopDevice::Clear() {
    return Command("clear");
}

}  // namespace testing_support
