#pragma once

#include "tests/helpers/window_test.h"

namespace test_helpers {

// Creates the process's QApplication on the offscreen platform (once) and installs the event
// pump behind PumpOneRound.
void EnsureQtApplication();

}  // namespace test_helpers
