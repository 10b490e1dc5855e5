#pragma once

#include <cstddef>
#include <string>

namespace platform::storage {

// What an image file holds, told by its first bytes.
enum class ImageFormat { kPlain, kXz, kGzip, kBzip2, kZstd, kZip };

// How many first bytes of a file SniffImageFormat needs.
inline constexpr size_t kSniffBytes = 6;

// The format whose signature the file's first bytes carry; kPlain for any other start, also for
// a file shorter than the signature.
ImageFormat SniffImageFormat(const unsigned char* head, size_t size);

// Whether the file name ends as a compressed image's does (".xz", ".gz", ".bz2", ".zst", ".zip",
// in any case).
bool NamesCompressedFile(const std::string& path);

}  // namespace platform::storage
