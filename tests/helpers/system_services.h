#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/helpers/daemon_process.h"

namespace testing_support {

// The desktop's system services for one test, started by the test itself: a system bus, udev,
// polkit and udisks2, plus an unprivileged test user and a polkit rule for it. Needs root.
//
// The first instance moves the test process into a mount and network namespace of its own, so
// nothing done here is seen outside the process: /run, /media, the udev and polkit rule folders,
// /dev/disk and /dev/block are fresh tmpfs mounts, and the user exists only in a bind-mounted
// copy of /etc/passwd. udev applies only the persistent-storage and udisks2 rules, and only to
// devices handed to Adopt. Create this before the test's loop devices (their mounts must be
// made inside the namespace) and let it go after them. The destructor stops the daemons by
// process id and removes every mount; a process killed half-way takes its daemons (killed with
// it) and its namespace along.
class SystemServices {
  public:
    // What polkit says to the test user about udisks2's actions.
    enum class Rule {
        kGrant,  // yes to open-device(-system), filesystem-unmount-others, rescan, mount(-system)
        kNone,   // polkit's defaults: a password would be asked, and no agent is there to ask
        kDeny,   // no to every udisks2 action
    };

    static constexpr const char* kUserName = "sectorsmith-test";

    explicit SystemServices(Rule rule = Rule::kGrant);
    ~SystemServices();
    SystemServices(const SystemServices&) = delete;
    SystemServices& operator=(const SystemServices&) = delete;

    // Empty when everything runs; otherwise why not, worded as the reason for skipping a test.
    const std::string& failure() const { return failure_; }
    bool ok() const { return failure_.empty(); }

    // Lets udev and udisks2 see one of the test's devices ("/dev/loop3"); returns once udisks2
    // has its object (with its file system, if it carries one). False on failure.
    bool Adopt(const std::string& device);

    // Replaces the polkit rule; in force when this returns (polkitd is restarted).
    bool SetRule(Rule rule);

    // Runs body as the test user in a forked child (see RunAsUser), with the supplementary
    // groups given.
    std::string RunAsUser(const std::function<std::string()>& body,
                          const std::vector<gid_t>& groups = {}) const;

    uid_t uid() const { return uid_; }

  private:
    bool MountPrivateFolders();
    bool AddUser();
    bool WriteUdevRules();
    bool WritePolkitRule(Rule rule);
    bool StartDaemons();
    bool StartPolkit();
    void Fail(const std::string& why, const std::string& logName = "");

    std::string failure_;
    std::vector<std::string> mounts_;       // in mount order
    std::vector<std::string> madeFolders_;  // created outside the namespace's tmpfs mounts
    std::vector<std::string> udevRules_;    // kept before their folder is covered
    std::vector<std::string> adopted_;      // kernel names
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    std::unique_ptr<DaemonProcess> bus_;
    std::unique_ptr<DaemonProcess> polkit_;
    std::unique_ptr<DaemonProcess> udev_;
    std::unique_ptr<DaemonProcess> udisks_;
};

}  // namespace testing_support
