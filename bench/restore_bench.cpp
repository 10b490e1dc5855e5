// Restore and creation on one loop device, through the copy engine and the Linux backend, against
// dd on the same device in the same run: unthrottled (1 GiB, rounds interleaved, the median and
// the spread of each round's ratio), then throttled with the blkio
// controller to a cheap stick's 8 MB/s and a slow card's 2 MB/s. A restore writes the image and
// then reads it back; it is compared with dd writing plus dd reading back. Also prints the longest
// time the thread went without dispatching events. Needs root.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "platform/storage/linux/linux_storage.h"
#include "tests/helpers/blkio_throttle.h"
#include "tests/helpers/loop_device.h"
#include "tests/helpers/pump_hook.h"
#include "tests/helpers/run_program.h"
#include "transfer/disk_imager.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint64_t kMiB = 1u << 20;
constexpr uint64_t kFastBytes = 1024 * kMiB;
constexpr int kRounds = 5;

// A quiet engine that notes when the read-back of a restore begins (its second range).
class PhaseImager : public bench::QuietImager {
  public:
    using QuietImager::QuietImager;
    bool SetProgressRange(int32_t upper) override {
        ranges.push_back(Clock::now());
        return QuietImager::SetProgressRange(upper);
    }
    std::vector<Clock::time_point> ranges;
};

struct Restore {
    double seconds = -1;       // the whole restore, read-back included
    double writeSeconds = -1;  // up to the read-back
    double longestWaitMs = -1;
};

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double MBps(uint64_t bytes, double seconds) {
    return static_cast<double>(bytes) / 1e6 / seconds;
}

class Bench {
  public:
    Bench(const testing_support::LoopDevice& loop, platform::storage::LinuxStorage& storage,
          std::string drive)
        : loop_(loop), storage_(storage), device_(std::string("\\\\.\\") + drive) {}

    bool MakeImage(uint64_t bytes) {
        bytes_ = bytes;
        image_ = loop_.folder() + "/image-" + std::to_string(bytes) + ".img";
        copy_ = loop_.folder() + "/copy.img";
        return bench::WriteRandomImage(image_, bytes, 2048);
    }

    double DdWrite() {
        return Dd({"if=" + image_, "of=" + loop_.device(), "oflag=direct", "conv=fsync"});
    }
    // Reads as many bytes as the image holds.
    double DdRead() {
        return Dd({"if=" + loop_.device(), "of=/dev/null", "iflag=direct,count_bytes",
                   "count=" + std::to_string(bytes_)});
    }
    double DdReadToFile() {
        return Dd({"if=" + loop_.device(), "of=" + copy_, "iflag=direct,count_bytes",
                   "count=" + std::to_string(bytes_), "conv=fsync"});
    }

    Restore RestoreOnce() {
        PhaseImager engine(storage_);
        testing_support::PumpHook pump;
        const Clock::time_point start = Clock::now();
        const bool done = engine.RestoreImage(image_, device_, static_cast<int32_t>(bytes_ >> 10));
        const Clock::time_point end = Clock::now();
        if (!done || engine.message != "Finished" || engine.ranges.size() != 2) {
            std::fprintf(stderr, "restore_bench: restore failed: %s\n", engine.error.c_str());
            return {};
        }
        return {Seconds(end - start), Seconds(engine.ranges[1] - start),
                std::chrono::duration<double, std::milli>(pump.LongestGap()).count()};
    }

    double Create(double* longestWaitMs = nullptr) {
        bench::QuietImager engine(storage_);
        testing_support::PumpHook pump;
        const Clock::time_point start = Clock::now();
        const bool done = engine.CreateImage(device_, copy_, static_cast<int32_t>(bytes_ >> 10));
        const double took = Seconds(Clock::now() - start);
        if (longestWaitMs != nullptr) {
            *longestWaitMs = std::chrono::duration<double, std::milli>(pump.LongestGap()).count();
        }
        if (!done || !engine.error.empty()) {
            std::fprintf(stderr, "restore_bench: creation failed: %s\n", engine.error.c_str());
            return -1;
        }
        return took;
    }

    bool CopyEqualsImage() const {
        return testing_support::RunProgram({"cmp", "-s", image_, copy_}) == 0;
    }
    uint64_t bytes() const { return bytes_; }
    const std::string& image() const { return image_; }

  private:
    double Dd(std::vector<std::string> args) {
        args.insert(args.begin(), "dd");
        args.push_back("bs=4M");
        args.push_back("status=none");
        return bench::BestSeconds(1, [&] { return testing_support::RunProgram(args) == 0; });
    }

    const testing_support::LoopDevice& loop_;
    platform::storage::LinuxStorage& storage_;
    std::string device_;
    std::string image_;
    std::string copy_;
    uint64_t bytes_ = 0;
};

// Writes out what is dirty and empties the page cache, then reads the image once, so that every
// run starts alike: each tool reads the image from memory, and the device (its backing file read
// and written past the page cache) is as fast as the disk beneath.
void Settle(const std::string& image) {
    ::sync();
    std::FILE* drop = std::fopen("/proc/sys/vm/drop_caches", "w");
    if (drop != nullptr) {
        std::fputs("3\n", drop);
        std::fclose(drop);
    }
    testing_support::RunProgram({"dd", "if=" + image, "of=/dev/null", "bs=4M", "status=none"});
}

// Each round's figures, and of a figure over the rounds its median and spread.
struct Figures {
    std::vector<double> values;
    void Add(double value) { values.push_back(value); }
    double Median() const {
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        const size_t n = sorted.size();
        return n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    }
    double Min() const { return *std::min_element(values.begin(), values.end()); }
    double Max() const { return *std::max_element(values.begin(), values.end()); }
};

void PrintRatio(const char* what, const Figures& figures) {
    std::printf("  %-42s %6.3f  (%.3f to %.3f)\n", what, figures.Median(), figures.Min(),
                figures.Max());
}

bool Unthrottled(Bench& bench) {
    if (!bench.MakeImage(kFastBytes)) {
        return false;
    }
    // The rounds interleave the tools, so that a slower stretch of the machine hits all alike;
    // each round's ratio compares the tools of that round.
    Figures ddWrite, ddRead, restore, restoreRatio, writeRatio, waits, createRatio;
    for (int round = 0; round < kRounds; ++round) {
        Settle(bench.image());
        const double write = bench.DdWrite();
        Settle(bench.image());
        const double read = bench.DdRead();
        Settle(bench.image());
        const Restore once = bench.RestoreOnce();
        Settle(bench.image());
        const double toFile = bench.DdReadToFile();
        Settle(bench.image());
        const double create = bench.Create();
        if (write <= 0 || read <= 0 || once.seconds <= 0 || toFile <= 0 || create <= 0) {
            return false;
        }
        ddWrite.Add(MBps(bench.bytes(), write));
        ddRead.Add(MBps(bench.bytes(), read));
        restore.Add(once.seconds);
        restoreRatio.Add((write + read) / once.seconds);
        writeRatio.Add(write / once.writeSeconds);
        waits.Add(once.longestWaitMs);
        createRatio.Add(toFile / create);
    }
    std::printf(
        "Unthrottled, 1 GiB, page cache emptied before each run, %d rounds: median "
        "(spread)\n",
        kRounds);
    std::printf("  dd write bs=4M oflag=direct conv=fsync     %6.1f MB/s (%.1f to %.1f)\n",
                ddWrite.Median(), ddWrite.Min(), ddWrite.Max());
    std::printf("  dd read bs=4M iflag=direct                 %6.1f MB/s (%.1f to %.1f)\n",
                ddRead.Median(), ddRead.Min(), ddRead.Max());
    std::printf("  RestoreImage, write and read-back          %6.2f s (%.2f to %.2f)\n",
                restore.Median(), restore.Min(), restore.Max());
    PrintRatio("RestoreImage / (dd write + dd read)", restoreRatio);
    PrintRatio("RestoreImage write phase / dd write", writeRatio);
    std::printf("  longest wait without dispatching           %6.1f ms (%.1f to %.1f)\n",
                waits.Median(), waits.Min(), waits.Max());
    PrintRatio("CreateImage / dd read into a file", createRatio);
    std::printf("  image created back %s the restored one\n",
                bench.CopyEqualsImage() ? "equals" : "DIFFERS FROM");
    return true;
}

bool Throttled(Bench& bench, const std::string& node, uint64_t bytesPerSecond, uint64_t bytes) {
    testing_support::BlkioThrottle throttle(node, bytesPerSecond, bytesPerSecond);
    if (!throttle.ok()) {
        std::fprintf(stderr, "restore_bench: %s\n", throttle.failure().c_str());
        return false;
    }
    if (!bench.MakeImage(bytes)) {
        return false;
    }
    const double ddWrite = bench.DdWrite();
    const Restore restore = bench.RestoreOnce();
    const double ddRead = bench.DdReadToFile();
    double createWait = -1;
    const double create = bench.Create(&createWait);
    if (ddWrite <= 0 || restore.seconds <= 0 || ddRead <= 0 || create <= 0) {
        return false;
    }
    std::printf("Throttled to %.0f MB/s (reads too), %llu MiB, one run each\n",
                static_cast<double>(bytesPerSecond) / 1e6,
                static_cast<unsigned long long>(bytes / kMiB));
    std::printf("  dd write                                 %8.2f MB/s\n", MBps(bytes, ddWrite));
    std::printf("  RestoreImage write phase                 %8.2f MB/s\n",
                MBps(bytes, restore.writeSeconds));
    std::printf("  RestoreImage write phase / dd write      %8.2f\n",
                ddWrite / restore.writeSeconds);
    std::printf("  RestoreImage read-back                   %8.2f MB/s\n",
                MBps(bytes, restore.seconds - restore.writeSeconds));
    std::printf("  longest wait without dispatching         %8.1f ms (restore)\n",
                restore.longestWaitMs);
    std::printf("  CreateImage / dd read into a file        %8.2f\n", ddRead / create);
    std::printf("  longest wait without dispatching         %8.1f ms (creation)\n", createWait);
    return true;
}

}  // namespace

int main() {
    testing_support::LoopDevice::Options options;
    options.sizeBytes = kFastBytes;
    options.withFileSystem = false;
    // A real drive keeps no copy in memory of what it was written: neither does this one.
    options.directIo = true;
    testing_support::LoopDevice loop(options);
    if (!loop.ok()) {
        std::fprintf(stderr, "restore_bench: %s\n", loop.failure().c_str());
        return 1;
    }
    platform::storage::LinuxStorage storage;
    const std::string drive = storage.PhysicalDriveNameOf(loop.device());
    if (drive.empty()) {
        std::fprintf(stderr, "restore_bench: %s is not numbered\n", loop.device().c_str());
        return 1;
    }
    Bench bench(loop, storage, drive);
    std::printf("On %s\n", loop.device().c_str());
    const bool ok = Unthrottled(bench) && Throttled(bench, loop.device(), 8'000'000, 32 * kMiB) &&
                    Throttled(bench, loop.device(), 2'000'000, 8 * kMiB);
    return ok ? 0 : 1;
}
