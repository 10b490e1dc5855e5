// The target list's tooltip over real loop devices: a disk whose volume is larger than 2 GB and a
// disk without a mounted volume are named with their reasons (root only).
#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <sstream>

#include "platform/storage/linux/linux_storage.h"
#include "platform/window/qt/native_window.h"
#include "tests/helpers/loop_device.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/drive_details_text.h"

namespace {

using test_helpers::RunModal;

class UnofferedLoopDisks : public MainWindowTest {};

bool HasLine(const std::string& text, const std::string& line) {
    std::istringstream lines(text);
    for (std::string each; std::getline(lines, each);) {
        if (each == line) {
            return true;
        }
    }
    return false;
}

TEST_F(UnofferedLoopDisks, TheTargetListTellsOfALargeVolumeAndOfADiskWithoutOne) {
    testing_support::LoopDevice::Options largeOptions;
    largeOptions.sizeBytes = 4ull << 30;  // sparse
    testing_support::LoopDevice large(largeOptions);
    if (!large.ok()) {
        GTEST_SKIP() << large.failure();
    }
    testing_support::LoopDevice::Options bareOptions;
    bareOptions.withFileSystem = false;
    testing_support::LoopDevice bare(bareOptions);
    ASSERT_TRUE(bare.ok()) << bare.failure();
    struct statvfs stats {};
    ASSERT_EQ(::statvfs(large.mountPoint().c_str(), &stats), 0);
    const uint64_t largeKB = static_cast<uint64_t>(stats.f_blocks) * stats.f_frsize >> 10;
    ASSERT_GT(largeKB, 2097152u);
    const std::string largeLine = large.device() + " (unknown model): its volumes add up to " +
                                  std::to_string(largeKB) + " KB (" +
                                  RoundedSizeText(largeKB * 1024) + "), more than 2 GB";
    const std::string bareLine = bare.device() + " (unknown model): it has no mounted volume";

    platform::storage::LinuxStorage linuxStorage;
    MainDialog dialog(linuxStorage);
    RunModal(dialog, [&](CDialog&) {
        EXPECT_LT(TargetIndexOf(dialog, linuxStorage.PhysicalDriveNameOf(large.device())), 0);
        EXPECT_LT(TargetIndexOf(dialog, linuxStorage.PhysicalDriveNameOf(bare.device())), 0);
        const std::string tip =
            platform::window::WidgetOf(dialog.targetDriveCombo.m_hWnd)->toolTip().toStdString();
        EXPECT_TRUE(HasLine(tip, largeLine)) << tip;
        EXPECT_TRUE(HasLine(tip, bareLine)) << tip;
        // Nothing is chosen: the closed list shows the text alone.
        EXPECT_EQ(tip.rfind("Disks not offered as targets:\n", 0), 0u) << tip;
    });
}

}  // namespace
