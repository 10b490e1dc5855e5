#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "tests/helpers/machine_stalls.h"
#include "tests/ui/win32/dispatch_probe.h"
#include "tests/ui/win32/main_window_fixture.h"

// The main window restoring onto a slow drive, timed: the programs that use it run alone.
class SlowRestoreTest : public MainWindowTest {
  protected:
    // Restores image through storage and clicks Stop after a second: the restore ends with the
    // user's abort within 300 ms, and the window answered within 50 ms throughout (less what the
    // machine itself withheld).
    void StopAfterASecond(platform::storage::StorageServices& through, const std::string& image) {
        using namespace std::chrono_literals;
        using testing_support::Milliseconds;
        const testing_support::MachineStalls machine;
        std::optional<DispatchProbe> probe;
        std::chrono::steady_clock::time_point stopped;
        MainDialog dialog(through);
        test_helpers::RunModal(dialog, [&](CDialog&) {
            Restore(dialog, image, [&] {
                probe.emplace();
                test_helpers::RunLater(1000, [&] {
                    probe->Stop();
                    stopped = std::chrono::steady_clock::now();
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
        const testing_support::TimeSpan stopping{stopped, ended};
        EXPECT_LT(stopping.Length() - machine.WithheldDuring(stopping), 300ms)
            << Milliseconds(stopping.Length()) << " ms, of which the machine's "
            << Milliseconds(machine.WithheldDuring(stopping));
    }
};
