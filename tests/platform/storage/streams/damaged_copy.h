#pragma once

#include <string>
#include <vector>

namespace testing_support {

// One damaged copy of a file, made from a seed so that a failure can be made again.
struct DamagedCopy {
    std::vector<unsigned char> bytes;
    std::string what;  // "seed 17: 3 bytes flipped at 1234", ...
};

// The copy of file for seed: by seed % 5, bytes flipped, the file cut short, bytes inserted,
// bytes deleted, or a run of bytes zeroed. A quarter of the copies are damaged within the first
// 32 bytes (headers), a quarter within the last 64 (trailers, directories, padding), the rest
// anywhere. Each copy differs from file.
DamagedCopy DamageCopy(const std::vector<unsigned char>& file, unsigned seed);

}  // namespace testing_support
