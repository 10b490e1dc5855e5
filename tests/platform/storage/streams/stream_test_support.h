#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/storage/file_stream.h"
#include "tests/helpers/compressed_images.h"
#include "tests/helpers/temp_folder.h"

namespace testing_support {

using Bytes = std::vector<unsigned char>;

// Names the compressor in the messages of parameterised tests.
inline void PrintTo(Compressor compressor, std::ostream* out) {
    *out << NameOf(compressor);
}

// What reading a stream through in 2048-byte items, as the engine does, gave.
struct ReadThrough {
    Bytes bytes;
    bool error = false;
    bool consumedNeverFell = true;
    uint64_t consumedAtEnd = 0;
};

inline ReadThrough ReadAllOf(platform::storage::FileStream& stream) {
    ReadThrough result;
    unsigned char block[2048];
    uint64_t consumed = stream.FileBytesConsumed();
    for (;;) {
        const size_t n = stream.Read(block, 1, sizeof block);
        result.bytes.insert(result.bytes.end(), block, block + n);
        result.consumedNeverFell =
            result.consumedNeverFell && stream.FileBytesConsumed() >= consumed;
        consumed = stream.FileBytesConsumed();
        if (stream.Error()) {
            result.error = true;
            break;
        }
        if (n < sizeof block) {
            break;
        }
    }
    result.consumedAtEnd = stream.FileBytesConsumed();
    return result;
}

// A fresh temporary folder per test, with helpers to make images in it.
class StreamFolderTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string failure;
        folder_ = MakeTempFolder("sectorsmith-streams-", &failure);
        ASSERT_FALSE(folder_.empty()) << failure;
    }
    void TearDown() override {
        if (!folder_.empty()) {
            std::filesystem::remove_all(folder_);
        }
    }

    std::string PathOf(const std::string& name) const { return folder_ + "/" + name; }

    // Writes bytes to name and compresses them; skips the test when the tool is missing.
    std::string Packed(const std::string& name, const Bytes& bytes, Compressor compressor,
                       const std::vector<std::string>& extraArgs = {}) {
        const std::string plain = PathOf(name);
        EXPECT_TRUE(WriteBytes(plain, bytes));
        std::string failure;
        const std::string packed = Compress(plain, compressor, &failure, extraArgs);
        if (packed.empty()) {
            ADD_FAILURE() << failure;
        }
        return packed;
    }

    std::string folder_;
};

}  // namespace testing_support
