// How long the engine may wait for one image block: the longest single Read(..., 1, 2048) through
// OpenImageStream over a 256 MiB image, plain and compressed with xz, zstd, gzip and bzip2, all in
// the same run; for bzip2 also libarchive's own bzip2 filter, whose calls each decode a whole
// block. Prints the longest and mean Read, the Reads over 20 ms and the throughput. Any user.
#include <archive.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/storage/compressed/image_stream.h"
#include "tests/helpers/compressed_images.h"
#include "tests/helpers/temp_folder.h"

namespace {

using Clock = std::chrono::steady_clock;
using testing_support::Compressor;

constexpr size_t kImageBytes = 256u << 20;
constexpr double kBoundMs = 20;

struct ReadTimes {
    bool ok = false;
    double longestMs = 0;
    double meanUs = 0;
    int overBound = 0;
    double mibPerSecond = 0;
};

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

ReadTimes TimeReads(const std::string& path) {
    ReadTimes times;
    const auto opened = Clock::now();
    platform::storage::FileHandle stream = platform::storage::OpenImageStream(path);
    if (!stream) {
        return times;
    }
    unsigned char block[2048];
    size_t total = 0;
    size_t reads = 0;
    for (;;) {
        const auto start = Clock::now();
        const size_t n = stream->Read(block, 1, sizeof block);
        const double ms = MsSince(start);
        times.longestMs = std::max(times.longestMs, ms);
        times.overBound += ms > kBoundMs ? 1 : 0;
        total += n;
        ++reads;
        if (n < sizeof block || stream->Error()) {
            break;
        }
    }
    const double seconds = MsSince(opened) / 1000;
    times.ok = total == kImageBytes && !stream->Error();
    times.meanUs = seconds * 1e6 / static_cast<double>(reads);
    times.mibPerSecond = static_cast<double>(total) / (1 << 20) / seconds;
    return times;
}

// The longest archive_read_data_block of libarchive's bzip2 filter over the same file.
double LibarchiveBzip2LongestMs(const std::string& path) {
    archive* reader = archive_read_new();
    archive_read_support_filter_bzip2(reader);
    archive_read_support_format_raw(reader);
    archive_entry* entry = nullptr;
    double longest = -1;
    if (archive_read_open_filename(reader, path.c_str(), 64u << 10) == ARCHIVE_OK &&
        archive_read_next_header(reader, &entry) == ARCHIVE_OK) {
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        for (int result = ARCHIVE_OK; result == ARCHIVE_OK;) {
            const auto start = Clock::now();
            result = archive_read_data_block(reader, &block, &size, &offset);
            longest = std::max(longest, MsSince(start));
        }
    }
    archive_read_free(reader);
    return longest;
}

void Print(const char* name, const ReadTimes& times, const ReadTimes& plain) {
    if (!times.ok) {
        std::printf("  %-6s  FAILED to read the image back\n", name);
        return;
    }
    std::printf("  %-6s  %8.2f ms  %8.2f us  %6d  %8.1f MiB/s  %8.1f\n", name, times.longestMs,
                times.meanUs, times.overBound, times.mibPerSecond,
                times.longestMs / plain.longestMs);
}

}  // namespace

int main() {
    std::string failure;
    const std::string folder = testing_support::MakeTempFolder("sectorsmith-read-bench-", &failure);
    if (folder.empty()) {
        std::fprintf(stderr, "image_read_bench: %s\n", failure.c_str());
        return 1;
    }
    const std::string image = folder + "/image.img";
    const std::vector<std::string> threads = {"-T2"};
    const struct {
        const char* name;
        Compressor compressor;
        std::vector<std::string> args;
    } formats[] = {{"xz", Compressor::kXz, threads},
                   {"zstd", Compressor::kZstd, threads},
                   {"gzip", Compressor::kGzip, {}},
                   {"bzip2", Compressor::kBzip2, {}}};
    bool ok = testing_support::WriteBytes(image, testing_support::MixedBytes(kImageBytes, 17));
    std::vector<std::string> packed;
    for (const auto& format : formats) {
        packed.push_back(
            ok ? testing_support::Compress(image, format.compressor, &failure, format.args) : "");
        ok = ok && !packed.back().empty();
    }
    if (!ok) {
        std::fprintf(stderr, "image_read_bench: cannot make the images: %s\n", failure.c_str());
        std::filesystem::remove_all(folder);
        return 1;
    }
    const ReadTimes plain = TimeReads(image);
    std::printf("256 MiB image (random, zero and text stretches), read in 2048-byte items\n");
    std::printf("  format  longest Read  mean Read  >20 ms  throughput      longest / plain\n");
    Print("plain", plain, plain);
    for (size_t i = 0; i < packed.size(); ++i) {
        Print(formats[i].name, TimeReads(packed[i]), plain);
    }
    std::printf("  libarchive's bzip2 filter, longest call: %.2f ms\n",
                LibarchiveBzip2LongestMs(packed.back()));
    std::filesystem::remove_all(folder);
    return 0;
}
