// The zip reader on zlib (ZipInflateDecoder) on archives the zip tool made (see make_samples.sh)
// and on copies of them with a field changed: the one file comes back byte for byte in bounded
// steps, an archive without exactly one readable file is refused at the open, and damage its
// directory cannot show (a wrong CRC or length, data cut short) ends in kDamaged, never in a
// clean end. Run on Linux and under Wine.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/storage/compressed/zip_inflate_decoder.h"
#include "platform/storage/linux/unique_fd.h"

using namespace platform::storage;

namespace {

using Bytes = std::vector<unsigned char>;
using Status = ImageDecoder::Status;

constexpr size_t kStepBytes = 64u << 10;

std::string SamplePath(const std::string& name) {
    return std::string(SAMPLE_DIR) + "/" + name;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

Bytes Image() {
    return ReadFile(SamplePath("image.bin"));
}

uint32_t Get16(const Bytes& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8;
}

uint32_t Get32(const Bytes& bytes, size_t at) {
    return Get16(bytes, at) | Get16(bytes, at + 2) << 16;
}

void Put(Bytes& bytes, size_t at, uint64_t value, int width) {
    for (int i = 0; i < width; ++i) {
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

// Field offsets in the end record, the Zip64 locator and end record, the local header and the
// central record.
constexpr size_t kEndBytes = 22;
constexpr size_t kEndDisk = 4;
constexpr size_t kEndEntriesHere = 8;
constexpr size_t kEndEntries = 10;
constexpr size_t kEndDirectoryBytes = 12;
constexpr size_t kEndDirectoryOffset = 16;
constexpr size_t kZip64LocatorBytes = 20;
constexpr size_t kZip64LocatorRecord = 8;
constexpr size_t kZip64EndDirectoryOffset = 48;
constexpr size_t kLocalFlags = 6;
constexpr size_t kLocalMethod = 8;
constexpr size_t kLocalName = 30;
constexpr size_t kCentralFlags = 8;
constexpr size_t kCentralMethod = 10;
constexpr size_t kCentralCrc = 16;
constexpr size_t kCentralCompressedSize = 20;
constexpr size_t kCentralSize = 24;
constexpr size_t kCentralNameBytes = 28;
constexpr size_t kCentralExtraBytes = 30;
constexpr size_t kCentralLocalOffset = 42;
constexpr size_t kCentralName = 46;

// Where the central record of the only entry starts, in an archive without a comment.
size_t CentralOffset(const Bytes& zip) {
    return Get32(zip, zip.size() - kEndBytes + kEndDirectoryOffset);
}

// Bytes in a file of the test's own, removed at its end.
class ScratchFile {
  public:
    explicit ScratchFile(const Bytes& bytes)
        : path_((std::filesystem::temp_directory_path() /
                 ("sectorsmith-zip-" + std::to_string(std::random_device{}()) + ".zip"))
                    .string()) {
        std::ofstream file(path_, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// The reader over the file at path, with the descriptor it reads through.
struct OpenedZip {
    UniqueFd fd;
    std::unique_ptr<ZipInflateDecoder> decoder;
};

OpenedZip OpenZip(const std::string& path) {
    OpenedZip opened{UniqueFd(::open(path.c_str(), O_RDONLY)), nullptr};
    EXPECT_TRUE(opened.fd.valid()) << path;
    opened.decoder = ZipInflateDecoder::Open(opened.fd.get());
    return opened;
}

// What the decoder gave until it stopped (or a million steps).
struct Drained {
    Bytes bytes;
    Status last = Status::kMore;
    size_t largestStep = 0;
};

void DrainInto(ImageDecoder& decoder, Drained* drained) {
    Bytes out(1u << 20);
    for (int steps = 0; drained->last == Status::kMore && steps < 1000000; ++steps) {
        size_t produced = 0;
        drained->last = decoder.Step(out.data(), out.size(), &produced);
        drained->bytes.insert(drained->bytes.end(), out.begin(), out.begin() + produced);
        drained->largestStep = std::max(drained->largestStep, produced);
    }
}

Drained Drain(ImageDecoder& decoder) {
    Drained drained;
    DrainInto(decoder, &drained);
    return drained;
}

TEST(ZipReader, GivesTheOneFileOfEachZipTheToolMakes) {
    const Bytes image = Image();
    for (const char* name :
         {"image.zip", "zip-stored.zip", "zip-folder.zip", "zip-stdin.zip", "zip-piped.zip"}) {
        SCOPED_TRACE(name);
        OpenedZip zip = OpenZip(SamplePath(name));
        ASSERT_NE(zip.decoder, nullptr);
        EXPECT_EQ(zip.decoder->Length(), image.size());
        const Drained drained = Drain(*zip.decoder);
        EXPECT_EQ(drained.last, Status::kEnd);
        EXPECT_TRUE(drained.bytes == image) << "got " << drained.bytes.size() << " bytes";
        EXPECT_LE(drained.largestStep, kStepBytes);
        EXPECT_EQ(zip.decoder->FileBytesConsumed(), ReadFile(SamplePath(name)).size());
        EXPECT_FALSE(zip.decoder->DecodedWithoutChecksum());
    }
}

// A sample with one thing changed: central is the offset of its (first) central record, end that
// of its end record.
struct Changed {
    const char* what;
    const char* sample;
    void (*change)(Bytes& zip, size_t central, size_t end);
};

void ExpectRefused(const Changed& changed) {
    Bytes bytes = ReadFile(SamplePath(changed.sample));
    changed.change(bytes, CentralOffset(bytes), bytes.size() - kEndBytes);
    const ScratchFile file(bytes);
    EXPECT_EQ(OpenZip(file.path()).decoder, nullptr) << changed.sample << ": " << changed.what;
}

TEST(ZipReader, RefusesArchivesWithoutExactlyOneReadableFile) {
    for (const char* name : {"zip-two.zip", "zip-locked.zip", "zip-link.zip", "zip-empty.zip",
                             "image.bin", "image.bin.gz"}) {
        EXPECT_EQ(OpenZip(SamplePath(name)).decoder, nullptr) << name;
    }
    const Changed changes[] = {
        {"deflate64", "zip-stored.zip",
         [](Bytes& zip, size_t central, size_t) {
             Put(zip, kLocalMethod, 9, 2);
             Put(zip, central + kCentralMethod, 9, 2);
         }},
        {"encrypted, as the directory says", "zip-stored.zip",
         [](Bytes& zip, size_t central, size_t) { Put(zip, central + kCentralFlags, 1, 2); }},
        {"encrypted, as the local header says", "zip-stored.zip",
         [](Bytes& zip, size_t, size_t) { Put(zip, kLocalFlags, 1, 2); }},
        {"the second file left out of the count", "zip-two.zip",
         [](Bytes& zip, size_t, size_t end) {
             Put(zip, end + kEndEntriesHere, 1, 2);
             Put(zip, end + kEndEntries, 1, 2);
         }},
    };
    for (const Changed& changed : changes) {
        ExpectRefused(changed);
    }
}

TEST(ZipReader, RefusesADirectoryThatDisagreesWithItselfOrTheFile) {
    const Changed changes[] = {
        {"cut short", "zip-stored.zip",
         [](Bytes& zip, size_t, size_t) { zip.resize(zip.size() * 3 / 4); }},
        {"a byte after the end record", "zip-stored.zip",
         [](Bytes& zip, size_t, size_t) { zip.push_back(0); }},
        {"a byte between the directory and the end record", "zip-stored.zip",
         [](Bytes& zip, size_t, size_t end) {
             zip.insert(zip.begin() + static_cast<long>(end), 0);
         }},
        {"a directory one byte longer", "zip-stored.zip",
         [](Bytes& zip, size_t, size_t end) {
             Put(zip, end + kEndDirectoryBytes, Get32(zip, end + kEndDirectoryBytes) + 1, 4);
         }},
        {"two entries counted", "zip-stored.zip",
         [](Bytes& zip, size_t, size_t end) {
             Put(zip, end + kEndEntriesHere, 2, 2);
             Put(zip, end + kEndEntries, 2, 2);
         }},
        {"a second disk", "zip-stored.zip",
         [](Bytes& zip, size_t, size_t end) { Put(zip, end + kEndDisk, 1, 2); }},
        {"a Zip64 end record without its signature", "zip-stdin.zip",
         [](Bytes& zip, size_t, size_t end) {
             Put(zip, Get32(zip, end - kZip64LocatorBytes + kZip64LocatorRecord), 0, 4);
         }},
        {"a Zip64 end record pointing past the directory", "zip-stdin.zip",
         [](Bytes& zip, size_t, size_t end) {
             const size_t record = Get32(zip, end - kZip64LocatorBytes + kZip64LocatorRecord);
             Put(zip, record + kZip64EndDirectoryOffset,
                 Get32(zip, record + kZip64EndDirectoryOffset) + 1, 8);
         }},
        {"an extra field longer than the extra bytes", "zip-stored.zip",
         [](Bytes& zip, size_t central, size_t) {
             const size_t extra = central + kCentralName + Get16(zip, central + kCentralNameBytes);
             Put(zip, extra + 2, Get16(zip, central + kCentralExtraBytes), 2);
         }},
        {"its size left to a Zip64 field it lacks", "image.zip",
         [](Bytes& zip, size_t central, size_t) {
             Put(zip, central + kCentralSize, 0xFFFFFFFF, 4);
         }},
        {"stored, but shorter than its content", "zip-stored.zip",
         [](Bytes& zip, size_t central, size_t) {
             Put(zip, central + kCentralCompressedSize, Get32(zip, central + kCentralSize) - 1, 4);
         }},
        {"a local header without its signature", "zip-stored.zip",
         [](Bytes& zip, size_t, size_t) { Put(zip, 0, 0, 4); }},
        {"the local header elsewhere", "zip-stored.zip",
         [](Bytes& zip, size_t central, size_t) { Put(zip, central + kCentralLocalOffset, 1, 4); }},
        {"another name in the local header", "zip-stored.zip",
         [](Bytes& zip, size_t, size_t) { zip[kLocalName] ^= 0x20; }},
        {"deflated in the local header only", "zip-stored.zip",
         [](Bytes& zip, size_t, size_t) { Put(zip, kLocalMethod, 8, 2); }},
        {"data running into the directory", "zip-stored.zip",
         [](Bytes& zip, size_t central, size_t) {
             Put(zip, central + kCentralSize, central, 4);
             Put(zip, central + kCentralCompressedSize, central, 4);
         }},
    };
    for (const Changed& changed : changes) {
        ExpectRefused(changed);
    }
}

// The stored sample with its central record's sizes and local header offset moved into a Zip64
// extra field, as a writer does for entries past 4 GiB.
TEST(ZipReader, TakesSizesAndOffsetFromTheZip64ExtraField) {
    const Bytes stored = ReadFile(SamplePath("zip-stored.zip"));
    const size_t central = CentralOffset(stored);
    const size_t extraEnd = central + kCentralName + Get16(stored, central + kCentralNameBytes) +
                            Get16(stored, central + kCentralExtraBytes);
    Bytes field(4 + 24);
    Put(field, 0, 1, 2);  // the Zip64 field's id
    Put(field, 2, 24, 2);
    Put(field, 4, Get32(stored, central + kCentralSize), 8);
    Put(field, 12, Get32(stored, central + kCentralCompressedSize), 8);
    Put(field, 20, Get32(stored, central + kCentralLocalOffset), 8);
    Bytes zip64 = stored;
    zip64.insert(zip64.begin() + static_cast<long>(extraEnd), field.begin(), field.end());
    Put(zip64, central + kCentralExtraBytes,
        Get16(stored, central + kCentralExtraBytes) + field.size(), 2);
    for (size_t at : {kCentralSize, kCentralCompressedSize, kCentralLocalOffset}) {
        Put(zip64, central + at, 0xFFFFFFFF, 4);
    }
    const size_t end = zip64.size() - kEndBytes;
    Put(zip64, end + kEndDirectoryBytes, Get32(zip64, end + kEndDirectoryBytes) + field.size(), 4);

    const ScratchFile file(zip64);
    OpenedZip zip = OpenZip(file.path());
    ASSERT_NE(zip.decoder, nullptr);
    const Drained drained = Drain(*zip.decoder);
    EXPECT_EQ(drained.last, Status::kEnd);
    EXPECT_TRUE(drained.bytes == Image());

    // A Zip64 field too short for the values it should hold.
    Bytes truncated = zip64;
    Put(truncated, extraEnd + 2, 16, 2);
    const ScratchFile shortField(truncated);
    EXPECT_EQ(OpenZip(shortField.path()).decoder, nullptr);
}

// Reads the changed sample through: the decoder must end in kDamaged, never giving more than the
// length it told.
void ExpectDamaged(const Changed& changed) {
    SCOPED_TRACE(std::string(changed.sample) + ": " + changed.what);
    Bytes bytes = ReadFile(SamplePath(changed.sample));
    changed.change(bytes, CentralOffset(bytes), bytes.size() - kEndBytes);
    const ScratchFile file(bytes);
    OpenedZip zip = OpenZip(file.path());
    ASSERT_NE(zip.decoder, nullptr);
    const Drained drained = Drain(*zip.decoder);
    EXPECT_EQ(drained.last, Status::kDamaged);
    EXPECT_LE(drained.bytes.size(), *zip.decoder->Length());
}

void Add(Bytes& zip, size_t at, int64_t by) {
    Put(zip, at, Get32(zip, at) + by, 4);
}

TEST(ZipReader, DamageTheDirectoryCannotShowEndsInDamaged) {
    const Changed changes[] = {
        {"a wrong CRC", "zip-stored.zip",
         [](Bytes& zip, size_t central, size_t) { Add(zip, central + kCentralCrc, 1); }},
        {"a wrong CRC", "image.zip",
         [](Bytes& zip, size_t central, size_t) { Add(zip, central + kCentralCrc, 1); }},
        {"a data byte flipped", "zip-stored.zip",
         [](Bytes& zip, size_t, size_t) { zip[zip.size() / 2] ^= 0xFF; }},
        {"recorded longer than it decodes", "image.zip",
         [](Bytes& zip, size_t central, size_t) { Add(zip, central + kCentralSize, 1); }},
        // Only the length shows it: the CRC recorded is that of the bytes before the last.
        {"recorded, with its CRC, one byte shorter than it decodes", "image.zip",
         [](Bytes& zip, size_t central, size_t) {
             const Bytes image = Image();
             const auto shorter = static_cast<uInt>(image.size() - 1);
             Put(zip, central + kCentralSize, shorter, 4);
             Put(zip, central + kCentralCrc, crc32(0, image.data(), shorter), 4);
         }},
        {"compressed data cut short", "image.zip",
         [](Bytes& zip, size_t central, size_t) {
             Add(zip, central + kCentralCompressedSize, -1);
         }},
        // The data descriptor after the data leaves room for a longer compressed size.
        {"compressed bytes left after the stream", "zip-piped.zip",
         [](Bytes& zip, size_t central, size_t) { Add(zip, central + kCentralCompressedSize, 1); }},
    };
    for (const Changed& changed : changes) {
        ExpectDamaged(changed);
    }
}

// The directory read at the open promised data that is no longer there.
TEST(ZipReader, AFileCutShortWhileReadIsDamaged) {
    for (const char* name : {"image.zip", "zip-stored.zip"}) {
        SCOPED_TRACE(name);
        const Bytes bytes = ReadFile(SamplePath(name));
        const ScratchFile file(bytes);
        OpenedZip zip = OpenZip(file.path());
        ASSERT_NE(zip.decoder, nullptr);
        unsigned char out[4096];
        size_t produced = 0;
        ASSERT_EQ(zip.decoder->Step(out, sizeof out, &produced), Status::kMore);
        std::filesystem::resize_file(file.path(), bytes.size() / 2);
        Drained drained;
        DrainInto(*zip.decoder, &drained);
        EXPECT_EQ(drained.last, Status::kDamaged);
    }
}

}  // namespace
