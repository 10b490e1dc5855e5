// The target list as an unprivileged desktop user whom polkit refuses the test's loop device,
// against services the test starts (root; skipped with the reason otherwise).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>

#include "platform/storage/linux/linux_storage.h"
#include "platform/window/qt/native_window.h"
#include "tests/helpers/loop_device.h"
#include "tests/helpers/system_services.h"
#include "tests/ui/main_window_fixture.h"

namespace {

using test_helpers::RunModal;

// The window is made only in the user's process: the test process starts no Qt before it forks.
class DesktopUserLists : public MainWindowTest {
  protected:
    void SetUp() override {}
    void TearDown() override {}
};

TEST_F(DesktopUserLists, TheTargetListSaysPolkitRefusedTheDisk) {
    testing_support::SystemServices services(testing_support::SystemServices::Rule::kDeny);
    if (!services.ok()) {
        GTEST_SKIP() << services.failure();
    }
    testing_support::LoopDevice loop({});
    if (!loop.ok()) {
        GTEST_SKIP() << loop.failure();
    }
    ASSERT_TRUE(services.Adopt(loop.device()));
    // The user may look into the test's folder, for the volume's size.
    ASSERT_EQ(::chmod(loop.folder().c_str(), 0755), 0);
    // Qt's runtime folder for the user, removed with the test's folder.
    const std::string runtime = loop.folder() + "/runtime";
    ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
    ASSERT_EQ(::chown(runtime.c_str(), services.uid(), static_cast<gid_t>(-1)), 0);
    const std::string expected =
        loop.device() + " (unknown model): polkit refused to let you open it through udisks2";

    const std::string outcome = services.RunAsUser([&] {
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        test_helpers::EnsureQtApplication();
        RegisterProgramResources();
        platform::storage::LinuxStorage linuxStorage;
        MainDialog dialog(linuxStorage);
        std::string result = "the window did not run";
        RunModal(dialog, [&](CDialog&) {
            if (TargetIndexOf(dialog, linuxStorage.PhysicalDriveNameOf(loop.device())) >= 0) {
                result = loop.device() + " is offered";
                return;
            }
            const std::string tip =
                platform::window::WidgetOf(dialog.targetDriveCombo.m_hWnd)->toolTip().toStdString();
            std::istringstream lines(tip);
            for (std::string line; std::getline(lines, line);) {
                if (line == expected) {
                    result.clear();
                    return;
                }
            }
            result = "the list's tooltip reads: " + tip;
        });
        return result;
    });

    EXPECT_EQ(outcome, "");
}

}  // namespace
