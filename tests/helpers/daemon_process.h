#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace testing_support {

// A daemon started for a test in the foreground, as a child of the test process, and stopped by
// its process id when this object goes. It is killed with the thread that started it, so a test
// process killed half-way leaves no daemon behind.
class DaemonProcess {
  public:
    // Starts args[0] (a path) with its arguments; standard output and error go to logPath.
    DaemonProcess(const std::vector<std::string>& args, const std::string& logPath);
    ~DaemonProcess();
    DaemonProcess(const DaemonProcess&) = delete;
    DaemonProcess& operator=(const DaemonProcess&) = delete;

    bool started() const { return pid_ > 0; }
    // Whether it is still running (it has not exited on its own).
    bool Running();
    // SIGTERM, then SIGKILL after a grace period; waits for it. Idempotent.
    void Stop();

  private:
    pid_t pid_ = -1;
};

}  // namespace testing_support
