// Restores through the window onto loop devices that behave like real sticks (root only): one
// throttled to a slow card's speed, one that drops writes it acknowledged.
#include <gtest/gtest.h>

#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>

#include "platform/storage/linux/linux_storage.h"
#include "tests/helpers/blkio_throttle.h"
#include "tests/helpers/faulty_loop_device.h"
#include "tests/helpers/loop_device.h"
#include "tests/helpers/machine_stalls.h"
#include "tests/ui/main_window_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using test_helpers::RunModal;

using testing_support::Milliseconds;

// Ticks every 5 ms and keeps each time between two ticks: how long the window could not have
// answered.
class EventLoopProbe {
  public:
    EventLoopProbe() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const Clock::time_point now = Clock::now();
            if (last_) {
                gaps_.push_back({*last_, now});
            }
            last_ = now;
        });
        timer_.start(5);
    }
    void Stop() { timer_.stop(); }
    const std::vector<testing_support::TimeSpan>& gaps() const { return gaps_; }

  private:
    QTimer timer_;
    std::optional<Clock::time_point> last_;
    std::vector<testing_support::TimeSpan> gaps_;
};

class SlowStickRestore : public MainWindowTest {
  protected:
    // Chooses the image and the drive of deviceNode, answers Yes, then runs duringRestore once
    // the restore has started; returns the log's rows.
    void Restore(platform::storage::LinuxStorage& linuxStorage, const std::string& deviceNode,
                 const std::string& image, std::function<void(MainDialog&)> duringRestore) {
        MainDialog dialog(linuxStorage);
        RunModal(dialog, [&](CDialog&) {
            const int index = TargetIndexOf(dialog, linuxStorage.PhysicalDriveNameOf(deviceNode));
            ASSERT_GE(index, 0) << deviceNode << " is not offered";
            ChooseImage(dialog, image);
            dialog.targetDriveCombo.SetCurSel(index);
            AnswerBox(true, [&] { QTimer::singleShot(0, [&] { duringRestore(dialog); }); });
            test_helpers::ClickControl(&dialog, IDC_START_RESTORE);
            for (int row = 0; row < dialog.messageList.GetItemCount(); ++row) {
                rows.push_back(Row(dialog, row));
                tips.push_back(dialog.messageList.GetItemToolTip(row));
            }
            ended = Clock::now();
        });
    }

    std::vector<std::string> rows;
    std::vector<std::string> tips;
    Clock::time_point ended;
};

TEST_F(SlowStickRestore, A2MBpsStickKeepsTheWindowAnsweringAndStopsPromptly) {
    testing_support::LoopDevice loop({});
    if (!loop.ok()) {
        GTEST_SKIP() << loop.failure();
    }
    testing_support::BlkioThrottle throttle(loop.device(), 2'000'000, 4'000'000);
    if (!throttle.ok()) {
        GTEST_SKIP() << throttle.failure();
    }
    platform::storage::LinuxStorage linuxStorage;
    const std::string image = MakeImage("stick.img", 4u << 20);
    const testing_support::MachineStalls machine;
    std::optional<EventLoopProbe> probe;
    Clock::time_point stopped;
    Restore(linuxStorage, loop.device(), image, [&](MainDialog& dialog) {
        probe.emplace();
        // After a second of writing, the operator clicks Stop.
        QTimer::singleShot(1000, [&] {
            probe->Stop();
            stopped = Clock::now();
            test_helpers::ClickControl(&dialog, IDC_STOP_RESTORE);
        });
    });

    ASSERT_TRUE(probe);
    // The time the machine withheld from every thread is not the device's.
    EXPECT_TRUE(testing_support::GapsOfTheThread(probe->gaps(), 50ms, machine).empty())
        << "gaps: " << testing_support::DescribeGaps(probe->gaps(), 50ms, machine);
    const testing_support::TimeSpan stopping{stopped, ended};
    EXPECT_LT(stopping.Length() - machine.WithheldDuring(stopping), 300ms)
        << Milliseconds(stopping.Length()) << " ms, of which the machine's "
        << Milliseconds(machine.WithheldDuring(stopping));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0].find(" Error: User aborts restoring"), std::string::npos) << rows[0];
}

TEST_F(SlowStickRestore, AStickThatDropsWritesIsAWriteErrorInTheLog) {
    testing_support::FaultyLoopDevice::Options options;
    options.sizeBytes = 16u << 20;
    options.withFileSystem = true;
    testing_support::FaultyLoopDevice stick(options);
    if (!stick.ok()) {
        GTEST_SKIP() << stick.failure();
    }
    platform::storage::LinuxStorage linuxStorage;
    const std::string image = MakeImage("stick.img", 6u << 20);
    ASSERT_TRUE(stick.DropWrites(2u << 20, 1u << 20));

    Restore(linuxStorage, stick.device(), image, [](MainDialog&) {});

    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0].find(" Error: Write I/O error"), std::string::npos) << rows[0];
}

// A refusal decided before anything is unmounted comes at once, and its row says why.
TEST_F(SlowStickRestore, ABusyVolumeIsRefusedAtOnceAndTheRowSaysWhy) {
    testing_support::LoopDevice loop({});
    if (!loop.ok()) {
        GTEST_SKIP() << loop.failure();
    }
    platform::storage::LinuxStorage linuxStorage;
    const std::string image = MakeImage("stick.img", 1u << 20);
    const std::string held = loop.mountPoint() + "/held.txt";
    std::ofstream(held) << "kept open";
    std::FILE* open = std::fopen(held.c_str(), "r");
    ASSERT_NE(open, nullptr);
    Clock::time_point answered;
    Restore(linuxStorage, loop.device(), image, [&](MainDialog&) { answered = Clock::now(); });
    std::fclose(open);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0].find(" Error: Write I/O error"), std::string::npos) << rows[0];
    EXPECT_NE(tips[0].find(loop.mountPoint() + " is busy, held by "), std::string::npos) << tips[0];
    EXPECT_LT(ended - answered, 500ms) << Milliseconds(ended - answered) << " ms";
}

}  // namespace
