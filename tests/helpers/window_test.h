#pragma once

#include <gtest/gtest.h>

namespace test_helpers {

// Makes the window services ready (once): the Qt application on Linux, the common controls and
// the Win32 pump on Windows.
void EnsureWindowServices();

// Fixture for window tests: the window services are ready (the Qt application on Linux, the
// common controls and the Win32 pump on Windows); what a test leaves open (top-level windows,
// popups, pending deletions) is cleared after it, so every test starts with a fresh window.
class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace test_helpers
