#include "platform/storage/linux/request_size.h"

#include <gtest/gtest.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>

#include "tests/helpers/temp_folder.h"

using namespace platform::storage;

namespace {

constexpr size_t kLargest = size_t{4} << 20;

// A sysfs of one device 8:16 with the given queue limits (nothing when a limit is empty).
class RequestSizeTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string failure;
        root_ = testing_support::MakeTempFolder("sectorsmith-sys-", &failure);
        ASSERT_FALSE(root_.empty()) << failure;
        std::filesystem::create_directories(root_ + "/dev/block/8:16/queue");
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    size_t With(const char* sectorsKB, const char* segments) {
        std::ofstream(root_ + "/dev/block/8:16/queue/max_sectors_kb") << sectorsKB;
        std::ofstream(root_ + "/dev/block/8:16/queue/max_segments") << segments;
        return LargestRequest(root_, makedev(8, 16), kLargest);
    }

    std::string root_;
};

TEST_F(RequestSizeTest, TheSmallerOfTheSectorAndSegmentLimitsWithinThePagesAndTheLargest) {
    EXPECT_EQ(With("240", "2048"), 240u << 10);  // a USB stick: its sector limit
    EXPECT_EQ(With("1280", "128"), 512u << 10);  // 128 pages of memory
    EXPECT_EQ(With("120", "2048"), 120u << 10);  // a whole number of pages
    EXPECT_EQ(With("32767", "4096"), kLargest);  // never above the largest
    EXPECT_EQ(With("2", "1"), 4096u);            // at least a page
    EXPECT_EQ(With("", ""), kLargest);           // limits unknown
    EXPECT_EQ(LargestRequest(root_, makedev(9, 1), kLargest), kLargest);  // no such device
}

}  // namespace
