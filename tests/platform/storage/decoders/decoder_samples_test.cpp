// Each decoder behind CompressedFileStream on files the system's own tools made (see
// make_samples.sh): the image comes back byte for byte, streams one after another are one image,
// damage and a cut end in a read error, never in a clean end, a file that is not of the format is
// refused at the open, and a file without a checksum says so.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/storage/compressed/bzip2_decoder.h"
#include "platform/storage/compressed/compressed_file_stream.h"
#include "platform/storage/compressed/gzip_decoder.h"
#include "platform/storage/compressed/image_stream.h"
#include "platform/storage/compressed/xz_decoder.h"
#include "platform/storage/compressed/zstd_decoder.h"
#include "platform/storage/failure_cause.h"

using namespace platform::storage;

namespace {

using Opener = std::function<std::unique_ptr<ImageDecoder>(int)>;

struct Format {
    std::string ext;
    Opener open;
};

void PrintTo(const Format& format, std::ostream* out) {
    *out << format.ext;
}

std::string SamplePath(const std::string& name) {
    return std::string(SAMPLE_DIR) + "/" + name;
}

std::vector<unsigned char> Image() {
    std::ifstream file(SamplePath("image.bin"), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

FileHandle OpenSample(const std::string& name, const Opener& open) {
    UniqueFd fd(::open(SamplePath(name).c_str(), O_RDONLY));
    if (!fd.valid()) {
        ADD_FAILURE() << "no sample " << name;
        return nullptr;
    }
    std::unique_ptr<ImageDecoder> decoder = open(fd.get());
    return CompressedFileStream::Open(std::move(fd), std::move(decoder));
}

// Everything the stream gives, read in the engine's 2 KB blocks.
std::vector<unsigned char> ReadAll(FileStream& stream) {
    std::vector<unsigned char> bytes;
    unsigned char block[2048];
    size_t n = 0;
    while ((n = stream.Read(block, 1, sizeof block)) > 0) {
        bytes.insert(bytes.end(), block, block + n);
    }
    return bytes;
}

class DecoderSamples : public testing::TestWithParam<Format> {
  protected:
    FileHandle Open(const std::string& name) { return OpenSample(name, GetParam().open); }
    std::string Ext() const { return GetParam().ext; }
};

TEST_P(DecoderSamples, TheImageComesBackWholeAndChecked) {
    const std::vector<unsigned char> image = Image();
    ASSERT_GT(image.size(), 2u << 20);
    for (const std::string& name : {"image.bin." + Ext(), "two." + Ext()}) {
        SCOPED_TRACE(name);
        FileHandle stream = Open(name);
        ASSERT_NE(stream, nullptr);
        EXPECT_TRUE(ReadAll(*stream) == image);
        EXPECT_FALSE(stream->Error());
        EXPECT_EQ(stream->FileBytesConsumed(), stream->FileSize());
        EXPECT_FALSE(stream->DecodedWithoutChecksum());
    }
}

TEST_P(DecoderSamples, DamageOrACutEndsInAReadError) {
    const std::vector<unsigned char> image = Image();
    for (const std::string& name : {"damaged." + Ext(), "cut." + Ext()}) {
        SCOPED_TRACE(name);
        FileHandle stream = Open(name);
        ASSERT_NE(stream, nullptr) << "the start is intact";
        const std::vector<unsigned char> bytes = ReadAll(*stream);
        // A damaged stretch may come out before its block's check fails, but the read fails.
        EXPECT_TRUE(stream->Error());
        // What came before the damaged stretch is the image's.
        const size_t head = std::min<size_t>(bytes.size(), 64u << 10);
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + head, image.begin()));
    }
}

TEST_P(DecoderSamples, AFileOfAnotherKindIsRefusedAtTheOpen) {
    EXPECT_EQ(Open("image.bin"), nullptr);
    for (const char* other : {"xz", "gz", "bz2", "zst"}) {
        if (other != Ext()) {
            EXPECT_EQ(Open(std::string("image.bin.") + other), nullptr) << other;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DecoderSamples,
    testing::Values(Format{"xz", [](int fd) { return XzDecoder::Open(fd); }},
                    Format{"gz", [](int fd) { return GzipDecoder::Open(fd); }},
                    Format{"bz2", [](int fd) { return Bzip2Decoder::Open(fd); }},
                    Format{"zst", [](int fd) { return ZstdDecoder::Open(fd); }}),
    [](const testing::TestParamInfo<Format>& info) { return info.param.ext; });

TEST(UncheckedSamples, AFileWithoutAChecksumDecodesAndSaysSo) {
    const std::vector<unsigned char> image = Image();
    const Format formats[] = {{"xz", [](int fd) { return XzDecoder::Open(fd); }},
                              {"zst", [](int fd) { return ZstdDecoder::Open(fd); }}};
    for (const Format& format : formats) {
        SCOPED_TRACE(format.ext);
        FileHandle stream = OpenSample("unchecked." + format.ext, format.open);
        ASSERT_NE(stream, nullptr);
        EXPECT_TRUE(ReadAll(*stream) == image);
        EXPECT_FALSE(stream->Error());
        EXPECT_TRUE(stream->DecodedWithoutChecksum());
    }
}

// The system's own opener of images, as the storage services use it: the content decides.
TEST(ImageOpener, DecodesByContentAndRefusesWhatItCannotWrite) {
    const std::vector<unsigned char> image = Image();
    for (const char* name :
         {"image.bin", "image.bin.xz", "image.bin.gz", "image.bin.bz2", "image.bin.zst"}) {
        SCOPED_TRACE(name);
        FileHandle stream = OpenImageStream(SamplePath(name));
        ASSERT_NE(stream, nullptr) << FailureCause();
        EXPECT_TRUE(ReadAll(*stream) == image);
        EXPECT_FALSE(stream->Error());
    }
    ClearFailureCause();
    EXPECT_EQ(OpenImageStream(SamplePath("plain.gz")), nullptr);
    EXPECT_NE(FailureCause().find("named like a compressed image"), std::string::npos);

    // Zip archives: through libarchive on Linux, through the zip reader on zlib on Windows.
    ClearFailureCause();
    FileHandle zip = OpenImageStream(SamplePath("image.zip"));
    ASSERT_NE(zip, nullptr) << FailureCause();
    EXPECT_TRUE(ReadAll(*zip) == image);
    EXPECT_FALSE(zip->Error());
    EXPECT_EQ(OpenImageStream(SamplePath("zip-two.zip")), nullptr);
    EXPECT_NE(FailureCause().find("does not hold exactly one image file"), std::string::npos)
        << FailureCause();
}

}  // namespace
