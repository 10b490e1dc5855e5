// A restore through the window and the real Windows storage backend onto a stick that takes
// 2 MB/s: a drive letter whose raw side is a file that scripts/test_windows.sh serves through the
// tests' fault file system with every write slowed (Wine writes a block device through the page
// cache, so a throttled device would slow only the final flush; a slowed file makes each write
// take the stick's time, as an unbuffered write on Windows does). The seam answers only what Wine
// cannot (the volume's disk, the disk's length). Timed: this program runs alone.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>

#include "platform/storage/windows/windows_storage.h"
#include "tests/helpers/machine_stalls.h"
#include "tests/platform/storage/windows/seam_calls.h"
#include "tests/ui/win32/dispatch_probe.h"
#include "tests/ui/win32/slow_restore_fixture.h"

namespace {

using namespace std::chrono_literals;

class WineSlowStick : public SlowRestoreTest {
  protected:
    void SetUp() override {
        SlowRestoreTest::SetUp();
        const char* letter = std::getenv("SECTORSMITH_WINE_SLOW_LETTER");
        const char* file = std::getenv("SECTORSMITH_WINE_SLOW_FILE");
        if (letter == nullptr || file == nullptr) {
            GTEST_SKIP() << "no slow drive letter set up (run through scripts/test_windows.sh "
                            "as root, where FUSE works)";
        }
        rawFile = file;
        std::ifstream raw(rawFile, std::ios::binary | std::ios::ate);
        ASSERT_TRUE(raw) << rawFile;
        rawBytes = static_cast<uint64_t>(raw.tellg());
        const std::string device = std::string("\\\\.\\") + letter[0] + ":";
        storage_test::SeamDisk& disk = calls.disks[1];
        disk.file = device;
        disk.length = rawBytes;
        storage_test::SeamVolume& volume = calls.volumes[letter[0]];
        volume.file = device;
        volume.totalBytes = rawBytes;
        volume.extents = {{1, 0, static_cast<int64_t>(rawBytes)}};
    }

    std::vector<uint8_t> RawPrefix(size_t n) const {
        std::ifstream raw(rawFile, std::ios::binary);
        std::vector<uint8_t> bytes(n);
        raw.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(n));
        bytes.resize(static_cast<size_t>(raw.gcount()));
        return bytes;
    }

    std::vector<uint8_t> FileContents(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    storage_test::SeamCalls calls{std::filesystem::temp_directory_path().string()};
    platform::storage::WindowsStorage windowsStorage{calls};
    std::string rawFile;
    uint64_t rawBytes = 0;
};

TEST_F(WineSlowStick, TheImageIsWrittenAndCheckedWhileTheWindowAnswers) {
    const std::string image = MakeImage("slow.img", 1u << 20);  // about half a second
    const testing_support::MachineStalls machine;
    std::optional<DispatchProbe> probe;
    MainDialog dialog(windowsStorage);
    test_helpers::RunModal(dialog, [&](CDialog&) {
        Restore(dialog, image, [&] { probe.emplace(); });
        probe->Stop();
        ASSERT_EQ(dialog.messageList.GetItemCount(), 1);
        EXPECT_EQ(Row(dialog, 0), "Finished") << dialog.messageList.GetItemToolTip(0);
    });
    ASSERT_TRUE(probe);
    EXPECT_GT(DispatchProbe::Gaps().size(), 20u) << "the timer ran throughout";
    EXPECT_TRUE(testing_support::GapsOfTheThread(DispatchProbe::Gaps(), 50ms, machine).empty())
        << "gaps: " << testing_support::DescribeGaps(DispatchProbe::Gaps(), 50ms, machine);
    EXPECT_EQ(RawPrefix(1u << 20), FileContents(image));
}

TEST_F(WineSlowStick, StopClickedAfterASecondEndsTheRestorePromptly) {
    const std::string image = MakeImage("slow.img", 4u << 20);  // about two seconds
    StopAfterASecond(windowsStorage, image);
}

}  // namespace
