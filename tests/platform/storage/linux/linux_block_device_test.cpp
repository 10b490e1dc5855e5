#include "platform/storage/linux/linux_block_device.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <tuple>
#include <vector>

using namespace platform::storage;

namespace {

constexpr uint32_t kBlock = 2048;

// A file standing in for a device, filled with 0xEE, in a folder removed afterwards.
class DeviceFile {
  public:
    explicit DeviceFile(size_t size) {
        char pattern[] = "/tmp/sectorsmith-device-XXXXXX";
        folder_ = ::mkdtemp(pattern) ? pattern : "";
        path_ = folder_ + "/device";
        std::ofstream(path_, std::ios::binary) << std::string(size, '\xEE');
    }
    ~DeviceFile() {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
    const std::string& path() const { return path_; }
    std::vector<unsigned char> Contents() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

  private:
    std::string folder_;
    std::string path_;
};

// Opens the file with open(2) flags as a device of the given geometry; writable unless the
// flags are O_RDONLY, or forced so that writes reach a read-only descriptor and fail.
std::unique_ptr<LinuxBlockDevice> Open(const std::string& path, int flags, uint32_t blockSize,
                                       size_t transferSize, uint64_t size,
                                       bool forceWritable = false,
                                       IoMode mode = IoMode::kAsynchronous) {
    LinuxBlockDevice::Options options;
    options.ioMode = mode;
    options.blockSize = blockSize;
    options.sizeBytes = size;
    options.writable = forceWritable || (flags & O_ACCMODE) != O_RDONLY;
    options.transferSize = transferSize;
    return LinuxBlockDevice::Create(UniqueFd(::open(path.c_str(), flags)), std::move(options));
}

std::vector<unsigned char> Pattern(size_t size, unsigned seed) {
    std::vector<unsigned char> bytes(size);
    std::iota(bytes.begin(), bytes.end(), static_cast<unsigned char>(seed));
    for (size_t i = 0; i < size; i += 7) {
        bytes[i] = static_cast<unsigned char>(seed * 31 + i / 7);
    }
    return bytes;
}

// Writes data in 2048-byte calls (the last one shorter), as the restore does.
bool WriteInBlocks(LinuxBlockDevice& device, const std::vector<unsigned char>& data) {
    for (size_t at = 0; at < data.size(); at += kBlock) {
        const uint32_t n = static_cast<uint32_t>(std::min<size_t>(kBlock, data.size() - at));
        uint32_t written = 0;
        if (!device.Write(data.data() + at, n, &written) || written != n) {
            return false;
        }
    }
    return true;
}

// Every case runs with transfers in the background (io_uring) and one by one (its fallback).
class GatheredWriteTest : public testing::TestWithParam<std::tuple<uint32_t, IoMode>> {
  protected:
    uint32_t blockSize() const { return std::get<0>(GetParam()); }
    IoMode mode() const { return std::get<1>(GetParam()); }
};

class LinuxBlockDeviceTest : public testing::TestWithParam<IoMode> {};

// Unbuffered and aligned to the logical block size: a misaligned transfer fails with EINVAL.
TEST_P(GatheredWriteTest, WritesExactlyTheBytesGivenAndKeepsTheRestOfTheLastBlock) {
    DeviceFile file(64 * 4096);
    auto device =
        Open(file.path(), O_RDWR | O_DIRECT, blockSize(), 4 * 4096, 64 * 4096, false, mode());
    ASSERT_NE(device, nullptr);
    // Crosses several gathering transfers and ends inside a logical block.
    const std::vector<unsigned char> data = Pattern(9 * 4096 + 1000, 3);
    ASSERT_TRUE(WriteInBlocks(*device, data));
    ASSERT_TRUE(device->Flush());
    ASSERT_TRUE(device->Close());

    const std::vector<unsigned char> contents = file.Contents();
    ASSERT_EQ(contents.size(), 64u * 4096);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), contents.begin()));
    EXPECT_TRUE(std::all_of(contents.begin() + data.size(), contents.end(),
                            [](unsigned char b) { return b == 0xEE; }));
}

TEST_P(GatheredWriteTest, WritesThatMeetInsideABlockBothLand) {
    DeviceFile file(8 * 4096);
    auto device = Open(file.path(), O_RDWR | O_DIRECT, blockSize(), 4096, 8 * 4096, false, mode());
    ASSERT_NE(device, nullptr);
    const std::vector<unsigned char> first = Pattern(1000, 1), second = Pattern(5000, 2);
    uint32_t written = 0;
    ASSERT_TRUE(device->Write(first.data(), 1000, &written));
    ASSERT_TRUE(device->Flush());  // the next write then starts inside a written block
    ASSERT_TRUE(device->Write(second.data(), 5000, &written));
    ASSERT_TRUE(device->Close());
    const std::vector<unsigned char> contents = file.Contents();
    EXPECT_TRUE(std::equal(first.begin(), first.end(), contents.begin()));
    EXPECT_TRUE(std::equal(second.begin(), second.end(), contents.begin() + 1000));
    EXPECT_EQ(contents[6000], 0xEE);
}

INSTANTIATE_TEST_SUITE_P(BlockSizesAndModes, GatheredWriteTest,
                         testing::Combine(testing::Values(512u, 4096u),
                                          testing::Values(IoMode::kAsynchronous,
                                                          IoMode::kSynchronous)));

TEST_P(LinuxBlockDeviceTest, ReadsAheadAndStopsAtTheEnd) {
    DeviceFile file(3 * 4096);
    {
        const std::vector<unsigned char> data = Pattern(3 * 4096, 9);
        std::ofstream(file.path(), std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()), static_cast<long>(data.size()));
    }
    auto device = Open(file.path(), O_RDONLY | O_DIRECT, 512, 8192, 3 * 4096, false, GetParam());
    ASSERT_NE(device, nullptr);
    std::vector<unsigned char> read(3 * 4096);
    for (size_t at = 0; at < read.size(); at += kBlock) {
        uint32_t n = 0;
        ASSERT_TRUE(device->Read(read.data() + at, kBlock, &n));
        ASSERT_EQ(n, kBlock);
    }
    EXPECT_EQ(read, Pattern(3 * 4096, 9));
    unsigned char extra[kBlock];
    uint32_t n = 99;
    EXPECT_TRUE(device->Read(extra, kBlock, &n));
    EXPECT_EQ(n, 0u);
}

TEST_P(LinuxBlockDeviceTest, ReadAfterWriteSeesTheGatheredData) {
    DeviceFile file(4 * 4096);
    auto device = Open(file.path(), O_RDWR | O_DIRECT, 512, 8192, 4 * 4096, false, GetParam());
    ASSERT_NE(device, nullptr);
    const std::vector<unsigned char> data = Pattern(kBlock, 5);
    uint32_t n = 0;
    ASSERT_TRUE(device->Write(data.data(), kBlock, &n));
    unsigned char next[kBlock];
    ASSERT_TRUE(device->Read(next, kBlock, &n));
    EXPECT_EQ(next[0], 0xEE);
    ASSERT_TRUE(device->Close());
    const std::vector<unsigned char> contents = file.Contents();
    EXPECT_TRUE(std::equal(data.begin(), data.end(), contents.begin()));
}

TEST_P(LinuxBlockDeviceTest, WritePastTheEndFailsAtOnce) {
    DeviceFile file(4096);
    auto device = Open(file.path(), O_RDWR, 512, 4096, 4096, false, GetParam());
    ASSERT_NE(device, nullptr);
    const std::vector<unsigned char> data = Pattern(kBlock, 1);
    uint32_t n = 0;
    EXPECT_TRUE(device->Write(data.data(), kBlock, &n));
    EXPECT_TRUE(device->Write(data.data(), kBlock, &n));
    EXPECT_FALSE(device->Write(data.data(), 1, &n));
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(device->Close());
}

// A descriptor that cannot be written makes every gathered transfer fail.
TEST_P(LinuxBlockDeviceTest, FailedGatheredWriteFailsFlushCloseAndLaterCalls) {
    DeviceFile file(8 * 4096);
    auto device = Open(file.path(), O_RDONLY, 512, 8192, 8 * 4096, true, GetParam());
    ASSERT_NE(device, nullptr);
    const std::vector<unsigned char> data = Pattern(kBlock, 1);
    uint32_t n = 0;
    EXPECT_TRUE(device->Write(data.data(), kBlock, &n));  // gathered, not yet sent
    EXPECT_FALSE(device->Flush());
    EXPECT_FALSE(device->Write(data.data(), kBlock, &n));
    unsigned char buffer[kBlock];
    EXPECT_FALSE(device->Read(buffer, kBlock, &n));
    EXPECT_FALSE(device->Close());
    EXPECT_TRUE(device->Close());  // already closed
}

TEST_P(LinuxBlockDeviceTest, WriteThatFillsTheTransferReportsItsFailure) {
    DeviceFile file(8 * 4096);
    auto device = Open(file.path(), O_RDONLY, 512, 8192, 8 * 4096, true, GetParam());
    ASSERT_NE(device, nullptr);
    const std::vector<unsigned char> data = Pattern(kBlock, 1);
    uint32_t n = 0;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(device->Write(data.data(), kBlock, &n));
    }
    EXPECT_FALSE(device->Write(data.data(), kBlock, &n));  // the fourth sends 8192 bytes
    EXPECT_FALSE(device->Close());
}

// A restore reads back what it wrote through the same handle.
TEST_P(LinuxBlockDeviceTest, WhatWasWrittenIsReadBackAfterASeek) {
    DeviceFile file(64 * 4096);
    auto device =
        Open(file.path(), O_RDWR | O_DIRECT, 512, 16 * 4096, 64 * 4096, false, GetParam());
    ASSERT_NE(device, nullptr);
    const std::vector<unsigned char> data = Pattern(40 * 4096 + 300, 4);
    ASSERT_TRUE(WriteInBlocks(*device, data));
    ASSERT_TRUE(device->Flush());
    ASSERT_TRUE(device->Seek(0));
    std::vector<unsigned char> read(data.size() + 100);
    for (size_t at = 0; at < read.size(); at += kBlock) {
        const uint32_t n = static_cast<uint32_t>(std::min<size_t>(kBlock, read.size() - at));
        uint32_t got = 0;
        ASSERT_TRUE(device->Read(read.data() + at, n, &got));
        ASSERT_EQ(got, n);
    }
    EXPECT_TRUE(std::equal(data.begin(), data.end(), read.begin()));
    EXPECT_EQ(read[data.size()], 0xEE);  // the rest of the last block kept its content
    EXPECT_FALSE(device->Seek(64 * 4096 + 1));
    EXPECT_TRUE(device->Close());
}

TEST_P(LinuxBlockDeviceTest, RefusesUnusableOptions) {
    DeviceFile file(4096);
    EXPECT_EQ(Open(file.path(), O_RDWR, 0, 4096, 4096), nullptr);
    EXPECT_EQ(Open(file.path(), O_RDWR, 768, 4096, 4096), nullptr);
    EXPECT_EQ(Open(file.path(), O_RDWR, 4096, 6144, 4096), nullptr);
    EXPECT_EQ(Open("/nonexistent/device", O_RDWR, 512, 4096, 4096, false, GetParam()), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Modes, LinuxBlockDeviceTest,
                         testing::Values(IoMode::kAsynchronous, IoMode::kSynchronous));

}  // namespace
