#include "platform/storage/linux/io_queues.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/storage/linux/sync_io_queue.h"
#include "platform/storage/linux/unique_fd.h"
#include "platform/storage/linux/uring_io_queue.h"

using namespace platform::storage;
using namespace std::chrono_literals;

namespace {

class IoQueueTest : public testing::TestWithParam<IoMode> {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/sectorsmith-queue-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        path_ = folder_ + "/file";
        fd_ = UniqueFd(::open(path_.c_str(), O_RDWR | O_CREAT | O_DIRECT, 0600));
        ASSERT_TRUE(fd_.valid());
        ASSERT_EQ(::ftruncate(fd_.get(), 64 << 10), 0);
        if (GetParam() == IoMode::kAsynchronous) {
            queue_ = UringIoQueue::Create(fd_.get(), 8);
            if (!queue_) {
                GTEST_SKIP() << "the kernel refuses io_uring: " << std::strerror(errno);
            }
        } else {
            queue_ = std::make_unique<SyncIoQueue>(fd_.get());
        }
        bytes_.reset(static_cast<unsigned char*>(std::aligned_alloc(4096, 8192)));
    }
    void TearDown() override {
        queue_.reset();
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }

    IoQueue::Completion Next() {
        std::optional<IoQueue::Completion> completion;
        while (queue_->Outstanding() > 0 && !(completion = queue_->Next(10ms))) {
        }
        return completion.value_or(IoQueue::Completion{999, 0});
    }

    std::string folder_;
    std::string path_;
    UniqueFd fd_;
    std::unique_ptr<IoQueue> queue_;
    std::unique_ptr<unsigned char, decltype(&std::free)> bytes_{nullptr, &std::free};
};

TEST_P(IoQueueTest, RequestsCompleteWithTheirTagsAndResults) {
    std::memset(bytes_.get(), 'w', 4096);
    ASSERT_TRUE(queue_->Write(3, bytes_.get(), 4096, 8192));
    EXPECT_EQ(Next().tag, 3u);
    ASSERT_TRUE(queue_->Fsync(4));
    const IoQueue::Completion synced = Next();
    EXPECT_EQ(synced.tag, 4u);
    EXPECT_EQ(synced.result, 0);
    ASSERT_TRUE(queue_->Read(5, bytes_.get() + 4096, 4096, 8192));
    const IoQueue::Completion read = Next();
    EXPECT_EQ(read.tag, 5u);
    EXPECT_EQ(read.result, 4096);
    EXPECT_EQ(std::memcmp(bytes_.get(), bytes_.get() + 4096, 4096), 0);
    EXPECT_EQ(queue_->Outstanding(), 0u);
    EXPECT_FALSE(queue_->Next(0ms));
}

TEST_P(IoQueueTest, AFailureCompletesWithMinusErrno) {
    // Misaligned for O_DIRECT: the kernel refuses the transfer itself.
    ASSERT_TRUE(queue_->Write(1, bytes_.get() + 1, 4096, 0));
    EXPECT_EQ(Next().result, -EINVAL);
    ASSERT_TRUE(queue_->Read(2, bytes_.get(), 4096, 1 << 20));  // past the end
    EXPECT_EQ(Next().result, 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, IoQueueTest,
                         testing::Values(IoMode::kAsynchronous, IoMode::kSynchronous));

}  // namespace
