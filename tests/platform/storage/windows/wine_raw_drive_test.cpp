// Through Wine for real: a drive letter whose raw side is a plain file of the test run (set up
// by scripts/test_windows.sh, which names the letter and the file). Wine answers the open, the
// reads, writes, flushes and the volume lock; the seam answers only what Wine cannot tell (the
// volume's disk, the disk's length and identity) and keeps the dismount from the system.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/storage/failure_cause.h"
#include "platform/storage/windows/windows_storage.h"
#include "seam_fixture.h"
#include "tests/helpers/recording_imager.h"

using namespace platform::storage;
using storage_test::SeamFixture;
using testing_support::PatternBytes;

namespace {

class WineRawDrive : public SeamFixture {
  protected:
    void SetUp() override {
        const char* letter = std::getenv("SECTORSMITH_WINE_RAW_LETTER");
        const char* file = std::getenv("SECTORSMITH_WINE_RAW_FILE");
        if (letter == nullptr || file == nullptr) {
            GTEST_SKIP() << "no raw drive letter set up (run through scripts/test_windows.sh)";
        }
        rawLetter = letter[0];
        rawFile = file;
        std::ifstream raw(rawFile, std::ios::binary | std::ios::ate);
        ASSERT_TRUE(raw) << rawFile;
        rawBytes = static_cast<uint64_t>(raw.tellg());
        ASSERT_GE(rawBytes, uint64_t{4} << 20);
        const std::string device = std::string("\\\\.\\") + rawLetter + ":";
        storage_test::SeamDisk& disk = calls.disks[1];
        disk.file = device;
        disk.length = rawBytes;
        storage_test::SeamVolume& volume = calls.volumes[rawLetter];
        volume.file = device;
        volume.extents = {{1, 0, static_cast<int64_t>(rawBytes)}};
    }
    std::vector<uint8_t> RawBytes() const {
        std::ifstream raw(rawFile, std::ios::binary);
        return {std::istreambuf_iterator<char>(raw), std::istreambuf_iterator<char>()};
    }
    char rawLetter = 0;
    std::string rawFile;
    uint64_t rawBytes = 0;
};

TEST_F(WineRawDrive, TheSystemListsTheLetterAndOpensItsRawSide) {
    Kernel32Calls system;
    EXPECT_NE(system.GetLogicalDrives() & (1u << (rawLetter - 'A')), 0u);
    const std::string device = std::string("\\\\.\\") + rawLetter + ":";
    Win32Handle raw(
        system, system.CreateFileA(device.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   OPEN_EXISTING, 0));
    EXPECT_TRUE(raw.valid()) << system.GetLastError();
}

TEST_F(WineRawDrive, WrittenFlushedAndReadBackThroughTheRealCalls) {
    WindowsStorage storage(calls);
    storage.GetLogicalDrives();
    ClearFailureCause();
    DeviceHandle disk =
        storage.CreateFile("\\\\.\\PHYSICALDRIVE1", GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_FLAG_NO_BUFFERING);
    ASSERT_TRUE(disk) << FailureCause();
    EXPECT_TRUE(EventsInclude(std::string("lock ") + rawLetter));
    const std::vector<uint8_t> bytes = PatternBytes(3 * 1000 * 1000 + 333, 9);
    ASSERT_TRUE(SetFilePointer(disk, 700));
    uint32_t written = 0;
    ASSERT_TRUE(WriteFile(disk, bytes.data(), static_cast<uint32_t>(bytes.size()), &written))
        << FailureCause();
    ASSERT_TRUE(FlushFileBuffers(disk)) << FailureCause();
    std::vector<uint8_t> back(bytes.size());
    uint32_t read = 0;
    ASSERT_TRUE(SetFilePointer(disk, 700));
    ASSERT_TRUE(ReadFile(disk, back.data(), static_cast<uint32_t>(back.size()), &read));
    EXPECT_EQ(back, bytes);
    ASSERT_TRUE(CloseHandle(disk)) << FailureCause();
    EXPECT_TRUE(calls.locked.empty());

    // The raw file itself, read past Wine's drive: the bytes are there, the rest kept.
    const std::vector<uint8_t> raw = RawBytes();
    ASSERT_EQ(raw.size(), rawBytes);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), raw.begin() + 700));
    EXPECT_EQ(raw[699], 0xEE);
    EXPECT_EQ(raw[700 + bytes.size()], 0xEE);
}

}  // namespace
