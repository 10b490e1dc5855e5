#include "tests/helpers/compressed_images.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

#include "tests/helpers/run_program.h"

namespace testing_support {

std::string SuffixOf(Compressor compressor) {
    switch (compressor) {
        case Compressor::kXz:
            return ".xz";
        case Compressor::kGzip:
            return ".gz";
        case Compressor::kBzip2:
            return ".bz2";
        case Compressor::kZstd:
            return ".zst";
        case Compressor::kZip:
            return ".zip";
    }
    return "";
}

std::string NameOf(Compressor compressor) {
    const std::string names[] = {"xz", "gzip", "bzip2", "zstd", "zip"};
    return names[static_cast<int>(compressor)];
}

namespace {

std::vector<std::string> CommandFor(Compressor compressor, const std::string& plain,
                                    const std::string& packed,
                                    const std::vector<std::string>& extra) {
    std::vector<std::string> command;
    switch (compressor) {
        case Compressor::kXz:
            command = {"xz", "-k", "-f", "-T1"};
            break;
        case Compressor::kGzip:
            command = {"gzip", "-k", "-f"};
            break;
        case Compressor::kBzip2:
            command = {"bzip2", "-k", "-f"};
            break;
        case Compressor::kZstd:
            command = {"zstd", "-q", "-f", "-k", "-o", packed};
            break;
        case Compressor::kZip:
            command = {"zip", "-q", "-j", packed};
            break;
    }
    command.insert(command.end(), extra.begin(), extra.end());
    command.push_back(plain);
    return command;
}

}  // namespace

std::string Compress(const std::string& plainPath, Compressor compressor, std::string* failure,
                     const std::vector<std::string>& extraArgs) {
    const std::string packed = plainPath + SuffixOf(compressor);
    const std::vector<std::string> command = CommandFor(compressor, plainPath, packed, extraArgs);
    std::string output;
    const int status = RunProgram(command, &output);
    if (status != 0) {
        *failure =
            command.front() + (status < 0 ? " is not installed (scripts/setup.sh installs it)"
                                          : " failed: " + output);
        return "";
    }
    return packed;
}

std::vector<unsigned char> MixedBytes(size_t size, unsigned seed) {
    static const char* const kWords[] = {"sector ", "block ",  "image ",   "volume ",
                                         "stick ",  "drive\n", "restore ", "partition "};
    constexpr size_t kStretch = 64u << 10;
    std::mt19937 random(seed);
    std::vector<unsigned char> bytes;
    bytes.reserve(size);
    for (size_t stretch = 0; bytes.size() < size; ++stretch) {
        const size_t end = std::min(size, bytes.size() + kStretch);
        while (bytes.size() < end) {
            switch (stretch % 3) {
                case 0:
                    bytes.push_back(static_cast<unsigned char>(random()));
                    break;
                case 1:
                    bytes.push_back(0);
                    break;
                default:
                    for (const char* c = kWords[random() % 8]; *c && bytes.size() < end; ++c) {
                        bytes.push_back(static_cast<unsigned char>(*c));
                    }
            }
        }
    }
    return bytes;
}

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return static_cast<bool>(out.flush());
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace testing_support
