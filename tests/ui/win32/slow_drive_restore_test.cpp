// A restore through the window on Windows onto a slow simulated drive: the window goes on
// dispatching its messages while the drive is written, and a Stop ends the restore promptly.
// Timed: this program runs alone.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "tests/helpers/machine_stalls.h"
#include "tests/ui/win32/dispatch_probe.h"
#include "tests/ui/win32/main_window_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using testing_support::Milliseconds;
using testing_support::TimeSpan;

using SlowDriveRestore = MainWindowTest;

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
    const testing_support::MachineStalls machine;
    std::optional<DispatchProbe> probe;
    Clock::time_point stopped;
    MainDialog dialog(storage);
    test_helpers::RunModal(dialog, [&](CDialog&) {
        Restore(dialog, image, [&] {
            probe.emplace();
            test_helpers::RunLater(1000, [&] {
                probe->Stop();
                stopped = Clock::now();
                test_helpers::ClickControl(&dialog, IDC_STOP_RESTORE);
            });
        });
        ASSERT_EQ(dialog.messageList.GetItemCount(), 1);
        EXPECT_NE(Row(dialog, 0).find(" Error: User aborts restoring"), std::string::npos)
            << Row(dialog, 0);
    });
    ASSERT_TRUE(probe);
    EXPECT_TRUE(testing_support::GapsOfTheThread(DispatchProbe::Gaps(), 50ms, machine).empty())
        << "gaps: " << testing_support::DescribeGaps(DispatchProbe::Gaps(), 50ms, machine);
    const TimeSpan stopping{stopped, ended};
    EXPECT_LT(stopping.Length() - machine.WithheldDuring(stopping), 300ms)
        << Milliseconds(stopping.Length()) << " ms, of which the machine's "
        << Milliseconds(machine.WithheldDuring(stopping));
    EXPECT_GT(stick->bytesWritten, 0u);
    EXPECT_LT(stick->bytesWritten, 1u << 20);
}

}  // namespace
