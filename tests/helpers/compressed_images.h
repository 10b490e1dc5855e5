#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// The command-line tools that make the compressed images of the tests.
enum class Compressor { kXz, kGzip, kBzip2, kZstd, kZip };

inline constexpr Compressor kAllCompressors[] = {
    Compressor::kXz, Compressor::kGzip, Compressor::kBzip2, Compressor::kZstd, Compressor::kZip};

// ".xz", ".gz", ".bz2", ".zst", ".zip".
std::string SuffixOf(Compressor compressor);
// "xz", "gzip", ... (for test names).
std::string NameOf(Compressor compressor);

// Compresses the file at plainPath into plainPath + SuffixOf(compressor) (a zip holding that one
// file, without its folder) and returns that path; extraArgs go to the tool before the file
// ("-1", say). Empty on failure, with *failure worded as the reason to skip a test.
std::string Compress(const std::string& plainPath, Compressor compressor, std::string* failure,
                     const std::vector<std::string>& extraArgs = {});

// An image-like mix that compresses, in 64 KiB stretches of random bytes, zeros and words, so
// that the compressed offset of a byte is roughly proportional to its offset in the image.
std::vector<unsigned char> MixedBytes(size_t size, unsigned seed);

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> ReadBytes(const std::string& path);

}  // namespace testing_support
