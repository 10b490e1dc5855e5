#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/helpers/daemon_process.h"

namespace testing_support {

// A bus of the test's own with a stand-in for udisks2 and polkit on it (udisks_stand_in: "silent"
// answers udisks2's calls never, "late" answers Unmount and OpenDevice late). Clients reach it as
// their system bus through SystemBusAddress(). Both daemons are stopped by their process ids and
// the folder is removed when this goes, also after a failed test.
class StandInBus {
  public:
    explicit StandInBus(const std::string& mode);
    ~StandInBus();
    StandInBus(const StandInBus&) = delete;
    StandInBus& operator=(const StandInBus&) = delete;

    // Empty when both run; otherwise why not, worded as the reason for skipping a test.
    const std::string& failure() const { return failure_; }
    bool ok() const { return failure_.empty(); }

    // For DBUS_SYSTEM_BUS_ADDRESS.
    std::string SystemBusAddress() const { return "unix:path=" + folder_ + "/bus"; }
    // The file whose descriptor OpenDevice sends.
    std::string DescriptorFile() const { return folder_ + "/device"; }
    // The calls the stand-in got so far, by member name, in order.
    std::vector<std::string> Calls() const;

  private:
    std::string failure_;
    std::string folder_;
    std::unique_ptr<DaemonProcess> bus_;
    std::unique_ptr<DaemonProcess> standIn_;
};

}  // namespace testing_support
