#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/helpers/daemon_process.h"

namespace testing_support {

// A desktop as a screen reader sees it, for one test: a virtual screen (Xvfb), a session bus and
// the accessibility bus with its registry (at-spi-bus-launcher), each started as a child of the
// test and stopped by its process id when this object goes, also when the test failed; their
// sockets and logs live in a temporary folder that goes with them. The test's environment points
// at them (DISPLAY, DBUS_SESSION_BUS_ADDRESS, XDG_RUNTIME_DIR) while the object lives, so the
// programs the test starts use them.
class AccessibleDesktop {
  public:
    AccessibleDesktop();
    ~AccessibleDesktop();
    AccessibleDesktop(const AccessibleDesktop&) = delete;
    AccessibleDesktop& operator=(const AccessibleDesktop&) = delete;

    // Empty when the desktop runs; otherwise why not, worded as the reason for skipping a test.
    const std::string& failure() const { return failure_; }
    bool ok() const { return failure_.empty(); }
    const std::string& folder() const { return folder_; }

    // Starts program (a path) on this desktop with the accessibility of Qt always on; it is stopped
    // with the desktop, before the buses. Its output goes to a log in the folder.
    void StartProgram(const std::string& program, const std::vector<std::string>& args = {});
    // Whether the program started last still runs.
    bool ProgramRunning();
    // The program's log so far, and the virtual screen's (to explain a failure).
    std::string ProgramLog() const;

  private:
    bool StartScreen();
    bool StartBuses();

    std::string failure_;
    std::string folder_;
    std::vector<std::unique_ptr<DaemonProcess>> daemons_;  // stopped last first
    DaemonProcess* program_ = nullptr;                     // one of daemons_
    std::vector<std::pair<std::string, std::string>> savedEnvironment_;
};

}  // namespace testing_support
