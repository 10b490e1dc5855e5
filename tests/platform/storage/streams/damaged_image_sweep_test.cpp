// Damaged copies of compressed images, read as the engine reads them (2048-byte items until the
// end or an error): none crashes or hangs the reader, no Open or Read takes more than 50 ms of the
// thread's processor time, and every copy of a format with checksums is refused at open, fails
// during the read, or gives exactly the original bytes (damage in padding or after the end). A
// format without checksums may give wrong bytes, but then the stream says it was unchecked.
//
// Processor time rather than wall-clock time: the decoding work is what the reader bounds, and a
// busy machine (two test programs at once, the sanitizer build) stretches wall-clock time without
// any fault of the reader. The files are in the page cache, so no read waits for a disk; the
// longest wall-clock time is printed beside it, and a copy that takes 20 s ends the test program
// with its seed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <thread>

#include "platform/storage/compressed/compressed_file_stream.h"
#include "platform/storage/compressed/image_stream.h"
#include "platform/storage/compressed/zip_inflate_decoder.h"
#include "tests/helpers/machine_stalls.h"
#include "tests/platform/storage/streams/damaged_copy.h"
#include "tests/platform/storage/streams/stream_test_support.h"

using namespace platform::storage;
using namespace testing_support;

namespace {

// Several bzip2 blocks (of 100 kB with -1), xz blocks and zstd blocks, from stretches of random
// bytes, zeros and words.
constexpr size_t kImageBytes = 384u << 10;
#if defined(__SANITIZE_ADDRESS__)
constexpr unsigned kCopies = 200;  // the same damage, at a third of the count
#else
constexpr unsigned kCopies = 600;
#endif
constexpr double kLongestStepMs = 50;
// Damaged deflate data may decode to many times the image (zeros read as long copies) before the
// checksum at its end tells; far more than that is taken for a reader that never ends.
constexpr size_t kRunsOnBytes = 64u << 20;
constexpr auto kHangLimit = std::chrono::seconds(20);

// The zip reader on zlib that the Windows program uses, behind the same stream.
FileHandle OpenWithZipReader(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    std::unique_ptr<ImageDecoder> decoder = ZipInflateDecoder::Open(fd.get());
    return decoder ? CompressedFileStream::Open(std::move(fd), std::move(decoder)) : nullptr;
}

struct SweepFormat {
    const char* name;
    Compressor compressor;
    std::vector<std::string> args;
    bool checked;  // its data carries checksums the reader verifies
    FileHandle (*open)(const std::string& path) = OpenImageStream;
};

const SweepFormat kSweepFormats[] = {
    {"xz", Compressor::kXz, {"--block-size=128KiB"}, true},
    {"xzWithoutCheck", Compressor::kXz, {"--check=none"}, false},
    {"gzip", Compressor::kGzip, {}, true},
    {"bzip2", Compressor::kBzip2, {"-1"}, true},
    {"zstd", Compressor::kZstd, {}, true},
    {"zstdWithoutChecksum", Compressor::kZstd, {"--no-check"}, false},
    {"zip", Compressor::kZip, {}, true},
    {"zipStored", Compressor::kZip, {"-0"}, true},
    {"zipReader", Compressor::kZip, {}, true, OpenWithZipReader},
    {"zipReaderStored", Compressor::kZip, {"-0"}, true, OpenWithZipReader},
};

void PrintTo(const SweepFormat& format, std::ostream* out) {
    *out << format.name;
}

double ThreadCpuMs() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The processor and wall-clock time of the longest call so far. A virtual machine's thread is
// charged processor time while the host withholds the machine (its slice used up), so a call
// that seems over the limit counts only what the machine did not withhold during it.
struct Longest {
    explicit Longest(const testing_support::MachineStalls& machine) : machine(machine) {}

    const testing_support::MachineStalls& machine;
    double cpuMs = 0;
    double wallMs = 0;
    std::string what;

    template <typename Call>
    auto Time(const std::string& what, Call call) {
        const double cpuStart = ThreadCpuMs();
        const auto wallStart = std::chrono::steady_clock::now();
        auto result = call();
        const auto wallEnd = std::chrono::steady_clock::now();
        const double wall = testing_support::Milliseconds(wallEnd - wallStart);
        // One thread cannot use more processor time than passed; the clock of a virtual
        // machine's threads sometimes jumps as if it had.
        double cpu = std::min(ThreadCpuMs() - cpuStart, wall);
        wallMs = std::max(wallMs, wall);
        if (cpu > kLongestStepMs) {
            cpu -= testing_support::Milliseconds(machine.WithheldDuring({wallStart, wallEnd}));
        }
        if (cpu > cpuMs) {
            cpuMs = cpu;
            this->what = what;
        }
        return result;
    }

    // Keeps the longer of the two longest calls.
    void Merge(const Longest& other) {
        wallMs = std::max(wallMs, other.wallMs);
        if (other.cpuMs > cpuMs) {
            cpuMs = other.cpuMs;
            what = other.what;
        }
    }
    // Keeps the shorter of two timings of the same calls.
    void KeepShorter(const Longest& other) {
        wallMs = std::min(wallMs, other.wallMs);
        cpuMs = std::min(cpuMs, other.cpuMs);
    }
};

enum class Outcome { kRefused, kFailed, kIntact, kWrong, kRunsOn, kPastItsLength };

struct Reading {
    Outcome outcome = Outcome::kRefused;
    bool unchecked = false;
};

// Reads the copy at path through, as the engine does.
Reading ReadCopy(const SweepFormat& format, const std::string& path, const Bytes& image,
                 const std::string& what, Longest* opens, Longest* reads) {
    Reading reading;
    FileHandle stream = opens->Time(what, [&] { return format.open(path); });
    if (!stream) {
        return reading;
    }
    Bytes bytes;
    unsigned char block[2048];
    for (;;) {
        const size_t n = reads->Time(what, [&] { return stream->Read(block, 1, sizeof block); });
        bytes.insert(bytes.end(), block, block + n);
        // The engine writes no more than a known length; what follows it must not pass as good.
        if (stream->Length() && bytes.size() > *stream->Length()) {
            reading.outcome = Outcome::kPastItsLength;
            return reading;
        }
        if (stream->Error()) {
            reading.outcome = Outcome::kFailed;
            return reading;
        }
        if (n < sizeof block) {
            break;
        }
        if (bytes.size() > kRunsOnBytes) {
            reading.outcome = Outcome::kRunsOn;
            return reading;
        }
    }
    reading.unchecked = stream->DecodedWithoutChecksum();
    reading.outcome = bytes == image ? Outcome::kIntact : Outcome::kWrong;
    return reading;
}

// Ends the test program when one copy's reading takes kHangLimit, naming the copy.
class HangWatch {
  public:
    HangWatch() : thread_([this] { Watch(); }) {}
    ~HangWatch() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    void Start(const std::string& what) {
        std::lock_guard lock(mutex_);
        what_ = what;
        since_ = std::chrono::steady_clock::now();
    }

  private:
    void Watch() {
        std::unique_lock lock(mutex_);
        while (!stop_) {
            wake_.wait_for(lock, std::chrono::milliseconds(100));
            if (!what_.empty() && std::chrono::steady_clock::now() - since_ > kHangLimit) {
                std::fprintf(stderr, "Reading the damaged copy hangs: %s\n", what_.c_str());
                std::abort();
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::string what_;
    std::chrono::steady_clock::time_point since_;
    bool stop_ = false;
    std::thread thread_;
};

class DamagedImageSweep : public StreamFolderTest,
                          public testing::WithParamInterface<SweepFormat> {};

TEST_P(DamagedImageSweep, EveryCopyIsRefusedFailsOrGivesTheImage) {
    const SweepFormat& format = GetParam();
    const Bytes image = MixedBytes(kImageBytes, 1);
    const Bytes file = ReadBytes(Packed("disk.img", image, format.compressor, format.args));
    ASSERT_FALSE(file.empty());
    const std::string path = PathOf("copy.img" + SuffixOf(format.compressor));

    int counts[6] = {};
    std::vector<std::string> faults;
    const testing_support::MachineStalls machine;
    Longest opens(machine);
    Longest reads(machine);
    HangWatch watch;
    for (unsigned seed = 0; seed < kCopies; ++seed) {
        const DamagedCopy copy = DamageCopy(file, seed);
        ASSERT_TRUE(WriteBytes(path, copy.bytes));
        watch.Start(copy.what);
        Longest copyOpens(machine);
        Longest copyReads(machine);
        const Reading reading = ReadCopy(format, path, image, copy.what, &copyOpens, &copyReads);
        // A copy with a step over the limit is timed once more: a virtual processor that the
        // host took away for a while is charged to the thread as work, which a second reading
        // does not repeat, while a decoder that is slow on the copy is slow again.
        if (copyOpens.cpuMs > kLongestStepMs || copyReads.cpuMs > kLongestStepMs) {
            Longest againOpens(machine);
            Longest againReads(machine);
            ReadCopy(format, path, image, copy.what, &againOpens, &againReads);
            copyOpens.KeepShorter(againOpens);
            copyReads.KeepShorter(againReads);
        }
        opens.Merge(copyOpens);
        reads.Merge(copyReads);
        ++counts[static_cast<int>(reading.outcome)];
        const bool wrongButTold = !format.checked && reading.unchecked;
        if (reading.outcome == Outcome::kWrong && !wrongButTold) {
            faults.push_back(copy.what + ": wrong bytes without an error");
        } else if (reading.outcome == Outcome::kRunsOn) {
            faults.push_back(copy.what + ": runs on past 64 MiB");
        } else if (reading.outcome == Outcome::kPastItsLength) {
            faults.push_back(copy.what + ": gives more than the length it told");
        }
    }
    std::cout << format.name << ": " << kCopies << " damaged copies of a " << file.size()
              << "-byte file: " << counts[0] << " refused at open, " << counts[1]
              << " failed while read, " << counts[2] << " gave the image, " << counts[3]
              << " gave wrong bytes, " << counts[4] << " ran on, " << counts[5]
              << " went past their length; longest open " << opens.cpuMs << " ms processor time ("
              << opens.wallMs << " ms wall-clock), longest read " << reads.cpuMs << " ms ("
              << reads.wallMs << " ms)\n";

    std::string listed;
    for (size_t i = 0; i < faults.size() && i < 20; ++i) {
        listed += "\n  " + faults[i];
    }
    EXPECT_TRUE(faults.empty()) << faults.size() << " copies not caught:" << listed;
    EXPECT_LE(opens.cpuMs, kLongestStepMs) << opens.what;
    EXPECT_LE(reads.cpuMs, kLongestStepMs) << reads.what;
}

INSTANTIATE_TEST_SUITE_P(Formats, DamagedImageSweep, testing::ValuesIn(kSweepFormats),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
