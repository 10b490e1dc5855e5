// How the udisks2 route waits, against a stand-in for udisks2 and polkit on the test's own bus:
// a call that cannot prompt has a bound and a cause when it passes it; a call that may prompt is
// given up on a Stop, and what its late answer brings is undone. The window's thread answers
// throughout. Each test runs in a child process of its own, with its own bus connection.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "platform/storage/device_wait.h"
#include "platform/storage/linux/udisks_drive_access.h"
#include "tests/helpers/stand_in_bus.h"
#include "tests/helpers/user_process.h"

namespace {

using platform::storage::BlockDeviceInfo;
using platform::storage::DeviceWaitHook;
using platform::storage::MountEntry;
using platform::storage::StepResult;
using platform::storage::UdisksDriveAccess;
using platform::storage::UniqueFd;
using testing_support::StandInBus;

// A volume the stand-in is asked about: it answers for any device.
MountEntry StandInMount() {
    MountEntry mount;
    mount.target = "/media/op/STICK";
    mount.source = "/dev/stand-in";
    return mount;
}

BlockDeviceInfo StandInDisk() {
    BlockDeviceInfo disk;
    disk.name = "stand-in";
    return disk;
}

// Runs body in a child process with an application object and a wait hook that delivers its
// events, as the program's engine does, counting the rounds; stopAfter turns the Stop on.
std::string InChild(std::chrono::milliseconds stopAfter,
                    const std::function<std::string(UdisksDriveAccess&, int& rounds)>& body) {
    return testing_support::RunAsUser(::getuid(), ::getgid(), [&] {
        int argc = 1;
        char name[] = "udisks-waits";
        char* argv[] = {name, nullptr};
        QCoreApplication application(argc, argv);
        QElapsedTimer clock;
        clock.start();
        int rounds = 0;
        const DeviceWaitHook hook(
            [&rounds] {
                ++rounds;
                QCoreApplication::processEvents();
            },
            [&] { return clock.elapsed() >= stopAfter.count(); });
        UdisksDriveAccess access(300);
        return body(access, rounds);
    });
}

// Delivers events for a while, as the program's own loop does after a restore ended.
void DeliverEventsFor(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// The descriptors of this process open on path.
int DescriptorsOn(const std::string& path) {
    int count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        std::error_code unreadable;
        if (std::filesystem::read_symlink(entry.path(), unreadable) == path) {
            ++count;
        }
    }
    return count;
}

class UdisksWaitsTest : public testing::Test {
  protected:
    void Start(const std::string& mode) {
        bus_ = std::make_unique<StandInBus>(mode);
        if (!bus_->ok()) {
            GTEST_SKIP() << bus_->failure();
        }
    }
    std::unique_ptr<StandInBus> bus_;
};

TEST_F(UdisksWaitsTest, ACallThatCannotPromptEndsAtItsBoundWithACause) {
    Start("silent");
    const std::string outcome =
        InChild(std::chrono::hours(1), [](UdisksDriveAccess& access, int& rounds) {
            QElapsedTimer took;
            took.start();
            const StepResult may = access.MayWrite(StandInDisk());
            if (may.ok() || may.error() != ETIMEDOUT) {
                return "MayWrite answered " + std::to_string(may.error()) + ": " + may.cause();
            }
            if (may.cause().find("udisks2 did not answer in time") != 0) {
                return "the cause is \"" + may.cause() + "\"";
            }
            if (took.elapsed() < 250 || took.elapsed() > 2000) {
                return "the bound of 300 ms took " + std::to_string(took.elapsed()) + " ms";
            }
            return rounds >= 20 ? std::string() : "only " + std::to_string(rounds) + " rounds";
        });
    EXPECT_EQ(outcome, "");
}

TEST_F(UdisksWaitsTest, AStopEndsAnUnansweredCallAtOnce) {
    Start("silent");
    const std::string outcome =
        InChild(std::chrono::milliseconds(100), [](UdisksDriveAccess& access, int&) {
            QElapsedTimer took;
            took.start();
            const StepResult unmounted = access.Unmount(StandInMount());
            if (unmounted.error() != ECANCELED) {
                return "Unmount answered " + std::to_string(unmounted.error());
            }
            return took.elapsed() < 250 ? std::string()
                                        : "the Stop took " + std::to_string(took.elapsed()) + " ms";
        });
    EXPECT_EQ(outcome, "");
}

TEST_F(UdisksWaitsTest, AnUnmountAnsweredAfterAStopIsMountedAgain) {
    Start("late");
    const std::string outcome =
        InChild(std::chrono::milliseconds(100), [](UdisksDriveAccess& access, int&) {
            const StepResult unmounted = access.Unmount(StandInMount());
            if (unmounted.error() != ECANCELED ||
                unmounted.cause().find("should it still do so, the volume is mounted again") ==
                    std::string::npos) {
                return "Unmount answered " + std::to_string(unmounted.error()) + ": " +
                       unmounted.cause();
            }
            DeliverEventsFor(std::chrono::milliseconds(2500));
            return std::string();
        });
    EXPECT_EQ(outcome, "");
    const std::vector<std::string> calls = bus_->Calls();
    const auto unmount = std::find(calls.begin(), calls.end(), "Unmount");
    EXPECT_NE(unmount, calls.end());
    EXPECT_NE(std::find(unmount, calls.end(), "Mount"), calls.end())
        << testing::PrintToString(calls);
}

TEST_F(UdisksWaitsTest, ADescriptorArrivingAfterAStopIsClosedAtOnce) {
    Start("late");
    const std::string device = bus_->DescriptorFile();
    const std::string outcome =
        InChild(std::chrono::milliseconds(100), [&](UdisksDriveAccess& access, int&) {
            UniqueFd fd;
            const StepResult opened = access.Open(StandInDisk(), O_RDWR | O_EXCL, &fd);
            if (opened.error() != ECANCELED || fd.valid()) {
                return "Open answered " + std::to_string(opened.error());
            }
            DeliverEventsFor(std::chrono::milliseconds(2500));
            return DescriptorsOn(device) == 0 ? std::string() : "the late descriptor is still open";
        });
    EXPECT_EQ(outcome, "");
    EXPECT_EQ(bus_->Calls().back(), "OpenDevice");
}

}  // namespace
