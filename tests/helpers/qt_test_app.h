#pragma once

#include <gtest/gtest.h>

namespace test_helpers {

// Creates the process's QApplication on the offscreen platform (once) and installs the event
// pump behind PumpOneRound.
void EnsureQtApplication();

// Fixture for window tests: the application exists; leftover top-level windows, popups and
// pending deletions are cleared after each test, so every test starts with a fresh window.
class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace test_helpers
