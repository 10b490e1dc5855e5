// Restore throughput on a loop device: DiskImager::RestoreImage through the Linux backend
// against dd with 4 MiB direct writes (plus fsync) and dd with 2048-byte direct writes, all on the
// same device in the same run; then CreateImage back from the device against dd with 4 MiB direct
// reads. Prints the throughputs and the ratios. Needs root.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "platform/storage/linux/linux_storage.h"
#include "tests/helpers/loop_device.h"
#include "tests/helpers/run_program.h"
#include "transfer/disk_imager.h"

namespace {

constexpr uint64_t kImageBytes = 256u << 20;
constexpr int kRounds = 3;

double MiBPerSecond(double seconds) {
    return static_cast<double>(kImageBytes) / (1 << 20) / seconds;
}

}  // namespace

int main() {
    testing_support::LoopDevice::Options options;
    options.sizeBytes = kImageBytes;
    options.withFileSystem = false;
    testing_support::LoopDevice loop(options);
    if (!loop.ok()) {
        std::fprintf(stderr, "restore_bench: %s\n", loop.failure().c_str());
        return 1;
    }
    const std::string image = loop.folder() + "/image.img";
    if (!bench::WriteRandomImage(image, kImageBytes, 2048)) {
        std::fprintf(stderr, "restore_bench: cannot write the image\n");
        return 1;
    }
    platform::storage::LinuxStorage storage;
    const std::string drive = storage.PhysicalDriveNameOf(loop.device());
    if (drive.empty()) {
        std::fprintf(stderr, "restore_bench: %s is not numbered\n", loop.device().c_str());
        return 1;
    }

    const double dd4m = bench::BestSeconds(kRounds, [&] {
        return testing_support::RunProgram({"dd", "if=" + image, "of=" + loop.device(), "bs=4M",
                                            "oflag=direct", "conv=fsync", "status=none"}) == 0;
    });
    const double imager = bench::BestSeconds(kRounds, [&] {
        bench::QuietImager engine(storage);
        const bool done =
            engine.RestoreImage(image, std::string(platform::storage::kDevicePathPrefix) + drive,
                                static_cast<int32_t>(kImageBytes >> 10));
        if (!done || engine.message != "Finished") {
            std::fprintf(stderr, "restore_bench: restore failed: %s\n", engine.error.c_str());
            return false;
        }
        return true;
    });
    const double dd2k = bench::BestSeconds(kRounds, [&] {
        return testing_support::RunProgram({"dd", "if=" + image, "of=" + loop.device(), "bs=2048",
                                            "oflag=direct", "status=none"}) == 0;
    });
    const std::string copy = loop.folder() + "/copy.img";
    const double ddRead = bench::BestSeconds(kRounds, [&] {
        return testing_support::RunProgram({"dd", "if=" + loop.device(), "of=" + copy, "bs=4M",
                                            "iflag=direct", "conv=fsync", "status=none"}) == 0;
    });
    const double create = bench::BestSeconds(kRounds, [&] {
        bench::QuietImager engine(storage);
        const bool done =
            engine.CreateImage(std::string(platform::storage::kDevicePathPrefix) + drive, copy,
                               static_cast<int32_t>(kImageBytes >> 10));
        if (!done || !engine.error.empty()) {
            std::fprintf(stderr, "restore_bench: creation failed: %s\n", engine.error.c_str());
            return false;
        }
        return true;
    });
    if (dd4m <= 0 || imager <= 0 || dd2k <= 0 || ddRead <= 0 || create <= 0) {
        return 1;
    }
    const bool same = testing_support::RunProgram({"cmp", "-s", image, copy}) == 0;
    std::printf("256 MiB onto %s, best of %d rounds each\n", loop.device().c_str(), kRounds);
    std::printf("  dd bs=4M oflag=direct conv=fsync  %8.1f MiB/s\n", MiBPerSecond(dd4m));
    std::printf("  DiskImager::RestoreImage          %8.1f MiB/s\n", MiBPerSecond(imager));
    std::printf("  dd bs=2048 oflag=direct           %8.1f MiB/s\n", MiBPerSecond(dd2k));
    std::printf("  RestoreImage / dd bs=4M           %8.2f\n", dd4m / imager);
    std::printf("  RestoreImage / dd bs=2048         %8.2f\n", dd2k / imager);
    std::printf("  dd bs=4M / dd bs=2048             %8.2f\n", dd2k / dd4m);
    std::printf("256 MiB back from %s into an image file\n", loop.device().c_str());
    std::printf("  dd bs=4M iflag=direct conv=fsync  %8.1f MiB/s\n", MiBPerSecond(ddRead));
    std::printf("  DiskImager::CreateImage           %8.1f MiB/s\n", MiBPerSecond(create));
    std::printf("  CreateImage / dd bs=4M            %8.2f\n", ddRead / create);
    std::printf("  image read back %s the restored one\n", same ? "equals" : "DIFFERS FROM");
    return 0;
}
