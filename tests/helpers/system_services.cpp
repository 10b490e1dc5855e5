#include "tests/helpers/system_services.h"

#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/helpers/run_program.h"
#include "tests/helpers/user_process.h"

namespace testing_support {

namespace {

namespace fs = std::filesystem;

const char* const kStateFolder = "/run/sectorsmith-test";
const char* const kBusDaemon = "/usr/bin/dbus-daemon";
const char* const kPolkitDaemon = "/usr/lib/polkit-1/polkitd";
const char* const kUdevDaemon = "/lib/systemd/systemd-udevd";
const char* const kUdisksDaemon = "/usr/libexec/udisks2/udisksd";
const char* const kUdevRules = "/usr/lib/udev/rules.d";
const char* const kPolkitRule = "/etc/polkit-1/rules.d/10-sectorsmith-test.rules";
// The only rules udev applies: file system probing and udisks2's hints.
const char* const kKeptUdevRules[] = {"60-persistent-storage.rules", "80-udisks2.rules"};

const char* const kBusConfig = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <auth>EXTERNAL</auth>
  <listen>unix:path=/run/dbus/system_bus_socket</listen>
  <policy context="default">
    <allow user="*"/>
    <deny own="*"/>
    <deny send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_requested_reply="true" send_type="method_return"/>
    <allow send_requested_reply="true" send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
    <allow receive_type="signal"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus"/>
    <allow send_destination="org.freedesktop.DBus"
           send_interface="org.freedesktop.DBus.Introspectable"/>
    <allow send_destination="org.freedesktop.DBus"
           send_interface="org.freedesktop.DBus.Properties"/>
  </policy>
  <includedir>/usr/share/dbus-1/system.d</includedir>
</busconfig>
)";

const char* const kGrantRule = R"(polkit.addRule(function(action, subject) {
    var granted = [
        "org.freedesktop.udisks2.open-device",
        "org.freedesktop.udisks2.open-device-system",
        "org.freedesktop.udisks2.filesystem-unmount-others",
        "org.freedesktop.udisks2.filesystem-mount",
        "org.freedesktop.udisks2.filesystem-mount-system",
        "org.freedesktop.udisks2.rescan"
    ];
    if (subject.user == "sectorsmith-test" && granted.indexOf(action.id) >= 0) {
        return polkit.Result.YES;
    }
});
)";

const char* const kDenyRule = R"(polkit.addRule(function(action, subject) {
    if (subject.user == "sectorsmith-test" && action.id.indexOf("org.freedesktop.udisks2.") == 0) {
        return polkit.Result.NO;
    }
});
)";

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string LastLine(const std::string& path) {
    std::istringstream lines(ReadFile(path));
    std::string line, last;
    while (std::getline(lines, line)) {
        if (!line.empty()) {
            last = line;
        }
    }
    return last;
}

std::string LogPath(const std::string& name) {
    return std::string(kStateFolder) + "/" + name + ".log";
}

bool WaitUntil(const std::function<bool()>& ready, DaemonProcess* daemon = nullptr) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline || (daemon && !daemon->Running())) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool NameOwned(const std::string& name) {
    std::string output;
    return RunProgram(
               {"dbus-send", "--system", "--print-reply", "--dest=org.freedesktop.DBus",
                "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", "string:" + name},
               &output) == 0 &&
           output.find("boolean true") != std::string::npos;
}

// Moves the process into mount and network namespaces of its own, once.
bool EnterPrivateNamespace(std::string* why) {
    static bool entered = false;
    if (entered) {
        return true;
    }
    if (::unshare(CLONE_NEWNS | CLONE_NEWNET) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        *why = std::string("cannot make a private mount namespace: ") + std::strerror(errno);
        return false;
    }
    entered = true;
    return true;
}

uid_t FreeUid() {
    uid_t uid = 61000;
    while (::getpwuid(uid) != nullptr) {
        ++uid;
    }
    return uid;
}

}  // namespace

SystemServices::SystemServices(Rule rule) {
    if (::geteuid() != 0) {
        failure_ = "the system services need root";
        return;
    }
    for (const char* program : {kBusDaemon, kPolkitDaemon, kUdevDaemon, kUdisksDaemon}) {
        if (::access(program, X_OK) != 0) {
            failure_ = std::string(program) + " is missing (scripts/setup.sh installs it)";
            return;
        }
    }
    if (!EnterPrivateNamespace(&failure_) || !MountPrivateFolders() || !AddUser() ||
        !WriteUdevRules() || !WritePolkitRule(rule)) {
        if (failure_.empty()) {
            failure_ = std::string("cannot prepare the services: ") + std::strerror(errno);
        }
        return;
    }
    StartDaemons();
}

SystemServices::~SystemServices() {
    udisks_.reset();
    udev_.reset();
    polkit_.reset();
    bus_.reset();
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    for (auto mount = mounts_.rbegin(); mount != mounts_.rend(); ++mount) {
        ::umount2(mount->c_str(), MNT_DETACH);
    }
    for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder) {
        ::rmdir(folder->c_str());
    }
}

bool SystemServices::MountPrivateFolders() {
    for (const char* name : kKeptUdevRules) {
        udevRules_.push_back(ReadFile(std::string(kUdevRules) + "/" + name));
    }
    const char* folders[] = {
        "/run",      "/media",    "/etc/polkit-1/rules.d", "/etc/udev/rules.d", kUdevRules,
        "/dev/disk", "/dev/block"};
    for (const char* folder : folders) {
        std::error_code error;
        if (!fs::exists(folder, error)) {
            if (::mkdir(folder, 0755) != 0) {
                return false;
            }
            madeFolders_.push_back(folder);
        } else if (std::string(folder).rfind("/dev/", 0) == 0 && fs::is_empty(folder, error)) {
            // Left by a test process that was killed; an empty one means nothing.
            madeFolders_.push_back(folder);
        }
        if (::mount("tmpfs", folder, "tmpfs", MS_NOSUID | MS_NODEV, "mode=0755") != 0) {
            return false;
        }
        mounts_.push_back(folder);
    }
    return ::mkdir(kStateFolder, 0755) == 0 && ::mkdir("/run/dbus", 0755) == 0;
}

bool SystemServices::AddUser() {
    uid_ = FreeUid();
    const group* users = ::getgrnam("users");
    gid_ = users != nullptr ? users->gr_gid : 65534;
    const std::string copy = std::string(kStateFolder) + "/passwd";
    const std::string entry = std::string(kUserName) + ":x:" + std::to_string(uid_) + ":" +
                              std::to_string(gid_) +
                              ":Sectorsmith test:/nonexistent:" + "/usr/sbin/nologin\n";
    if (!WriteFile(copy, ReadFile("/etc/passwd") + entry) ||
        ::mount(copy.c_str(), "/etc/passwd", nullptr, MS_BIND, nullptr) != 0) {
        return false;
    }
    mounts_.push_back("/etc/passwd");
    return ::getpwnam(kUserName) != nullptr;
}

bool SystemServices::WriteUdevRules() {
    // Events of every other device stop at the first rule.
    std::string names;
    for (const std::string& name : adopted_) {
        names += (names.empty() ? "" : "|") + name;
    }
    const std::string filter = "KERNEL!=\"" + (names.empty() ? "sectorsmith-none" : names) +
                               "\", OPTIONS+=\"last_rule\"\n";
    bool written = WriteFile(std::string(kUdevRules) + "/00-sectorsmith-test-devices.rules",
                             "SUBSYSTEM!=\"block\", OPTIONS+=\"last_rule\"\n" + filter);
    for (size_t i = 0; i < udevRules_.size(); ++i) {
        written =
            written && WriteFile(std::string(kUdevRules) + "/" + kKeptUdevRules[i], udevRules_[i]);
    }
    return written;
}

bool SystemServices::WritePolkitRule(Rule rule) {
    switch (rule) {
        case Rule::kGrant:
            return WriteFile(kPolkitRule, kGrantRule);
        case Rule::kDeny:
            return WriteFile(kPolkitRule, kDenyRule);
        case Rule::kNone:
            return ::unlink(kPolkitRule) == 0 || errno == ENOENT;
    }
    return false;
}

bool SystemServices::StartDaemons() {
    const std::string config = std::string(kStateFolder) + "/bus.conf";
    if (!WriteFile(config, kBusConfig)) {
        Fail("cannot write the bus configuration");
        return false;
    }
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/run/dbus/system_bus_socket", 1);
    bus_ = std::make_unique<DaemonProcess>(
        std::vector<std::string>{kBusDaemon, "--config-file=" + config, "--nofork", "--nopidfile"},
        LogPath("bus"));
    if (!WaitUntil([] { return NameOwned("org.freedesktop.DBus"); }, bus_.get())) {
        Fail("the system bus did not start", "bus");
        return false;
    }
    if (!StartPolkit()) {
        return false;
    }
    udev_ = std::make_unique<DaemonProcess>(std::vector<std::string>{kUdevDaemon}, LogPath("udev"));
    if (!WaitUntil([] { return fs::exists("/run/udev/control"); }, udev_.get())) {
        Fail("udevd did not start", "udev");
        return false;
    }
    // udisksd asks polkit at start-up, so polkitd runs first.
    udisks_ =
        std::make_unique<DaemonProcess>(std::vector<std::string>{kUdisksDaemon}, LogPath("udisks"));
    if (!WaitUntil([] { return NameOwned("org.freedesktop.UDisks2"); }, udisks_.get())) {
        Fail("udisksd did not start", "udisks");
        return false;
    }
    return true;
}

bool SystemServices::StartPolkit() {
    polkit_.reset();
    polkit_ = std::make_unique<DaemonProcess>(std::vector<std::string>{kPolkitDaemon, "--no-debug"},
                                              LogPath("polkit"));
    if (!WaitUntil([] { return NameOwned("org.freedesktop.PolicyKit1"); }, polkit_.get())) {
        Fail("polkitd did not start", "polkit");
        return false;
    }
    return true;
}

void SystemServices::Fail(const std::string& why, const std::string& logName) {
    failure_ = why;
    if (!logName.empty()) {
        failure_ += ": " + LastLine(LogPath(logName));
    }
}

bool SystemServices::Adopt(const std::string& device) {
    struct stat node {};
    if (!ok() || ::stat(device.c_str(), &node) != 0 || !S_ISBLK(node.st_mode)) {
        return false;
    }
    const std::string name = fs::path(device).filename().string();
    adopted_.push_back(name);
    if (!WriteUdevRules() || RunProgram({"udevadm", "control", "--reload"}) != 0 ||
        RunProgram(
            {"udevadm", "trigger", "--action=add", "--settle", "/sys/class/block/" + name}) != 0) {
        return false;
    }
    const std::string record = "/run/udev/data/b" + std::to_string(major(node.st_rdev)) + ":" +
                               std::to_string(minor(node.st_rdev));
    const bool fileSystem = ReadFile(record).find("E:ID_FS_USAGE=filesystem") != std::string::npos;
    const std::string wanted =
        fileSystem ? "org.freedesktop.UDisks2.Filesystem:" : "org.freedesktop.UDisks2.Block:";
    return WaitUntil([&] {
        std::string output;
        return RunProgram({"udisksctl", "info", "--block-device", device}, &output) == 0 &&
               output.find(wanted) != std::string::npos;
    });
}

bool SystemServices::SetRule(Rule rule) {
    return ok() && WritePolkitRule(rule) && StartPolkit();
}

std::string SystemServices::RunAsUser(const std::function<std::string()>& body,
                                      const std::vector<gid_t>& groups) const {
    return testing_support::RunAsUser(uid_, gid_, body, 60, groups);
}

}  // namespace testing_support
