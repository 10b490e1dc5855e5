// What the window costs a restore: 256 MiB onto a loop device through the main window (offscreen,
// with its meter, log and one dispatched event per block) against the same restore through
// DiskImager alone, on the same device in the same run. Prints both throughputs and the ratio.
// Needs root.
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "platform/storage/linux/linux_storage.h"
#include "platform/window/qt/qt_event_pump.h"
#include "platform/window/win_app.h"
#include "resources/program_resources.h"
#include "tests/helpers/loop_device.h"
#include "ui/main_dialog.h"

namespace {

constexpr uint64_t kImageBytes = 256u << 20;
constexpr int kRounds = 3;

CWinApp benchApp;

// The best of kRounds restores through one open main window: the Start Restore command's path
// after the confirmation. The window's set-up (its drive scan) is not timed.
double BestRestoreThroughWindow(platform::storage::StorageServices& storage,
                                const std::string& image, const std::string& devicePath) {
    MainDialog dialog(storage);
    double best = -1;
    QTimer::singleShot(0, [&] {
        best = bench::BestSeconds(kRounds, [&] {
            dialog.SetControlsIdle(false);
            dialog.RestoreImage(image, devicePath, static_cast<int32_t>(kImageBytes >> 10));
            dialog.SetControlsIdle(true);
            const int rows = dialog.messageList.GetItemCount();
            return rows > 0 && dialog.messageList.GetItemText(rows - 1, 0) == "Finished";
        });
        dialog.EndDialog(IDOK);
    });
    dialog.DoModal();
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    platform::window::InstallQtEventPump();
    RegisterProgramResources();

    testing_support::LoopDevice::Options options;
    options.sizeBytes = kImageBytes;
    options.withFileSystem = false;
    testing_support::LoopDevice loop(options);
    if (!loop.ok()) {
        std::fprintf(stderr, "window_restore_bench: %s\n", loop.failure().c_str());
        return 1;
    }
    const std::string image = loop.folder() + "/image.img";
    if (!bench::WriteRandomImage(image, kImageBytes, 4096)) {
        std::fprintf(stderr, "window_restore_bench: cannot write the image\n");
        return 1;
    }
    platform::storage::LinuxStorage storage;
    const std::string devicePath = std::string(platform::storage::kDevicePathPrefix) +
                                   storage.PhysicalDriveNameOf(loop.device());

    const double alone = bench::BestSeconds(kRounds, [&] {
        bench::QuietImager engine(storage);
        engine.RestoreImage(image, devicePath, static_cast<int32_t>(kImageBytes >> 10));
        return engine.message == "Finished";
    });
    const double window = BestRestoreThroughWindow(storage, image, devicePath);
    if (alone <= 0 || window <= 0) {
        std::fprintf(stderr, "window_restore_bench: a restore failed\n");
        return 1;
    }
    const double mib = static_cast<double>(kImageBytes) / (1 << 20);
    std::printf("256 MiB onto %s, best of %d rounds each\n", loop.device().c_str(), kRounds);
    std::printf("  DiskImager alone        %8.1f MiB/s\n", mib / alone);
    std::printf("  through the main window %8.1f MiB/s\n", mib / window);
    std::printf("  window cost             %+7.1f %%\n", (window / alone - 1.0) * 100.0);
    return 0;
}
