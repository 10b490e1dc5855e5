// The device contract on Windows: partial sectors keep their old bytes, small writes are
// gathered into aligned, bounded transfers, a failed transfer fails every later call.
#include <gtest/gtest.h>

#include "platform/storage/device_wait.h"
#include "platform/storage/failure_cause.h"
#include "platform/storage/windows/windows_device.h"
#include "platform/storage/windows/windows_storage.h"
#include "seam_fixture.h"
#include "tests/helpers/recording_imager.h"

using namespace platform::storage;
using storage_test::SeamFixture;
using testing_support::PatternBytes;

namespace {

constexpr uint64_t kDiskBytes = 4 << 20;

class WindowsDeviceTest : public SeamFixture {
  protected:
    WindowsDeviceTest() {
        diskFile = AddDisk(1, kDiskBytes);
        AddVolume('E', 1, DRIVE_REMOVABLE, kDiskBytes);
        storage.GetLogicalDrives();
    }
    DeviceHandle Open(uint32_t access) {
        ClearFailureCause();
        return storage.CreateFile("\\\\.\\PHYSICALDRIVE1", access,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_FLAG_NO_BUFFERING);
    }
    WindowsStorage storage{calls};
    std::string diskFile;
};

TEST_F(WindowsDeviceTest, UnalignedWritesKeepTheRestOfTheirSectorsAndReadBack) {
    DeviceHandle disk = Open(GENERIC_WRITE);
    ASSERT_TRUE(disk) << FailureCause();
    const std::vector<uint8_t> bytes = PatternBytes(3 * 1000 * 1000 + 77, 3);
    ASSERT_TRUE(SetFilePointer(disk, 100));
    uint32_t written = 0;
    ASSERT_TRUE(WriteFile(disk, bytes.data(), static_cast<uint32_t>(bytes.size()), &written));
    EXPECT_EQ(written, bytes.size());
    ASSERT_TRUE(CloseHandle(disk));

    for (const std::string& event : calls.events) {
        if (event.rfind("write @", 0) == 0) {
            const uint64_t offset = std::stoull(event.substr(7));
            const uint64_t size = std::stoull(event.substr(event.find('+') + 1));
            EXPECT_EQ(offset % 512, 0u) << event;
            EXPECT_EQ(size % 512, 0u) << event;
            EXPECT_LE(size, WindowsDevice::kMaxTransfer) << event;
        }
    }
    const std::vector<uint8_t> after = FileBytes(diskFile);
    ASSERT_EQ(after.size(), kDiskBytes);
    EXPECT_EQ(std::vector<uint8_t>(after.begin(), after.begin() + 100),
              std::vector<uint8_t>(100, 0xEE));
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), after.begin() + 100));
    EXPECT_EQ(after[100 + bytes.size()], 0xEE);
    EXPECT_EQ(after.back(), 0xEE);

    DeviceHandle again = Open(GENERIC_READ);
    ASSERT_TRUE(again);
    std::vector<uint8_t> back(bytes.size());
    uint32_t read = 0;
    ASSERT_TRUE(SetFilePointer(again, 100));
    ASSERT_TRUE(ReadFile(again, back.data(), static_cast<uint32_t>(back.size()), &read));
    EXPECT_EQ(read, back.size());
    EXPECT_EQ(back, bytes);
    // Reads stop at the disk's end.
    ASSERT_TRUE(SetFilePointer(again, kDiskBytes - 10));
    ASSERT_TRUE(ReadFile(again, back.data(), 512, &read));
    EXPECT_EQ(read, 10u);
    EXPECT_FALSE(SetFilePointer(again, kDiskBytes + 1));
}

TEST_F(WindowsDeviceTest, WritingPastTheEndFailsWithoutTouchingTheDisk) {
    DeviceHandle disk = Open(GENERIC_WRITE);
    ASSERT_TRUE(disk);
    ASSERT_TRUE(SetFilePointer(disk, kDiskBytes - 512));
    const std::vector<uint8_t> bytes(1024, 1);
    uint32_t written = 0;
    EXPECT_FALSE(WriteFile(disk, bytes.data(), 1024, &written));
    EXPECT_NE(FailureCause().find("past its end"), std::string::npos);
    EXPECT_EQ(calls.writes, 0);
}

TEST_F(WindowsDeviceTest, SmallWritesGoToTheDiskInFewerLargerTransfers) {
    DeviceHandle disk = Open(GENERIC_WRITE);
    ASSERT_TRUE(disk);
    const std::vector<uint8_t> bytes = PatternBytes(kDiskBytes, 5);
    constexpr uint32_t kCall = 2048;  // as the restore writes
    for (size_t at = 0; at < bytes.size(); at += kCall) {
        uint32_t written = 0;
        ASSERT_TRUE(WriteFile(disk, bytes.data() + at, kCall, &written));
    }
    ASSERT_TRUE(CloseHandle(disk)) << FailureCause();
    EXPECT_LT(calls.writes, static_cast<int>(kDiskBytes / kCall / 8));
    EXPECT_EQ(FileBytes(diskFile), bytes);
}

TEST_F(WindowsDeviceTest, AFailedWriteFailsEveryLaterCallWithTheOffsetAndTheSystemsReason) {
    DeviceHandle disk = Open(GENERIC_WRITE);
    ASSERT_TRUE(disk);
    const std::vector<uint8_t> bytes(WindowsDevice::kMaxTransfer, 7);
    uint32_t written = 0;
    ASSERT_TRUE(WriteFile(disk, bytes.data(), WindowsDevice::kMaxTransfer, &written));
    ASSERT_TRUE(FlushFileBuffers(disk));
    // The next transfer fails; the call that learns of it, at the latest the flush, fails.
    calls.failWrite = calls.writes;
    ClearFailureCause();
    const bool wrote = WriteFile(disk, bytes.data(), WindowsDevice::kMaxTransfer, &written);
    EXPECT_FALSE(wrote && FlushFileBuffers(disk));
    EXPECT_NE(FailureCause().find("at byte 1048576"), std::string::npos) << FailureCause();
    EXPECT_NE(FailureCause().find("(error 23)"), std::string::npos) << FailureCause();
    calls.failWrite.reset();
    EXPECT_FALSE(WriteFile(disk, bytes.data(), 512, &written));
    EXPECT_FALSE(FlushFileBuffers(disk));
    uint32_t read = 0;
    std::vector<uint8_t> back(512);
    EXPECT_FALSE(ReadFile(disk, back.data(), 512, &read));
    EXPECT_FALSE(CloseHandle(disk));
    EXPECT_TRUE(calls.locked.empty());
}

TEST_F(WindowsDeviceTest, AShortTransferGoesOnWithItsRest) {
    DeviceHandle disk = Open(GENERIC_WRITE);
    ASSERT_TRUE(disk);
    calls.shortWrite = 0;
    const std::vector<uint8_t> bytes = PatternBytes(8192, 9);
    uint32_t written = 0;
    ASSERT_TRUE(WriteFile(disk, bytes.data(), 8192, &written));
    ASSERT_TRUE(CloseHandle(disk)) << FailureCause();
    EXPECT_GE(calls.writes, 2);
    const std::vector<uint8_t> after = FileBytes(diskFile);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), after.begin()));
}

TEST_F(WindowsDeviceTest, TheExtentsAndBusOfAVolumeHandleAreTheSystems) {
    DeviceHandle volume = storage.CreateFile("\\\\.\\E:", GENERIC_READ, 0, 0);
    ASSERT_TRUE(volume);
    std::vector<DiskExtent> extents;
    ASSERT_TRUE(volume->GetVolumeDiskExtents(&extents));
    ASSERT_EQ(extents.size(), 1u);
    EXPECT_EQ(extents[0].DiskNumber, 1u);
    StorageDeviceDescriptor descriptor;
    descriptor.Size = kStorageDescriptorMinSize - 1;
    EXPECT_FALSE(volume->QueryStorageDeviceProperty(&descriptor));
    descriptor.Size = 551;
    ASSERT_TRUE(volume->QueryStorageDeviceProperty(&descriptor));
    EXPECT_EQ(descriptor.BusType, static_cast<uint32_t>(BusTypeUsb));
    EXPECT_TRUE(descriptor.RemovableMedia);
}

}  // namespace
