// A restore through the window as an unprivileged desktop user, whose drive is written through
// udisks2 and polkit against services the test starts (root; skipped with the reason otherwise).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/storage/linux/linux_storage.h"
#include "tests/helpers/loop_device.h"
#include "tests/helpers/system_services.h"
#include "tests/ui/main_window_fixture.h"

namespace {

using test_helpers::RunModal;

// The window is made only in the user's process: the test process starts no Qt before it forks.
class DesktopUserWindow : public MainWindowTest {
  protected:
    void SetUp() override {}
    void TearDown() override {}
};

TEST_F(DesktopUserWindow, TheUserRestoresThroughTheWindow) {
    testing_support::SystemServices services;
    if (!services.ok()) {
        GTEST_SKIP() << services.failure();
    }
    testing_support::LoopDevice loop({});
    if (!loop.ok()) {
        GTEST_SKIP() << loop.failure();
    }
    ASSERT_TRUE(services.Adopt(loop.device()));
    ASSERT_EQ(::chmod(loop.folder().c_str(), 0755), 0);
    const std::string image = loop.folder() + "/stick.img";
    std::vector<uint8_t> expected((1u << 20) + 1000);
    for (size_t i = 0; i < expected.size(); ++i) {
        expected[i] = static_cast<uint8_t>((i * 13 + 5) % 253);
    }
    {
        std::ofstream out(image, std::ios::binary);
        out.write(reinterpret_cast<const char*>(expected.data()),
                  static_cast<std::streamsize>(expected.size()));
    }
    ASSERT_EQ(::chmod(image.c_str(), 0644), 0);
    // Qt's runtime folder for the user, removed with the test's folder.
    const std::string runtime = loop.folder() + "/runtime";
    ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
    ASSERT_EQ(::chown(runtime.c_str(), services.uid(), static_cast<gid_t>(-1)), 0);

    const std::string outcome = services.RunAsUser([&] {
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        test_helpers::EnsureQtApplication();
        RegisterProgramResources();
        std::filesystem::current_path(loop.folder());
        platform::storage::LinuxStorage linuxStorage;
        MainDialog dialog(linuxStorage);
        std::string result = "the window did not run";
        RunModal(dialog, [&](CDialog&) {
            const std::string drive = linuxStorage.PhysicalDriveNameOf(loop.device());
            const int index = TargetIndexOf(dialog, drive);
            if (index < 0) {
                result = loop.device() + " is not offered";
                return;
            }
            ChooseImage(dialog, image);
            dialog.targetDriveCombo.SetCurSel(index);
            AnswerBox(true, [] {});
            test_helpers::ClickControl(&dialog, IDC_START_RESTORE);
            const int rows = dialog.messageList.GetItemCount();
            result = rows == 1 && Row(dialog, 0) == "Finished"
                         ? ""
                         : "the log reads: " + (rows > 0 ? Row(dialog, rows - 1) : "nothing");
        });
        return result;
    });

    EXPECT_EQ(outcome, "");
    EXPECT_EQ(ReadFirstBytes(loop.device(), expected.size()), expected);
}

}  // namespace
