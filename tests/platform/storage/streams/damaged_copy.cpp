#include "tests/platform/storage/streams/damaged_copy.h"

#include <algorithm>
#include <random>

namespace testing_support {

namespace {

using Bytes = std::vector<unsigned char>;

// A place in [0, size), nearer one end for half of the seeds.
size_t PickOffset(std::mt19937& random, size_t size) {
    const size_t headBytes = std::min<size_t>(32, size);
    const size_t tailBytes = std::min<size_t>(64, size);
    switch (random() % 4) {
        case 0:
            return random() % headBytes;
        case 1:
            return size - tailBytes + random() % tailBytes;
        default:
            return random() % size;
    }
}

std::string Flip(Bytes& bytes, std::mt19937& random) {
    const size_t count = 1 + random() % 8;
    const size_t at = PickOffset(random, bytes.size());
    for (size_t i = 0; i < count; ++i) {
        // Near one another, as a bad sector or a bit error in transfer would be.
        bytes[std::min(bytes.size() - 1, at + random() % 64)] ^= 1 + random() % 255;
    }
    return std::to_string(count) + " bytes flipped from " + std::to_string(at);
}

std::string Cut(Bytes& bytes, std::mt19937& random) {
    const size_t at = PickOffset(random, bytes.size());
    bytes.resize(at);
    return "cut at " + std::to_string(at);
}

std::string Insert(Bytes& bytes, std::mt19937& random) {
    const size_t count = 1 + random() % 64;
    const size_t at = PickOffset(random, bytes.size() + 1);
    Bytes inserted(count);
    for (unsigned char& b : inserted) {
        b = static_cast<unsigned char>(random());
    }
    bytes.insert(bytes.begin() + static_cast<long>(at), inserted.begin(), inserted.end());
    return std::to_string(count) + " bytes inserted at " + std::to_string(at);
}

std::string Delete(Bytes& bytes, std::mt19937& random) {
    const size_t at = PickOffset(random, bytes.size());
    const size_t count = std::min<size_t>(1 + random() % 64, bytes.size() - at);
    bytes.erase(bytes.begin() + static_cast<long>(at),
                bytes.begin() + static_cast<long>(at + count));
    return std::to_string(count) + " bytes deleted at " + std::to_string(at);
}

std::string Zero(Bytes& bytes, std::mt19937& random) {
    const size_t at = PickOffset(random, bytes.size());
    const size_t count = std::min<size_t>(1 + random() % 4096, bytes.size() - at);
    std::fill_n(bytes.begin() + static_cast<long>(at), count, 0);
    return std::to_string(count) + " bytes zeroed at " + std::to_string(at);
}

}  // namespace

DamagedCopy DamageCopy(const Bytes& file, unsigned seed) {
    std::mt19937 random(seed);
    DamagedCopy copy{file, ""};
    std::string (*const damages[])(Bytes&, std::mt19937&) = {Flip, Cut, Insert, Delete, Zero};
    // Flips that cancel out and zeros over zeros change nothing: damage again until they do.
    while (copy.bytes == file) {
        if (!copy.what.empty()) {
            copy.what += ", ";
        }
        copy.what += damages[seed % 5](copy.bytes, random);
    }
    copy.what = "seed " + std::to_string(seed) + ": " + copy.what;
    return copy;
}

}  // namespace testing_support
