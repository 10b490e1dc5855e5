// Compressed restores on one loop device: DiskImager::RestoreImage of a 256 MiB image compressed
// with xz, zstd, gzip and bzip2 against `<tool> -dc image | dd bs=4M iflag=fullblock oflag=direct
// conv=fsync`, and of the plain image against dd alone, all in the same run; each also against
// the same plus `dd bs=4M iflag=direct` reading the device back, as RestoreImage reads back every
// byte it wrote; with the longest
// wait of the user interface during each restore (the longest time between two SetProgressPos
// calls, which the engine makes once per block, right before it dispatches one window message).
// Prints throughputs, ratios and waits. Needs root.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "platform/storage/linux/linux_storage.h"
#include "tests/helpers/compressed_images.h"
#include "tests/helpers/loop_device.h"
#include "tests/helpers/run_program.h"

namespace {

using Clock = std::chrono::steady_clock;
using testing_support::Compressor;

constexpr uint64_t kImageBytes = 256u << 20;
constexpr int kRounds = 3;

// An engine that notes the longest time between two progress calls of its copy loop, and the
// time from the last of them to the final one (the device's flush and close after the last block).
// With cpuTime it measures the thread's processor time instead of the wall clock: the work the
// loop did, without the time other processes held the processor (the clock costs a system call,
// so such a run is not timed).
class WaitTimingImager : public bench::QuietImager {
  public:
    WaitTimingImager(platform::storage::StorageServices& storage, bool cpuTime)
        : QuietImager(storage), cpuTime_(cpuTime) {}
    bool SetProgressPos(int32_t pos) override {
        const double now = NowMs();
        if (started_) {
            if (pos == kFinalPosition) {
                closingMs = now - lastMs_;
            } else {
                longestMs = std::max(longestMs, now - lastMs_);
            }
        }
        started_ = true;
        lastMs_ = now;
        return true;
    }
    static constexpr int32_t kFinalPosition = 1000;  // the copy loop stays below it
    double longestMs = 0;
    double closingMs = 0;

  private:
    double NowMs() const {
        if (!cpuTime_) {
            return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch())
                .count();
        }
        timespec cpu{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
        return static_cast<double>(cpu.tv_sec) * 1e3 + static_cast<double>(cpu.tv_nsec) / 1e6;
    }
    bool cpuTime_;
    bool started_ = false;
    double lastMs_ = 0;
};

struct Figures {
    double toolSeconds = -1;
    double engineSeconds = -1;
    double longestWaitMs = 0;
    double longestCpuMs = 0;
    double closingMs = 0;
};

double MiBPerSecond(double seconds) {
    return static_cast<double>(kImageBytes) / (1 << 20) / seconds;
}

Figures Measure(const std::string& image, const std::vector<std::string>& toolCommand,
                platform::storage::StorageServices& storage, const std::string& drive) {
    Figures figures;
    figures.toolSeconds =
        bench::BestSeconds(kRounds, [&] { return testing_support::RunProgram(toolCommand) == 0; });
    auto restore = [&](WaitTimingImager& engine) {
        const bool done =
            engine.RestoreImage(image, std::string(platform::storage::kDevicePathPrefix) + drive,
                                static_cast<int32_t>(kImageBytes >> 10));
        if (!done || engine.message != "Finished") {
            std::fprintf(stderr, "compressed_restore_bench: %s: %s\n", image.c_str(),
                         engine.error.c_str());
            return false;
        }
        return true;
    };
    figures.engineSeconds = bench::BestSeconds(kRounds, [&] {
        WaitTimingImager engine(storage, false);
        const bool done = restore(engine);
        figures.longestWaitMs = std::max(figures.longestWaitMs, engine.longestMs);
        figures.closingMs = std::max(figures.closingMs, engine.closingMs);
        return done;
    });
    WaitTimingImager engine(storage, true);
    if (figures.engineSeconds > 0 && restore(engine)) {
        figures.longestCpuMs = engine.longestMs;
    }
    return figures;
}

std::vector<std::string> Pipeline(const std::string& decompress, const std::string& image,
                                  const std::string& device) {
    return {"sh", "-c",
            decompress +
                " -dc \"$0\" | dd of=\"$1\" bs=4M iflag=fullblock oflag=direct "
                "conv=fsync status=none",
            image, device};
}

void Print(const char* name, const char* baseline, const Figures& figures, double readBackSeconds) {
    std::printf(
        "  %-6s %-20s %7.1f MiB/s  RestoreImage %7.1f MiB/s  ratio %5.2f  with read-back %5.2f  "
        "longest wait %6.2f ms (processor %5.2f ms)  closing %6.1f ms\n",
        name, baseline, MiBPerSecond(figures.toolSeconds), MiBPerSecond(figures.engineSeconds),
        figures.toolSeconds / figures.engineSeconds,
        (figures.toolSeconds + readBackSeconds) / figures.engineSeconds, figures.longestWaitMs,
        figures.longestCpuMs, figures.closingMs);
}

}  // namespace

int main() {
    testing_support::LoopDevice::Options options;
    options.sizeBytes = kImageBytes;
    options.withFileSystem = false;
    testing_support::LoopDevice loop(options);
    if (!loop.ok()) {
        std::fprintf(stderr, "compressed_restore_bench: %s\n", loop.failure().c_str());
        return 1;
    }
    platform::storage::LinuxStorage storage;
    const std::string drive = storage.PhysicalDriveNameOf(loop.device());
    if (drive.empty()) {
        std::fprintf(stderr, "compressed_restore_bench: %s is not numbered\n",
                     loop.device().c_str());
        return 1;
    }
    const std::string image = loop.folder() + "/image.img";
    std::string failure;
    bool ok = testing_support::WriteBytes(image, testing_support::MixedBytes(kImageBytes, 17));
    const struct {
        const char* name;
        Compressor compressor;
        const char* tool;
        std::vector<std::string> args;
    } formats[] = {{"xz", Compressor::kXz, "xz", {"-T2"}},
                   {"zstd", Compressor::kZstd, "zstd", {"-T2"}},
                   {"gzip", Compressor::kGzip, "gzip", {}},
                   {"bzip2", Compressor::kBzip2, "bzip2", {}}};
    std::vector<std::string> packed;
    for (const auto& format : formats) {
        packed.push_back(
            ok ? testing_support::Compress(image, format.compressor, &failure, format.args) : "");
        ok = ok && !packed.back().empty();
    }
    if (!ok) {
        std::fprintf(stderr, "compressed_restore_bench: cannot make the images: %s\n",
                     failure.c_str());
        return 1;
    }

    const Figures plain = Measure(image,
                                  {"dd", "if=" + image, "of=" + loop.device(), "bs=4M",
                                   "oflag=direct", "conv=fsync", "status=none"},
                                  storage, drive);
    std::vector<Figures> compressed;
    for (size_t i = 0; i < packed.size(); ++i) {
        compressed.push_back(Measure(packed[i], Pipeline(formats[i].tool, packed[i], loop.device()),
                                     storage, drive));
        if (compressed.back().engineSeconds <= 0 || compressed.back().toolSeconds <= 0) {
            return 1;
        }
    }
    const double readBackSeconds = bench::BestSeconds(kRounds, [&] {
        return testing_support::RunProgram({"dd", "if=" + loop.device(), "of=/dev/null", "bs=4M",
                                            "iflag=direct", "status=none"}) == 0;
    });
    if (plain.engineSeconds <= 0 || plain.toolSeconds <= 0 || readBackSeconds <= 0) {
        return 1;
    }
    // The last restore was the engine's: the device must hold the image.
    const bool same = testing_support::RunProgram({"cmp", "-s", "-n", std::to_string(kImageBytes),
                                                   image, loop.device()}) == 0;
    std::printf("256 MiB image (random, zero and text stretches) onto %s, best of %d rounds\n",
                loop.device().c_str(), kRounds);
    Print("plain", "dd bs=4M", plain, readBackSeconds);
    for (size_t i = 0; i < packed.size(); ++i) {
        const std::string baseline = std::string(formats[i].tool) + " -dc | dd bs=4M";
        Print(formats[i].name, baseline.c_str(), compressed[i], readBackSeconds);
    }
    std::printf(
        "  ratio: pipeline time / RestoreImage time (1 = as fast); with read-back: (pipeline\n"
        "  time + dd reading the device back, %.2f s) / RestoreImage time; longest wait: between\n"
        "  two blocks of the copy (processor: the engine thread's own processor time, in one\n"
        "  more restore); closing: from the last block to the end (device flush, close and\n"
        "  partition re-read)\n",
        readBackSeconds);
    std::printf("  device after the last restore %s the image\n", same ? "equals" : "DIFFERS FROM");
    return same ? 0 : 1;
}
