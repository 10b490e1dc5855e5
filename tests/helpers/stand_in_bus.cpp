#include "tests/helpers/stand_in_bus.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/helpers/temp_folder.h"

namespace testing_support {

namespace {

const char* const kBusConfig = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <auth>EXTERNAL</auth>
  <listen>unix:path=@BUS@</listen>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
)";

// Whether a client of the bus sees the name owned: asked with dbus-send.
bool NameOwned(const std::string& address, const std::string& name) {
    const std::string command = "dbus-send --bus=" + address +
                                " --print-reply --dest=org.freedesktop.DBus / "
                                "org.freedesktop.DBus.GetNameOwner string:" +
                                name + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

}  // namespace

StandInBus::StandInBus(const std::string& mode) {
    folder_ = MakeTempFolder("sectorsmith-standin-", &failure_);
    if (!ok()) {
        return;
    }
    std::string config = kBusConfig;
    config.replace(config.find("@BUS@"), 5, folder_ + "/bus");
    std::ofstream(folder_ + "/bus.conf") << config;
    std::ofstream(DescriptorFile()) << "the device the stand-in opens";
    bus_ = std::make_unique<DaemonProcess>(
        std::vector<std::string>{"/usr/bin/dbus-daemon", "--nofork",
                                 "--config-file=" + folder_ + "/bus.conf"},
        folder_ + "/bus.log");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(folder_ + "/bus") &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", SystemBusAddress().c_str(), 1);
    standIn_ = std::make_unique<DaemonProcess>(
        std::vector<std::string>{UDISKS_STAND_IN_PROGRAM, mode, DescriptorFile(),
                                 folder_ + "/calls.log"},
        folder_ + "/stand-in.log");
    while (!NameOwned(SystemBusAddress(), "org.freedesktop.UDisks2") &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!NameOwned(SystemBusAddress(), "org.freedesktop.UDisks2")) {
        failure_ = "the udisks2 stand-in did not come up on its bus (see " + folder_ + ")";
    }
}

StandInBus::~StandInBus() {
    standIn_.reset();
    bus_.reset();
    if (!folder_.empty()) {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
}

std::vector<std::string> StandInBus::Calls() const {
    std::vector<std::string> calls;
    std::ifstream log(folder_ + "/calls.log");
    for (std::string line; std::getline(log, line);) {
        calls.push_back(line);
    }
    return calls;
}

}  // namespace testing_support
