#include "tests/helpers/accessible_desktop.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/helpers/run_program.h"
#include "tests/helpers/temp_folder.h"

namespace testing_support {
namespace {

constexpr char kScreen[] = "/usr/bin/Xvfb";
constexpr char kBus[] = "/usr/bin/dbus-daemon";
constexpr char kAccessibilityBus[] = "/usr/libexec/at-spi-bus-launcher";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Waits up to five seconds for ready to hold.
template <typename Ready>
bool WaitFor(Ready ready) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace

AccessibleDesktop::AccessibleDesktop() {
    for (const char* tool : {kScreen, kBus, kAccessibilityBus}) {
        if (::access(tool, X_OK) != 0) {
            failure_ = std::string(tool) + " is not installed (bash scripts/setup.sh)";
            return;
        }
    }
    folder_ = MakeTempFolder("sectorsmith-desktop-", &failure_);
    if (folder_.empty()) {
        return;
    }
    ::chmod(folder_.c_str(), 0700);  // a runtime folder is its user's alone
    for (const char* name : {"DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR",
                             "QT_QPA_PLATFORM", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON"}) {
        const char* value = std::getenv(name);
        savedEnvironment_.emplace_back(name, value != nullptr ? value : std::string(1, '\0'));
    }
    if (StartScreen()) {
        StartBuses();
    }
}

AccessibleDesktop::~AccessibleDesktop() {
    while (!daemons_.empty()) {
        daemons_.back()->Stop();
        daemons_.pop_back();
    }
    for (const auto& [name, value] : savedEnvironment_) {
        if (value == std::string(1, '\0')) {
            ::unsetenv(name.c_str());
        } else {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
    }
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

bool AccessibleDesktop::StartScreen() {
    // Xvfb picks a free display and writes its number on the descriptor given: its log.
    const std::string log = folder_ + "/screen.log";
    daemons_.push_back(std::make_unique<DaemonProcess>(
        std::vector<std::string>{kScreen, "-displayfd", "1", "-screen", "0", "1024x768x24",
                                 "-nolisten", "tcp"},
        log));
    std::string display;
    WaitFor([&] {
        const std::string text = ReadFile(log);
        display = text.substr(0, text.find('\n'));
        return text.find('\n') != std::string::npos;
    });
    if (display.empty() || display.find_first_not_of("0123456789") != std::string::npos) {
        failure_ = "Xvfb did not start: " + ReadFile(log);
        return false;
    }
    ::setenv("DISPLAY", (":" + display).c_str(), 1);
    // A client can connect once the number is written; a screen that still refuses is reported.
    if (!WaitFor([] { return RunProgram({"xdotool", "getdisplaygeometry"}) == 0; })) {
        failure_ = "the virtual screen :" + display + " takes no clients: " + ReadFile(log);
        return false;
    }
    return true;
}

bool AccessibleDesktop::StartBuses() {
    const std::string socket = folder_ + "/bus";
    daemons_.push_back(std::make_unique<DaemonProcess>(
        std::vector<std::string>{kBus, "--session", "--nofork", "--address=unix:path=" + socket},
        folder_ + "/bus.log"));
    if (!WaitFor([&] { return std::filesystem::exists(socket); })) {
        failure_ = "the session bus did not start: " + ReadFile(folder_ + "/bus.log");
        return false;
    }
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + socket).c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);  // where the launcher puts its bus
    daemons_.push_back(std::make_unique<DaemonProcess>(
        std::vector<std::string>{kAccessibilityBus, "--launch-immediately"},
        folder_ + "/accessibility-bus.log"));
    if (!WaitFor([&] { return std::filesystem::exists(folder_ + "/at-spi"); })) {
        failure_ =
            "the accessibility bus did not start: " + ReadFile(folder_ + "/accessibility-bus.log");
        return false;
    }
    return true;
}

void AccessibleDesktop::StartProgram(const std::string& program,
                                     const std::vector<std::string>& args) {
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1", 1);
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    // Now and then (about one start in ten here, on a screen that has just taken a client) the
    // program's first connection to the screen is refused and it ends at once; it is started
    // again then, and its log says so.
    const std::string log = folder_ + "/program.log";
    for (int attempt = 0; attempt < 3; ++attempt) {
        daemons_.push_back(std::make_unique<DaemonProcess>(argv, log));
        program_ = daemons_.back().get();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (program_->Running() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (program_->Running() ||
            ReadFile(log).find("could not connect to display") == std::string::npos) {
            return;
        }
        std::ofstream(log)
            << "(the screen refused the program's first connection: started again)\n";
    }
}

bool AccessibleDesktop::ProgramRunning() {
    return program_ != nullptr && program_->Running();
}

std::string AccessibleDesktop::ProgramLog() const {
    return ReadFile(folder_ + "/program.log") +
           "\n(virtual screen: " + ReadFile(folder_ + "/screen.log") + ")";
}

}  // namespace testing_support
