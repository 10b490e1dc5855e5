#include "bench/bench_support.h"

#include <fstream>
#include <random>
#include <vector>

namespace bench {

bool WriteRandomImage(const std::string& path, uint64_t size, uint64_t seed) {
    std::ofstream out(path, std::ios::binary);
    std::mt19937_64 random(seed);
    std::vector<uint64_t> chunk(1 << 17);
    for (uint64_t written = 0; written < size; written += chunk.size() * 8) {
        for (uint64_t& word : chunk) {
            word = random();
        }
        out.write(reinterpret_cast<const char*>(chunk.data()),
                  static_cast<std::streamsize>(chunk.size() * 8));
    }
    return static_cast<bool>(out.flush());
}

}  // namespace bench
