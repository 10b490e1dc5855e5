// A restore through the window on Windows onto a slow simulated drive: the window goes on
// dispatching its messages while the drive is written, and a Stop ends the restore promptly.
// Timed: this program runs alone.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "tests/helpers/machine_stalls.h"
#include "tests/ui/win32/dispatch_probe.h"
#include "tests/ui/win32/slow_restore_fixture.h"

namespace {

using namespace std::chrono_literals;

using SlowDriveRestore = SlowRestoreTest;

TEST_F(SlowDriveRestore, TheWindowGoesOnAnsweringWhileTheDriveIsWritten) {
    const std::string image = MakeImage("slow.img", 512u << 10);
    stick->writeTime = 4ms;  // a 500 KB/s drive: about a second for the image
    const testing_support::MachineStalls machine;
    std::optional<DispatchProbe> probe;
    MainDialog dialog(storage);
    test_helpers::RunModal(dialog, [&](CDialog&) {
        Restore(dialog, image, [&] { probe.emplace(); });
        probe->Stop();
        ASSERT_EQ(dialog.messageList.GetItemCount(), 1);
        EXPECT_EQ(Row(dialog, 0), "Finished");
    });
    ASSERT_TRUE(probe);
    EXPECT_GT(DispatchProbe::Gaps().size(), 40u) << "the timer ran throughout";
    EXPECT_TRUE(testing_support::GapsOfTheThread(DispatchProbe::Gaps(), 50ms, machine).empty())
        << "gaps: " << testing_support::DescribeGaps(DispatchProbe::Gaps(), 50ms, machine);
    EXPECT_EQ(StickPrefix(512u << 10), storage.File(image)->bytes);
}

TEST_F(SlowDriveRestore, StopClickedAfterASecondEndsTheRestoreAtOnce) {
    const std::string image = MakeImage("slow.img", 1u << 20);
    stick->writeTime = 4ms;  // two seconds for the image
    StopAfterASecond(storage, image);
    EXPECT_GT(stick->bytesWritten, 0u);
    EXPECT_LT(stick->bytesWritten, 1u << 20);
}

}  // namespace
