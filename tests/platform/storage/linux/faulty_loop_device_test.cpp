// The fault-injecting loop device: what each rule does to I/O through the device node.
#include "tests/helpers/faulty_loop_device.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "tests/helpers/run_program.h"

using namespace testing_support;

namespace {

constexpr size_t kBlock = 4096;  // one I/O, aligned for O_DIRECT at either sector size
constexpr uint64_t kFaulty = 64 * kBlock;
constexpr uint64_t kElsewhere = 128 * kBlock;

// A block-aligned buffer for O_DIRECT, filled with one byte value.
class Block {
  public:
    explicit Block(unsigned char fill)
        : bytes_(static_cast<unsigned char*>(std::aligned_alloc(kBlock, kBlock)), &std::free) {
        std::fill_n(bytes_.get(), kBlock, fill);
    }
    unsigned char* data() { return bytes_.get(); }
    std::string text() const { return std::string(bytes_.get(), bytes_.get() + kBlock); }

  private:
    std::unique_ptr<unsigned char, decltype(&std::free)> bytes_;
};

std::string Filled(unsigned char fill) {
    return std::string(kBlock, static_cast<char>(fill));
}

std::string Mountinfo() {
    std::ifstream in("/proc/self/mountinfo");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class FaultyLoopDeviceTest : public ::testing::TestWithParam<uint32_t> {
  protected:
    void SetUp() override {
        loop_.emplace(FaultyLoopDevice::Options{.sectorSize = GetParam()});
        if (!loop_->ok()) {
            GTEST_SKIP() << loop_->failure();
        }
        fd_ = ::open(loop_->device().c_str(), O_RDWR | O_DIRECT | O_CLOEXEC);
        ASSERT_GE(fd_, 0) << loop_->device();
    }
    void TearDown() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    // 0 when the whole block went through, otherwise errno (-1 for a short transfer).
    int WriteBlock(uint64_t offset, unsigned char fill) {
        Block block(fill);
        const ssize_t done = ::pwrite(fd_, block.data(), kBlock, static_cast<off_t>(offset));
        return done == static_cast<ssize_t>(kBlock) ? 0 : done < 0 ? errno : -1;
    }
    int ReadBlock(uint64_t offset, std::string* text) {
        Block block(0xEE);
        const ssize_t done = ::pread(fd_, block.data(), kBlock, static_cast<off_t>(offset));
        *text = block.text();
        return done == static_cast<ssize_t>(kBlock) ? 0 : done < 0 ? errno : -1;
    }
    int Fsync() { return ::fsync(fd_) == 0 ? 0 : errno; }
    // The bytes that reached the real backing file.
    std::string Stored(uint64_t offset) {
        std::ifstream in(loop_->backingFile(), std::ios::binary);
        in.seekg(static_cast<std::streamoff>(offset));
        std::string text(kBlock, '\0');
        in.read(text.data(), kBlock);
        return text;
    }

    std::optional<FaultyLoopDevice> loop_;
    int fd_ = -1;
};

TEST_P(FaultyLoopDeviceTest, AFailingWriteGivesEioAndKeepsTheOldBytesWhileOthersLand) {
    ASSERT_EQ(WriteBlock(kFaulty, 'o'), 0);
    ASSERT_TRUE(loop_->FailWrites(kFaulty + 100, kBlock - 100));  // touching it is enough
    EXPECT_EQ(WriteBlock(kFaulty, 'n'), EIO);
    EXPECT_EQ(WriteBlock(kElsewhere, 'n'), 0);
    EXPECT_EQ(WriteBlock(kFaulty + kBlock, 'n'), 0);  // the range ends before the next block
    EXPECT_EQ(Stored(kFaulty), Filled('o'));
    EXPECT_EQ(Stored(kElsewhere), Filled('n'));
}

// A large write is split on its way to the daemon; a failing piece anywhere still fails it,
// while the pieces outside the range may land.
TEST_P(FaultyLoopDeviceTest, ALargeWriteFailsWhereverTheRangeLies) {
    constexpr size_t kLarge = 1u << 20;
    std::unique_ptr<unsigned char, decltype(&std::free)> bytes(
        static_cast<unsigned char*>(std::aligned_alloc(kBlock, kLarge)), &std::free);
    std::fill_n(bytes.get(), kLarge, 'n');
    uint64_t start = 0;
    for (const uint64_t piece : {uint64_t{0}, uint64_t{kLarge / 2}, uint64_t{kLarge - kBlock}}) {
        start += kLarge;  // a fresh megabyte each time
        ASSERT_TRUE(loop_->FailWrites(start + piece, kBlock));
        errno = 0;
        EXPECT_EQ(::pwrite(fd_, bytes.get(), kLarge, static_cast<off_t>(start)), -1) << piece;
        EXPECT_EQ(errno, EIO) << piece;
        EXPECT_TRUE(Stored(start + piece) == Filled(0)) << piece;
    }
}

// Without O_DIRECT the write lands in the device's page cache; its failure surfaces once, at
// the next fsync, and the data is lost.
TEST_P(FaultyLoopDeviceTest, ABufferedWriteFailsAtTheNextFsyncOnly) {
    const int buffered = ::open(loop_->device().c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(buffered, 0);
    ASSERT_TRUE(loop_->FailWrites(kFaulty, kBlock));
    const std::string text = Filled('n');
    EXPECT_EQ(::pwrite(buffered, text.data(), kBlock, kFaulty), static_cast<ssize_t>(kBlock));
    EXPECT_EQ(::fsync(buffered), -1);
    EXPECT_EQ(errno, EIO);
    EXPECT_EQ(::fsync(buffered), 0);
    EXPECT_EQ(Stored(kFaulty), Filled(0));
    ::close(buffered);
}

TEST_P(FaultyLoopDeviceTest, ADroppedWriteReportsSuccessAndWritesNothing) {
    ASSERT_TRUE(loop_->DropWrites(kFaulty, kBlock));
    EXPECT_EQ(WriteBlock(kFaulty, 'n'), 0);
    EXPECT_EQ(WriteBlock(kElsewhere, 'n'), 0);
    EXPECT_EQ(Stored(kFaulty), Filled(0));
    EXPECT_EQ(Stored(kElsewhere), Filled('n'));
}

TEST_P(FaultyLoopDeviceTest, AFailingFsyncGivesEioUntilSwitchedOff) {
    ASSERT_EQ(WriteBlock(kFaulty, 'n'), 0);
    ASSERT_TRUE(loop_->FailFsync(true));
    EXPECT_EQ(Fsync(), EIO);
    ASSERT_TRUE(loop_->FailFsync(false));
    EXPECT_EQ(Fsync(), 0);
}

TEST_P(FaultyLoopDeviceTest, AFailingReadGivesEioWhileOthersRead) {
    ASSERT_EQ(WriteBlock(kElsewhere, 'n'), 0);
    ASSERT_TRUE(loop_->FailReads(kFaulty, 1));
    std::string text;
    EXPECT_EQ(ReadBlock(kFaulty, &text), EIO);
    EXPECT_EQ(ReadBlock(kElsewhere, &text), 0);
    EXPECT_EQ(text, Filled('n'));
}

// The loop driver asks again for the rest of a short read: data whose rest lies outside the
// range arrives whole; a read that keeps coming back short ends in EIO.
TEST_P(FaultyLoopDeviceTest, AShortReadIsRetriedForTheRest) {
    ASSERT_EQ(WriteBlock(kFaulty, 'n'), 0);
    ASSERT_TRUE(loop_->ShortReads(kFaulty, kBlock / 2));
    std::string text;
    EXPECT_EQ(ReadBlock(kFaulty, &text), 0);
    EXPECT_EQ(text, Filled('n'));
    ASSERT_TRUE(loop_->ShortReads(kFaulty, kBlock));
    EXPECT_EQ(ReadBlock(kFaulty, &text), EIO);
}

TEST_P(FaultyLoopDeviceTest, ClearRemovesEveryRuleAndARuleReplacesItsPredecessor) {
    ASSERT_TRUE(loop_->FailWrites(kElsewhere, kBlock));
    ASSERT_TRUE(loop_->FailWrites(kFaulty, kBlock));
    EXPECT_EQ(WriteBlock(kElsewhere, 'n'), 0);
    ASSERT_TRUE(loop_->FailReads(kFaulty, kBlock));
    ASSERT_TRUE(loop_->DropWrites(kElsewhere, kBlock));
    ASSERT_TRUE(loop_->FailFsync(true));
    ASSERT_TRUE(loop_->Clear());
    EXPECT_EQ(WriteBlock(kFaulty, 'c'), 0);
    EXPECT_EQ(WriteBlock(kElsewhere, 'c'), 0);
    EXPECT_EQ(Fsync(), 0);
    std::string text;
    EXPECT_EQ(ReadBlock(kFaulty, &text), 0);
    EXPECT_EQ(text, Filled('c'));
    EXPECT_EQ(Stored(kElsewhere), Filled('c'));
}

// With faults still in force and the device just written, nothing is left behind.
TEST_P(FaultyLoopDeviceTest, TheDestructorLeavesNoLoopDeviceMountOrDaemon) {
    ASSERT_EQ(WriteBlock(kFaulty, 'n'), 0);
    ASSERT_TRUE(loop_->FailFsync(true));
    ASSERT_TRUE(loop_->FailWrites(0, 1u << 20));
    const std::string mountPoint = loop_->mountPoint();
    const std::string folder = std::filesystem::path(mountPoint).parent_path();
    const pid_t daemon = loop_->daemonPid();
    ASSERT_GT(daemon, 0);
    ASSERT_EQ(::kill(daemon, 0), 0);
    ASSERT_NE(Mountinfo().find(" " + mountPoint + " "), std::string::npos);
    ::close(fd_);
    fd_ = -1;
    loop_.reset();
    EXPECT_EQ(::kill(daemon, 0), -1);
    EXPECT_EQ(errno, ESRCH);
    EXPECT_EQ(Mountinfo().find(mountPoint), std::string::npos);
    std::string attached;
    ASSERT_EQ(RunProgram({"losetup", "-a"}, &attached), 0);
    EXPECT_EQ(attached.find(mountPoint), std::string::npos) << attached;
    EXPECT_FALSE(std::filesystem::exists(folder));
}

// A daemon that died (crashed, killed) leaves an aborted mount: I/O fails, cleanup still works.
TEST_P(FaultyLoopDeviceTest, ADeadDaemonFailsIoAndIsStillCleanedUp) {
    const std::string mountPoint = loop_->mountPoint();
    ASSERT_EQ(::kill(loop_->daemonPid(), SIGKILL), 0);
    EXPECT_NE(WriteBlock(kFaulty, 'n'), 0);
    ::close(fd_);
    fd_ = -1;
    loop_.reset();
    EXPECT_EQ(Mountinfo().find(mountPoint), std::string::npos);
    std::string attached;
    ASSERT_EQ(RunProgram({"losetup", "-a"}, &attached), 0);
    EXPECT_EQ(attached.find(mountPoint), std::string::npos) << attached;
}

INSTANTIATE_TEST_SUITE_P(SectorSizes, FaultyLoopDeviceTest, ::testing::Values(512u, 4096u),
                         [](const auto& info) { return "Sector" + std::to_string(info.param); });

}  // namespace
